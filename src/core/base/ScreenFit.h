#pragma once
// Fitting a remembered window rectangle into the screen area that is available now.
namespace velora {

struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0; // right and bottom exclusive
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const ScreenRect&) const = default;
};

// The rectangle shrunk to at most the area's size and moved inside it, so a window saved on a
// screen that is gone, or larger than the screen now, opens fully within reach. An empty or
// inverted rectangle, or an empty area, gives the area itself.
ScreenRect fitIntoArea(ScreenRect wanted, const ScreenRect& area);

} // namespace velora
