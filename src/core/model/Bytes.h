#pragma once
// Little helpers for multi-byte values inside the memory image. Every access is bounds-checked:
// a read past the end yields 0xFF bytes (the image's "unset"), a write past the end is dropped.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velora {

using Byte = std::uint8_t;

inline Byte byteAt(std::span<const Byte> s, std::size_t off) {
    return off < s.size() ? s[off] : Byte{0xFF};
}

inline void setByte(std::span<Byte> s, std::size_t off, Byte v) {
    if (off < s.size()) s[off] = v;
}

inline std::uint16_t le16(std::span<const Byte> s, std::size_t off) {
    return static_cast<std::uint16_t>(byteAt(s, off) | (byteAt(s, off + 1) << 8));
}

inline void setLe16(std::span<Byte> s, std::size_t off, std::uint16_t v) {
    setByte(s, off, static_cast<Byte>(v & 0xFF));
    setByte(s, off + 1, static_cast<Byte>(v >> 8));
}

inline void fill(std::span<Byte> s, std::size_t off, std::size_t len, Byte v) {
    for (std::size_t i = 0; i < len; ++i)
        setByte(s, off + i, v);
}

// Copies a text into a fixed-length field without terminator; the rest of the field is left alone.
inline void putText(std::span<Byte> s, std::size_t off, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        setByte(s, off + i, static_cast<Byte>(text[i]));
}

// Reads a fixed-length text field, cut at the first NUL or 0xFF.
inline std::string fixedText(std::span<const Byte> s, std::size_t off, std::size_t len) {
    std::string out;
    for (std::size_t i = 0; i < len; ++i) {
        Byte b = byteAt(s, off + i);
        if (b == 0x00 || b == 0xFF) break;
        out.push_back(static_cast<char>(b));
    }
    return out;
}

inline bool fieldEquals(std::span<const Byte> s, std::size_t off, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (byteAt(s, off + i) != static_cast<Byte>(text[i])) return false;
    return true;
}

} // namespace velora
