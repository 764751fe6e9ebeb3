// Appends integers to a byte buffer in the little-endian order of the
// Windows file headers, whatever the order of the machine that builds.
#pragma once

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline void AppendU8(Bytes& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFFu));
}

inline void AppendU16(Bytes& out, unsigned value)
{
    AppendU8(out, value);
    AppendU8(out, value >> 8);
}

inline void AppendU32(Bytes& out, std::uint32_t value)
{
    AppendU16(out, value & 0xFFFFu);
    AppendU16(out, value >> 16);
}

inline void AppendI32(Bytes& out, std::int32_t value)
{
    AppendU32(out, static_cast<std::uint32_t>(value));
}
