#include "encoding_detection.h"

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

} // namespace

EncodingGuess DetectEncoding(const unsigned char* head, size_t length)
{
    length = WithoutCutCharacter(head, length < DetectionReach ? length : DetectionReach);
    const unsigned count = static_cast<unsigned>(length);
    const TextEncoding found = DetectTextEncoding(head, count);
    if (found.encoding == EncodingAscii)
        return {EncodingUtf8, 100, true};
    if (found.encoding == EncodingUtf16Be)
        return found.byteOrderMark ? EncodingGuess{EncodingUtf16, 100} : EncodingGuess{EncodingUtf16, found.confidence, false, true};
    return {found.encoding, found.confidence};
}

bool ReadHead(std::FILE* input, std::vector<unsigned char>& head)
{
    // The first window, and more up to the detector's reach only where the
    // detector reads on: when the window holds too little Cyrillic.
    head.resize(DetectionWindow);
    errno = 0;
    head.resize(std::fread(head.data(), 1, head.size(), input));
    size_t high = 0;
    for (unsigned char byte : head)
        high += byte >= 0x80;
    if (head.size() == DetectionWindow && high < 256 && !std::ferror(input)) {
        head.resize(DetectionReach);
        head.resize(DetectionWindow + std::fread(head.data() + DetectionWindow, 1, DetectionReach - DetectionWindow, input));
    }
    return !std::ferror(input);
}
