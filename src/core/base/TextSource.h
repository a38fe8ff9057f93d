#pragma once
#include <ctime>
#include <string>
#include <string_view>

namespace velora {

// Numbered user-visible texts (the language file). Numbers outside the file give an empty text.
class TextSource {
  public:
    virtual ~TextSource() = default;
    virtual std::string_view text(int number) const = 0;
};

// Replaces the first "%s" / "%d" placeholders in order; used where a language text is a format.
std::string formatText(std::string_view pattern, std::initializer_list<std::string_view> args);

// `when` in local time, formatted by strftime's `format` in the process locale.
std::string localTimeText(std::time_t when, const char* format);

} // namespace velora
