#include "byte_fields.h"

namespace {

void Need(const Bytes& bytes, std::size_t at, std::size_t count)
{
    if (at > bytes.size() || count > bytes.size() - at)
        throw HelpFileError("a field at offset " + std::to_string(at) + " runs past the end of its data (" +
                            std::to_string(bytes.size()) + " bytes)");
}

}  // namespace

std::uint8_t ReadU8(const Bytes& bytes, std::size_t at)
{
    Need(bytes, at, 1);
    return bytes[at];
}

std::uint16_t ReadU16(const Bytes& bytes, std::size_t at)
{
    Need(bytes, at, 2);
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t ReadU32(const Bytes& bytes, std::size_t at)
{
    return ReadU16(bytes, at) | static_cast<std::uint32_t>(ReadU16(bytes, at + 2)) << 16;
}

std::int16_t ReadI16(const Bytes& bytes, std::size_t at)
{
    return static_cast<std::int16_t>(ReadU16(bytes, at));
}

std::int32_t ReadI32(const Bytes& bytes, std::size_t at)
{
    return static_cast<std::int32_t>(ReadU32(bytes, at));
}

std::string ReadStringZ(const Bytes& bytes, std::size_t at)
{
    std::string text;
    for (std::size_t i = at;; ++i) {
        const std::uint8_t c = ReadU8(bytes, i);
        if (c == 0)
            return text;
        text.push_back(static_cast<char>(c));
    }
}

Bytes Slice(const Bytes& bytes, std::size_t at, std::size_t count)
{
    Need(bytes, at, count);
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(at);
    return Bytes(first, first + static_cast<std::ptrdiff_t>(count));
}

void AppendU16(Bytes& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFFu));
    out.push_back(static_cast<std::uint8_t>(value >> 8 & 0xFFu));
}

void AppendU32(Bytes& out, std::uint32_t value)
{
    AppendU16(out, value & 0xFFFFu);
    AppendU16(out, value >> 16);
}

void AppendStringZ(Bytes& out, const std::string& text)
{
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

void PutU32(Bytes& out, std::size_t at, std::uint32_t value)
{
    Need(out, at, 4);
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i) & 0xFFu);
}
