#pragma once
// A report's pages as plain text: the fixed-pitch body font's advance is one character cell, rows
// of the page become lines, rules become dashes, and each page after the first begins with a form
// feed.
#include <string>

#include "print/PageDescription.h"

namespace velora::print {

std::string renderText(const PageDescription& pages);

} // namespace velora::print
