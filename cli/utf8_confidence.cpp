#include "utf8_confidence.h"

namespace {

bool IsCyrillicTextCharacter(unsigned long c)
{
    return (c >= 0x00A0 && c <= 0x00BF) ||  // no-break space, « », §, ©, °, ±
           (c >= 0x0400 && c <= 0x052F) ||  // Cyrillic letters
           (c >= 0x2010 && c <= 0x203A) ||  // dashes, quotes, bullets, ellipsis, ‰
           c == 0x20AC || c == 0x2116 || c == 0x2122 ||  // €, №, ™
           (c >= 0x2500 && c <= 0x25A0);  // box drawing and blocks of cp866 and KOI8-R
}

} // namespace

int Utf8Confidence(const unsigned char* bytes, unsigned count)
{
    unsigned characters = 0, cyrillic = 0;
    for (unsigned at = 0; at < count;) {
        const unsigned char lead = bytes[at];
        if (lead < 0x80) {
            ++at;
            continue;
        }
        const unsigned length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (at + length > count)
            break;
        unsigned long c = lead & (0x7Fu >> length);
        for (unsigned k = 1; k < length; ++k)
            c = (c << 6) | (bytes[at + k] & 0x3Fu);
        ++characters;
        cyrillic += IsCyrillicTextCharacter(c);
        at += length;
    }
    return characters == 0 ? 0 : static_cast<int>(100ull * cyrillic / characters);
}
