// Little-endian fields of a help file, read with bounds checks: a damaged or
// foreign file must end in an error message, never in a read past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Anything in a help file that does not have the layout this tool expects.
struct HelpFileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::uint8_t ReadU8(const Bytes& bytes, std::size_t at);
std::uint16_t ReadU16(const Bytes& bytes, std::size_t at);
std::uint32_t ReadU32(const Bytes& bytes, std::size_t at);
std::int16_t ReadI16(const Bytes& bytes, std::size_t at);
std::int32_t ReadI32(const Bytes& bytes, std::size_t at);

// The NUL-terminated string at `at`, without its NUL.
std::string ReadStringZ(const Bytes& bytes, std::size_t at);

Bytes Slice(const Bytes& bytes, std::size_t at, std::size_t count);

void AppendU16(Bytes& out, std::uint32_t value);
void AppendU32(Bytes& out, std::uint32_t value);
void AppendStringZ(Bytes& out, const std::string& text);
void PutU32(Bytes& out, std::size_t at, std::uint32_t value);
