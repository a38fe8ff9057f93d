#include "base/ScreenFit.h"

#include <algorithm>

namespace velora {

ScreenRect fitIntoArea(ScreenRect w, const ScreenRect& area) {
    if (area.width() <= 0 || area.height() <= 0 || w.width() <= 0 || w.height() <= 0) return area;
    int width = std::min(w.width(), area.width());
    int height = std::min(w.height(), area.height());
    int left = std::clamp(w.left, area.left, area.right - width);
    int top = std::clamp(w.top, area.top, area.bottom - height);
    return {left, top, left + width, top + height};
}

} // namespace velora
