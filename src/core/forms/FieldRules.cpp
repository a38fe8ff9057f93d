#include "forms/FieldRules.h"

#include <algorithm>
#include <climits>

#include "model/FrequencyCodec.h"

namespace velora::forms {

int stepWithWrap(int value, NumericRange r, int direction) {
    int step = std::max(r.step, 1);
    if (direction > 0) return (r.min <= value && value < r.max) ? std::min(value + step, r.max) : r.min;
    if (direction < 0) return (r.min < value && value <= r.max) ? std::max(value - step, r.min) : r.max;
    return value;
}

int stepWithSpecial(int value, NumericRange r, int special, int direction) {
    int step = std::max(r.step, 1);
    if (direction > 0) {
        if (value == special) return r.min;
        if (value == r.max) return special;
        if (r.min <= value && value < r.max) return std::min(value + step, r.max);
        return r.min;
    }
    if (direction < 0) {
        if (value == special) return r.max;
        if (value == r.min) return special;
        if (r.min < value && value <= r.max) return std::max(value - step, r.min);
        return r.max;
    }
    return value;
}

bool isBlankText(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

int leadingInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > INT_MAX) return negative ? INT_MIN : INT_MAX;
    }
    return int(negative ? -v : v);
}

int clampNumberText(std::string& text, NumericRange r) {
    int v = leadingInt(text);
    if (r.min > r.max) return v;
    v = std::clamp(v, r.min, r.max);
    int step = std::max(r.step, 1);
    v -= v % step;
    // Rounding from 0 must not push a value below a minimum that is no multiple of the step.
    if (v < r.min) v = r.min;
    text = std::to_string(v);
    return v;
}

namespace {
double powerOfTen(int p) {
    double v = 1;
    while (p-- > 0)
        v *= 10;
    return v;
}
} // namespace

int decimalsForStep(double step) {
    int p = 0;
    // The tolerance keeps 0.1 * 10 counting as 1 whatever the binary rounding.
    while (p < 9 && step * powerOfTen(p) < 1 - 1e-9)
        ++p;
    return p;
}

double clampDecimalText(std::string& text, DecimalRange r, char point) {
    // Either point counts, as the edit takes both; digit strings too long for any range saturate.
    std::string t = text;
    std::replace(t.begin(), t.end(), ',', '.');
    double v = parseNumber(t, '.');
    if (r.min > r.max) return v;
    v = std::clamp(v, r.min, r.max);
    const int p = decimalsForStep(r.step);
    const double scale = powerOfTen(p);
    // The small addition keeps 1.2 from being truncated to 11 tenths by binary rounding.
    long long scaledValue = static_cast<long long>(v * scale + 0.01);
    long long scaledStep = std::max(1LL, static_cast<long long>(r.step * scale + 0.01));
    scaledValue -= scaledValue % scaledStep;
    double result = double(scaledValue) / scale;
    // Rounding from 0 must not push a value below a minimum that is no multiple of the step.
    if (result < r.min) result = r.min;
    text = formatNumber(result, p, point);
    return result;
}

std::string numberText(int stored, NumericRange r, SpecialValue special, std::string_view specialText) {
    if (special.text != 0 && stored == special.stored) return std::string(specialText);
    if (stored >= r.min && stored <= r.max) return std::to_string(stored);
    return {};
}

std::optional<int> valueListText(std::span<const ValueItem> list, int stored) {
    for (const ValueItem& item : list)
        if (item.stored == stored) return item.text;
    return std::nullopt;
}

bool listOffers(std::span<const ValueItem> list, int stored) {
    return valueListText(list, stored).has_value();
}

int twoStateText(int stored, TwoStateTexts texts) {
    return stored == 0 ? texts.whenZero : texts.whenNonZero;
}

void replaceBytes(std::span<Byte> buf, std::size_t n, Byte from, Byte to) {
    n = std::min(n, buf.size());
    std::replace(buf.begin(), buf.begin() + std::ptrdiff_t(n), from, to);
}

void blankToFill(std::span<Byte> buf, std::size_t n) {
    n = std::min(n, buf.size());
    if (n == 0) return;
    auto end = buf.begin() + std::ptrdiff_t(n);
    if (buf[0] == 0) std::fill(buf.begin(), end, Byte{0});
    if (std::all_of(buf.begin(), end, [](Byte b) { return b == ' ' || b == 0; }))
        std::fill(buf.begin(), end, Byte{0xFF});
}

} // namespace velora::forms
