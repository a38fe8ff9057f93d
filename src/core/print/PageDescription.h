#pragma once
// A printed report as device-independent pages: text runs, lines and boxes in the report's own
// coordinates, 0.01 inch per unit with y growing upwards (lines further down the page have more
// negative y). The origin is the top-left corner of the printable area. The GUI paints these pages
// onto a printer, the preview or a PDF; velora-cli renders them as text.
#include <string>
#include <vector>

namespace velora::print {

enum class Face { Arial, CourierNew };

struct Font {
    Face face = Face::CourierNew;
    double height = 14; // em height in units
    bool italic = false;
    bool bold = false;
    bool operator==(const Font&) const = default;
};

// Point sizes in units (1 pt = 1/72 inch).
constexpr double points(double pt) {
    return pt * 100.0 / 72.0;
}

enum class Align { Left, Centre, Right };

struct TextRun {
    double x = 0;
    double y = 0;     // top of the text
    std::string text; // Latin-1, one byte per character
    Font font;
    Align align = Align::Left;
};

struct Line {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double width = 1; // units
};

// An outlined rectangle, optionally filled light grey (table heads).
struct Box {
    double x = 0, y = 0; // top-left
    double w = 0, h = 0;
    bool shaded = false;
};

struct Page {
    std::vector<TextRun> texts;
    std::vector<Line> lines;
    std::vector<Box> boxes;
};

struct PageDescription {
    double width = 800;   // printable area in units
    double height = 1050; // printable area in units
    bool landscape = false;
    std::vector<Page> pages; // each page starts on a new sheet
};

// Advance of `chars` characters of the fixed-pitch face at `height`; Courier's advance is 0.6 em.
constexpr double fixedAdvance(double height) {
    return 0.6 * height;
}
// Width of a text as laid out: exact for the fixed-pitch face, an average for Arial.
double textWidth(const std::string& text, const Font& font);

} // namespace velora::print
