#include "print/TextRender.h"

#include <algorithm>
#include <cmath>

namespace velora::print {

namespace {

constexpr double kLeft = 20;
constexpr double kCell = fixedAdvance(14); // one character of the body font
constexpr double kSameRow = 9;             // texts whose tops lie closer than this share a line
constexpr double kBlankLine = 32;          // a wider gap between rows leaves an empty line

struct Item {
    double y = 0;
    int col = 0;
    std::string text;
    bool rule = false;
};

int column(double x) {
    return std::max(0, int(std::lround((x - kLeft) / kCell)));
}

std::string renderPage(const Page& page) {
    std::vector<Item> items;
    for (const TextRun& t : page.texts) {
        const int len = int(t.text.size());
        int col = column(t.x);
        if (t.align == Align::Centre) col = std::max(0, col - len / 2);
        if (t.align == Align::Right) col = std::max(0, col - len);
        items.push_back({t.y, col, t.text, false});
    }
    for (const Line& l : page.lines) {
        if (std::abs(l.y1 - l.y2) > 0.5) continue; // only horizontal rules have a text form
        const int a = column(std::min(l.x1, l.x2)), b = column(std::max(l.x1, l.x2));
        items.push_back({l.y1, a, std::string(std::size_t(std::max(1, b - a)), '-'), true});
    }
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.y > b.y; });

    std::string out;
    std::string line;
    double lineY = 0, lastY = 0;
    bool open = false, first = true;
    auto flush = [&] {
        if (!open) return;
        line.erase(line.find_last_not_of(' ') + 1);
        out += line;
        out += '\n';
        line.clear();
        open = false;
    };
    for (const Item& it : items) {
        const bool joins = open && !it.rule && lineY - it.y < kSameRow;
        if (!joins) {
            flush();
            if (!first && lastY - it.y > kBlankLine) out += '\n';
            lineY = it.y;
            open = true;
            first = false;
        }
        lastY = it.y;
        int col = it.col;
        const std::size_t used =
            line.find_last_not_of(' ') == std::string::npos ? 0 : line.find_last_not_of(' ') + 1;
        if (used > 0 && std::size_t(col) <= used) col = int(used) + 1;
        if (line.size() < std::size_t(col)) line.resize(std::size_t(col), ' ');
        line.replace(std::size_t(col), std::min(it.text.size(), line.size() - std::size_t(col)), it.text);
        if (it.rule) flush();
    }
    flush();
    return out;
}

} // namespace

std::string renderText(const PageDescription& pages) {
    std::string out;
    for (std::size_t i = 0; i < pages.pages.size(); ++i) {
        if (i) out += '\f';
        out += renderPage(pages.pages[i]);
    }
    return out;
}

} // namespace velora::print
