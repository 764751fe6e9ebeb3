#include "text_encoding_detection.h"

#include <cstring>

#include "detection_model.h"

namespace {

// The length of a well-formed UTF-8 character at bytes (at most left
// bytes), 0 when it is not one; a character cut off by the end counts as
// well-formed.
unsigned Utf8Length(const unsigned char* bytes, unsigned left)
{
    const unsigned char lead = bytes[0];
    if (lead < 0x80)
        return 1;
    unsigned length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    } else {
        return 0;
    }
    for (unsigned k = 1; k < length; ++k) {
        if (k == left)
            return left;
        const unsigned char next = bytes[k];
        if (k == 1 ? (next < low || next > high) : (next & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

char32_t Utf8Character(const unsigned char* bytes, unsigned length)
{
    if (length == 1)
        return bytes[0];
    char32_t c = bytes[0] & (0x7F >> length);
    for (unsigned k = 1; k < length; ++k)
        c = c << 6 | (bytes[k] & 0x3F);
    return c;
}

// Whether count bytes are well-formed UTF-8 with a character from 0x80 up.
bool IsUtf8Text(const unsigned char* bytes, unsigned count)
{
    bool multibyte = false;
    for (unsigned at = 0; at < count;) {
        const unsigned length = Utf8Length(bytes + at, count - at);
        if (length == 0)
            return false;
        multibyte = multibyte || length > 1;
        at += length;
    }
    return multibyte;
}

// The UTF-8 reading of count well-formed bytes, scored; a character cut off
// at the end is left out.
void ScoreUtf8(const unsigned char* bytes, unsigned count, TextScore& score)
{
    TextReading reading;
    BeginText(reading);
    char32_t text[256];
    unsigned filled = 0;
    for (unsigned at = 0; at < count;) {
        const unsigned length = Utf8Length(bytes + at, count - at);
        if (at + length > count || length == 0)
            break;
        text[filled++] = Utf8Character(bytes + at, length);
        at += length;
        if (filled == sizeof text / sizeof text[0]) {
            ReadCodePoints(CyrillicModel, reading, text, filled);
            filled = 0;
        }
    }
    ReadCodePoints(CyrillicModel, reading, text, filled);
    EndText(CyrillicModel, reading, score);
}

// Whether a UTF-16 code unit is one that Cyrillic text, or text at all,
// is made of: ASCII text, Latin-1, Cyrillic, typography.
bool IsTextUnit(unsigned unit)
{
    if (unit >= 0x20 && unit < 0x7F)
        return true;
    return unit == '\t' || unit == '\n' || unit == '\r' || (unit >= 0xA0 && unit <= 0x24F) ||
           (unit >= 0x400 && unit <= 0x52F) || (unit >= 0x2000 && unit <= 0x206F) || unit == 0x2116 ||
           unit == 0x20AC || unit == 0x2122;
}

// The share of text units, in thousandths, among the first window's code
// units read in one byte order; units with a zero byte among them counted
// apart, since ASCII in UTF-16 has one in every unit.
unsigned Utf16TextShare(const unsigned char* bytes, unsigned count, bool bigEndian)
{
    const unsigned units = count / 2;
    unsigned text = 0;
    for (unsigned n = 0; n < units; ++n) {
        const unsigned first = bytes[2 * n], second = bytes[2 * n + 1];
        text += IsTextUnit(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return units == 0 ? 0 : text * 1000 / units;
}

// The encoding each reading is.
const int EncodingOfReading[ReadingCount] = {
    CodePageCp866, CodePageCp1251, CodePageKoi8r, CodePageMac, CodePageIso88595, EncodingKoi8u, EncodingCp1125,
};

char Lower(unsigned char c)
{
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

// Whether the bytes at text, as far as end, start with word (lower case),
// regardless of case.
bool StartsWith(const unsigned char* text, const unsigned char* end, const char* word)
{
    for (; *word; ++word, ++text) {
        if (text == end || Lower(*text) != *word)
            return false;
    }
    return true;
}

// The names texts give their encoding by, and the reading each is.
const struct {
    const char* name;
    int reading;
} DeclaredNames[] = {
    {"windows-1251", CodePageCp1251}, {"cp1251", CodePageCp1251}, {"win-1251", CodePageCp1251},
    {"koi8-r", CodePageKoi8r}, {"koi8-u", ReadingKoi8u}, {"ibm866", CodePageCp866}, {"cp866", CodePageCp866},
    {"iso-8859-5", CodePageIso88595}, {"iso8859-5", CodePageIso88595}, {"x-mac-cyrillic", CodePageMac},
    {"maccyrillic", CodePageMac}, {"x-mac-ukrainian", CodePageMac}, {"cp1125", ReadingCp1125},
};

} // namespace

int DeclaredReading(const unsigned char* bytes, unsigned count)
{
    const unsigned char* end = bytes + (count < 4096 ? count : 4096);
    static const char* const Keys[] = {"charset=", "=?", "encoding=", "coding:", "coding="};
    for (const unsigned char* at = bytes; at < end; ++at) {
        for (const char* key : Keys) {
            if (!StartsWith(at, end, key))
                continue;
            const unsigned char* name = at + std::strlen(key);
            while (name < end && (*name == '"' || *name == '\'' || *name == ' '))
                ++name;
            for (const auto& declared : DeclaredNames) {
                const unsigned char* after = name + std::strlen(declared.name);
                if (StartsWith(name, end, declared.name) &&
                    (after == end || !((Lower(*after) >= 'a' && Lower(*after) <= 'z') || (*after >= '0' && *after <= '9') || *after == '-')))
                    return declared.reading;
            }
        }
    }
    return NoDecision;
}

TextEncoding DetectTextEncoding(const unsigned char* bytes, unsigned count)
{
    if (count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        return TextEncoding{EncodingUtf8, 100, 3};
    if (count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return TextEncoding{EncodingUtf16, 100, 2};
    if (count >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
        return TextEncoding{EncodingUtf16Be, 100, 2};

    // UTF-16 without a byte order mark: nearly every code unit one of text,
    // in one byte order far more than in the other. Text in a code page
    // makes such units only by chance (a zero byte or 0x04 every other
    // byte), and ASCII never.
    // The first 4 KiB tell UTF-16 as surely as more would.
    const unsigned window = count < 4096 ? count : 4096;
    if (window >= 4) {
        const unsigned little = Utf16TextShare(bytes, window, false);
        const unsigned big = Utf16TextShare(bytes, window, true);
        const unsigned enough = 950;
        if (little >= enough && little > big)
            return TextEncoding{EncodingUtf16, 100, 0};
        if (big >= enough && big > little)
            return TextEncoding{EncodingUtf16Be, 100, 0};
    }

    PageScores scores;
    ScoreCodePages(CyrillicModel, bytes, count, scores);
    const bool binary = scores.controls * 64 > scores.looked;
    if (scores.high == 0)
        return binary ? TextEncoding{NoDecision, 0, 0} : TextEncoding{EncodingAscii, 100, 0};

    const Detection reading = DecideCodePage(CyrillicModel, scores, DeclaredReading(bytes, count));
    const Detection page = {reading.page == NoDecision ? NoDecision : EncodingOfReading[reading.page], reading.confidence};
    const unsigned char* region = bytes + scores.start;
    if (!IsUtf8Text(region, scores.looked))
        return TextEncoding{page.page, page.confidence, 0};

    // Well-formed UTF-8: the reading as UTF-8 against the best of the pages.
    TextScore utf8;
    ScoreUtf8(region, scores.looked, utf8);
    const uint32_t utf8Cost = BestLanguageCost(utf8);
    uint32_t pageCost = 0xFFFFFFFF;
    for (int p = 0; p < ReadingCount; ++p) {
        const uint32_t cost = BestLanguageCost(scores.page[p]) + CyrillicModel.pageCost[p];
        pageCost = cost < pageCost ? cost : pageCost;
    }
    if (utf8Cost <= pageCost || page.page == NoDecision) {
        const uint32_t margin = utf8Cost <= pageCost ? pageCost - utf8Cost : 0;
        return TextEncoding{EncodingUtf8, ConfidenceOfMargin(CyrillicModel, margin, scores.high), 0};
    }
    const int confidence = ConfidenceOfMargin(CyrillicModel, utf8Cost - pageCost, scores.high);
    return TextEncoding{page.page, confidence < page.confidence ? confidence : page.confidence, 0};
}

Detection DetectCodePage(const unsigned char* bytes, unsigned count)
{
    // Text in KOI8-U or cp1125 that reads otherwise in KOI8-R or cp866 is in
    // none of the five: no decision rather than a page that garbles it.
    const TextEncoding found = DetectTextEncoding(bytes, count);
    if (found.encoding < 0 || found.encoding >= CodePageCount)
        return Detection{NoDecision, 0};
    return Detection{found.encoding, found.confidence};
}
