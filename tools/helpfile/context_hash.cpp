#include "context_hash.h"

namespace {

// The value each byte adds to the hash. Names may only use digits, letters,
// '.' and '_', but the viewer gives every byte a value and so do we: most
// bytes are their code less 0x30 taken as a signed byte, lower case folds
// onto upper case, and a few punctuation marks have values of their own.
std::int32_t CharacterValue(unsigned char c)
{
    switch (c) {
    case 0x00: return 0;
    case '0': return 10;
    case '!': return 11;
    case '.': return 12;
    case '[': return 11;
    case '\\': return 12;
    case ']': return 13;
    case '^': return 14;
    case '_': return 13;
    case 0xB4: return 11;
    default: break;
    }
    const int folded = (c >= 0x60 && c <= 0x7F) ? c - 0x20 : c;
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(folded - 0x30));
}

}  // namespace

std::int32_t ContextHash(const std::string& name)
{
    // The documented special case: by the loop below it would be 0.
    if (name.empty())
        return 1;
    std::uint32_t hash = 0;
    for (const char c : name)
        hash = hash * 43u + static_cast<std::uint32_t>(CharacterValue(static_cast<unsigned char>(c)));
    return static_cast<std::int32_t>(hash);
}
