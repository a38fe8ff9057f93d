#include "forms/CharClass.h"

#include <algorithm>

namespace velora::forms {

namespace {

bool isDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}
bool isUpper(char32_t c) {
    return c >= U'A' && c <= U'Z';
}
bool isLower(char32_t c) {
    return c >= U'a' && c <= U'z';
}
char32_t upper(char32_t c) {
    return isLower(c) ? c - U'a' + U'A' : c;
}

CharVerdict yes(char32_t c) {
    return {true, c};
}
constexpr CharVerdict kNo{};

bool isPoint(char c) {
    return c == '.' || c == ',';
}

bool selectionCovers(const EditContext& ctx, std::size_t pos) {
    return ctx.selLength > 0 && int(pos) >= ctx.selStart && int(pos) < ctx.selStart + ctx.selLength;
}

bool wholeTextSelected(const EditContext& ctx) {
    return ctx.selStart == 0 && ctx.selLength >= int(ctx.text.size());
}

// Class 3: a point only while the text has none, or the selection covers every one it has.
CharVerdict decimal(const EditContext& ctx, char32_t c) {
    if (isDigit(c)) return yes(c);
    if (c != U'.' && c != U',') return kNo;
    for (std::size_t i = 0; i < ctx.text.size(); ++i)
        if ((isPoint(ctx.text[i]) || ctx.text[i] == ctx.decimalPoint) && !selectionCovers(ctx, i)) return kNo;
    return yes(char32_t(static_cast<unsigned char>(ctx.decimalPoint)));
}

// Classes 21, 30, 31: digits, or one of the letters alone (typed into an empty or fully selected
// edit); no digit next to such a letter. A letter the selection covers is about to be replaced,
// so it does not block a digit (a special-value text selected by a spin click can be typed over).
CharVerdict digitsOrLetter(const EditContext& ctx, char32_t c, std::u32string_view letters) {
    bool holdsLetter = false;
    for (std::size_t i = 0; i < ctx.text.size(); ++i)
        if (letters.find(char32_t(static_cast<unsigned char>(ctx.text[i]))) != std::u32string_view::npos &&
            !selectionCovers(ctx, i))
            holdsLetter = true;
    if (isDigit(c)) return holdsLetter ? kNo : yes(c);
    char32_t u = upper(c);
    if (letters.find(u) == std::u32string_view::npos) return kNo;
    if (ctx.text.empty() || wholeTextSelected(ctx)) return yes(u);
    return kNo;
}

bool nameChar(char32_t c) {
    return c == U' ' || c == U'#' || c == U'$' || c == U'%' || (c >= U'(' && c <= U'9') || c == U'=' ||
           c == U'@' || isUpper(c) || c == U'\\' || c == U'_' || c == U'|';
}

} // namespace

CharVerdict filterTypedChar(CharClass cls, const EditContext& ctx, char32_t c) {
    if (cls == CharClass::Nothing) return kNo;
    if (c == kBackspace) return yes(c);
    switch (cls) {
    case CharClass::Any:
        // The image stores one byte per character; nothing beyond Latin-1 can be kept.
        return (c >= 0x20 && c <= 0xFF && c != 0x7F) ? yes(c) : kNo;
    case CharClass::Digits:
        return isDigit(c) ? yes(c) : kNo;
    case CharClass::Decimal:
        return decimal(ctx, c);
    case CharClass::Dtmf:
        if (isDigit(c) || c == U'*' || c == U'#') return yes(c);
        return (upper(c) >= U'A' && upper(c) <= U'D') ? yes(upper(c)) : kNo;
    case CharClass::Hex:
        if (isDigit(c)) return yes(c);
        return (upper(c) >= U'A' && upper(c) <= U'F') ? yes(upper(c)) : kNo;
    case CharClass::Alnum:
        return (isDigit(c) || isUpper(c) || isLower(c)) ? yes(c) : kNo;
    case CharClass::Name:
        return nameChar(upper(c)) ? yes(upper(c)) : kNo;
    case CharClass::ZeroToFive:
        return ((c >= U'0' && c <= U'5') || c == U'-') ? yes(c) : kNo;
    case CharClass::DigitsOrA:
        return digitsOrLetter(ctx, c, U"A");
    case CharClass::DigitsOrC:
        return digitsOrLetter(ctx, c, U"C");
    case CharClass::DigitsOrCO:
        return digitsOrLetter(ctx, c, U"CO");
    case CharClass::Tone: {
        char32_t u = upper(c);
        return (isDigit(c) || c == U',' || c == U'.' || u == U'D' || u == U'I' || u == U'N') ? yes(u) : kNo;
    }
    case CharClass::Nothing:
        break;
    }
    // Unlisted classes take every printable character while typing.
    return c >= 0x20 && c <= 0xFF ? yes(c) : kNo;
}

bool opensEditor(CharClass cls, char32_t typed, char decimalPoint) {
    if (typed <= U' ') return false;
    switch (cls) {
    case CharClass::Nothing:
    case CharClass::Any:
    case CharClass::Digits:
    case CharClass::Decimal:
    case CharClass::Dtmf:
    case CharClass::Hex:
    case CharClass::Alnum:
    case CharClass::Name:
    case CharClass::ZeroToFive:
    case CharClass::DigitsOrA:
    case CharClass::DigitsOrC:
    case CharClass::DigitsOrCO:
    case CharClass::Tone:
        return filterTypedChar(cls, EditContext{{}, 0, 0, decimalPoint}, upper(typed)).accept;
    }
    return false;
}

EditResult insertFiltered(CharClass cls, const EditContext& ctx, std::u32string_view input, int maxLength) {
    std::string text(ctx.text);
    int start = std::clamp(ctx.selStart, 0, int(text.size()));
    int length = std::clamp(ctx.selLength, 0, int(text.size()) - start);
    int cursor = start;
    bool selectionPending = length > 0;
    for (char32_t c : input) {
        if (c == kBackspace) continue;
        EditContext now{text, selectionPending ? start : cursor, selectionPending ? length : 0,
                        ctx.decimalPoint};
        CharVerdict v = filterTypedChar(cls, now, c);
        if (!v.accept || v.insert > 0xFF) continue;
        if (selectionPending) {
            text.erase(std::size_t(start), std::size_t(length));
            selectionPending = false;
        }
        if (maxLength > 0 && int(text.size()) >= maxLength) break;
        text.insert(text.begin() + cursor, static_cast<char>(v.insert));
        ++cursor;
    }
    return {text, cursor};
}

} // namespace velora::forms
