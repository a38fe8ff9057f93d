#pragma once
// How a grid's columns are set up: one entry per column, the fixed first column included.
#include <cstdint>
#include <span>

namespace velora::grid {

struct GridColumn {
    int title = 0;        // language text of the title cell (always centred)
    int widthPx = 0;      // kept in twips by the original grid: widthPx * 15
    int align = 0;        // data cells: 2 left, 8 right, anything else centred (bottom for 2 and 8)
    bool gridFont = true; // false: the data cells use the fixed-pitch name font
};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kAlignLeft = 2;
inline constexpr int kAlignRight = 8;
inline constexpr int kAlignCentre = 4;

} // namespace velora::grid
