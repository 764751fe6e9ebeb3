// Characters as UTF-8 bytes and UTF-16 code units, and code units back as
// characters: the arithmetic of surrogates, kept in one place for the
// conversions, the repair and tarvoconv.
#pragma once

inline bool IsHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit < 0xDC00;
}

inline bool IsLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit < 0xE000;
}

inline bool IsSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit < 0xE000;
}

// The character of a high and a low surrogate.
inline char32_t CombinedSurrogates(char32_t high, char32_t low)
{
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// The two halves of a character from U+10000 up.
inline char32_t HighSurrogateOf(char32_t c)
{
    return 0xD800 + ((c - 0x10000) >> 10);
}

inline char32_t LowSurrogateOf(char32_t c)
{
    return 0xDC00 + (c & 0x3FF);
}

// Writes c (up to U+10FFFF, no surrogate) as one to four bytes of UTF-8 and
// returns the end.
inline unsigned char* PutUtf8(unsigned char* out, char32_t c)
{
    if (c < 0x80) {
        *out++ = static_cast<unsigned char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<unsigned char>(0xC0 | c >> 6);
        *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<unsigned char>(0xE0 | c >> 12);
        *out++ = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<unsigned char>(0xF0 | c >> 18);
        *out++ = static_cast<unsigned char>(0x80 | (c >> 12 & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    }
    return out;
}

// Writes c as one or two UTF-16 code units, each through put(unit): the
// byte order is the caller's.
template <typename PutUnit>
inline void EachUtf16Unit(char32_t c, PutUnit put)
{
    if (c < 0x10000) {
        put(c);
        return;
    }
    put(HighSurrogateOf(c));
    put(LowSurrogateOf(c));
}
