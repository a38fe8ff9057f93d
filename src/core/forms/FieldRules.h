#pragma once
// The value rules every form field shares: stepping, numbers typed as text, value-list lookup,
// two-state texts and the byte rules of fixed-length texts in the memory image.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "forms/FieldTypes.h"

namespace velora::forms {

// One step in `direction` (> 0 up, < 0 down, 0 stays); past either end wraps to the other end.
// A step that would overshoot the end lands on it, so a value never leaves the range.
int stepWithWrap(int value, NumericRange range, int direction);

// As stepWithWrap with `special` sitting between the maximum and the minimum of the cycle.
int stepWithSpecial(int value, NumericRange range, int special, int direction);

// A text of nothing but blanks (spaces and tabs), which a field takes as "no value".
bool isBlankText(std::string_view text);
// The text's leading decimal integer (after blanks and an optional sign), 0 when there is none.
// Saturates: a digit string too long for an int gives INT_MAX / INT_MIN, never a wrapped value.
int leadingInt(std::string_view text);

// Brings typed text into range: the leading integer clamped into [min, max] and rounded down to a
// multiple of step (counted from 0), written back into `text` and returned. A range with
// min > max leaves the text alone and returns the raw number.
int clampNumberText(std::string& text, NumericRange range);

// Brings typed decimal text into range: the leading decimal number (either '.' or ',' as the
// point, 0 when there is none) clamped into [min, max] and rounded down to a multiple of step,
// written back into `text` with as many decimals as the step needs (`point` as the separator) and
// returned. Long digit strings saturate at the maximum.
double clampDecimalText(std::string& text, DecimalRange range, char point = '.');
// The decimals a step needs: the smallest p with step * 10^p >= 1.
int decimalsForStep(double step);

// A stored byte as a field shows it: the special text, the number when in range, else empty.
std::string numberText(int stored, NumericRange range, SpecialValue special, std::string_view specialText);

// The message of the first item storing `stored`; nullopt when no item does.
std::optional<int> valueListText(std::span<const ValueItem> list, int stored);
// Whether the list offers an item storing `stored`: a choice outside it is not taken.
bool listOffers(std::span<const ValueItem> list, int stored);

int twoStateText(int stored, TwoStateTexts texts);

// Fixed-length texts: every `from` byte within the first n bytes becomes `to`.
void replaceBytes(std::span<Byte> buf, std::size_t n, Byte from, Byte to);
// A buffer starting with NUL is zeroed; then one holding only blanks and NULs becomes all 0xFF.
void blankToFill(std::span<Byte> buf, std::size_t n);
} // namespace velora::forms
