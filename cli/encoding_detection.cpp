#include "encoding_detection.h"

#include <algorithm>

#include <cerrno>

#include "encoding_names.h"
#include "text_encoding_detection.h"
#include "translation.h"

const char NoDecisionText[] =
    N_("cannot tell which encoding this is (too little Cyrillic text, or not text); name it with -f");

std::string UnsureText(const EncodingGuess& guess)
{
    return Format(_("not sure which encoding this is: %s at best, %d%% sure (%d%% needed); name it with -f"),
                  EncodingNames(guess.encoding)[0], guess.confidence, static_cast<int>(ConfidentEnough));
}

namespace {

// The head of a longer input may end inside a UTF-8 character, whose first
// bytes the detector would read as bytes of a code page, and find no UTF-8
// where the head holds no other character from U+0080 up: the bytes looked
// at end before such a character. (One cut off where the input itself ends
// is an error whichever way it is read.)
size_t WithoutCutCharacter(const unsigned char* bytes, size_t length)
{
    size_t lead = length;  // just past the character's first byte
    while (lead > 0 && length - lead < 3 && (bytes[lead - 1] & 0xC0) == 0x80)
        --lead;
    if (lead == 0)
        return length;
    const unsigned char first = bytes[lead - 1];
    const size_t size = first >= 0xC2 && first <= 0xDF ? 2 : first >= 0xE0 && first <= 0xEF ? 3
                      : first >= 0xF0 && first <= 0xF4 ? 4 : 0;
    return size > length - (lead - 1) ? lead - 1 : length;
}

// How far ReadHead reads on while all it has read is ASCII: far enough for
// the Cyrillic of a long log or listing, little enough to hold.
const size_t LookAheadLimit = 16u << 20;

// Where a region of up to DetectionReach bytes starts that holds the first
// byte from 0x80 up of a head longer than the detector's reach, with a
// little of what precedes it: the detector looks there when the first MiB
// is ASCII.
size_t LateRegion(const unsigned char* head, size_t length)
{
    size_t first = DetectionReach;
    while (first < length && head[first] < 0x80)
        ++first;
    const size_t context = 256;
    return first == length ? length : first - context;
}

} // namespace

EncodingGuess DetectEncoding(const unsigned char* head, size_t length)
{
    const size_t reach = DetectionReach;
    const unsigned count = static_cast<unsigned>(WithoutCutCharacter(head, std::min(length, reach)));
    TextEncoding found = DetectTextEncoding(head, count);
    if (found.encoding == EncodingAscii && length > count) {
        const size_t late = LateRegion(head, length);
        if (late < length) {
            const size_t rest = WithoutCutCharacter(head + late, std::min(length - late, reach));
            found = DetectTextEncoding(head + late, static_cast<unsigned>(rest));
            // A byte order mark counts only at the very start.
            found.byteOrderMark = 0;
            if (found.encoding == EncodingUtf16 || found.encoding == EncodingUtf16Be)
                found = {NoDecision, 0, 0};
        }
    }
    if (found.encoding == EncodingAscii)
        return {EncodingUtf8, 100, true};
    if (found.encoding == EncodingUtf16Be)
        return found.byteOrderMark ? EncodingGuess{EncodingUtf16, 100} : EncodingGuess{EncodingUtf16, found.confidence, false, true};
    return {found.encoding, found.confidence};
}

bool ReadHead(std::FILE* input, std::vector<unsigned char>& head)
{
    // The first window, and more up to the detector's reach only where the
    // detector reads on: when the window holds too little Cyrillic; past
    // the reach, on while all of it is ASCII, up to LookAheadLimit.
    head.resize(DetectionWindow);
    errno = 0;
    head.resize(std::fread(head.data(), 1, head.size(), input));
    size_t high = 0;
    for (unsigned char byte : head)
        high += byte >= 0x80;
    if (head.size() == DetectionWindow && high < 256 && !std::ferror(input)) {
        head.resize(DetectionReach);
        head.resize(DetectionWindow + std::fread(head.data() + DetectionWindow, 1, DetectionReach - DetectionWindow, input));
        for (size_t at = DetectionWindow; at < head.size(); ++at)
            high += head[at] >= 0x80;
    }
    while (high == 0 && head.size() >= DetectionReach && head.size() < LookAheadLimit && !std::feof(input) &&
           !std::ferror(input)) {
        const size_t had = head.size();
        head.resize(had + DetectionReach);
        head.resize(had + std::fread(head.data() + had, 1, DetectionReach, input));
        for (size_t at = had; at < head.size(); ++at)
            high += head[at] >= 0x80;
    }
    return !std::ferror(input);
}
