#include "base/Latin1.h"

namespace velora {

std::string latin1ToUtf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (char ch : latin1) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

Latin1Text utf8ToLatin1(std::string_view utf8) {
    Latin1Text r;
    auto continuation = [&](std::size_t i) {
        return i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80;
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            r.text += char(c);
            ++i;
            continue;
        }
        // The sequence length from the lead byte; C0 and C1 would be overlong, F5 and up beyond
        // the last code point.
        const std::size_t n = c >= 0xC2 && c <= 0xDF   ? 2
                              : c >= 0xE0 && c <= 0xEF ? 3
                              : c >= 0xF0 && c <= 0xF4 ? 4
                                                       : 0;
        bool valid = n != 0;
        for (std::size_t k = 1; valid && k < n; ++k)
            valid = continuation(i + k);
        if (!valid) return {Latin1Text::Status::NotUtf8, {}, {}};
        if (c <= 0xC3) {
            r.text += char(((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
            i += 2;
            continue;
        }
        return {Latin1Text::Status::NoByte, {}, std::string(utf8.substr(i, n))};
    }
    return r;
}

} // namespace velora
