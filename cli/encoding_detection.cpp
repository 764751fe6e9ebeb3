#include "encoding_detection.h"

#include <cerrno>

#include "encoding_names.h"
#include "text_encoding_detection.h"

const char NoDecisionText[] =
    "cannot tell which encoding this is (too little Cyrillic text, or not text); name it with -f";

std::string UnsureText(const EncodingGuess& guess)
{
    return "not sure which encoding this is: " + std::string(EncodingNames(guess.encoding)[0]) + " at best, " +
           std::to_string(guess.confidence) + "% sure (" + std::to_string(ConfidentEnough) +
           "% needed); name it with -f";
}

EncodingGuess DetectEncoding(const unsigned char* head, size_t length)
{
    const unsigned count = static_cast<unsigned>(length < DetectionReach ? length : DetectionReach);
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
