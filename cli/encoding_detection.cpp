#include "encoding_detection.h"

#include <cerrno>

#include "binary_text.h"
#include "code_page_detection.h"
#include "encoding_names.h"
#include "unicode_conversion.h"
#include "utf8_confidence.h"

const char NoDecisionText[] =
    "cannot tell which encoding this is (too little Cyrillic text, or not text); name it with -f";

std::string UnsureText(const EncodingGuess& guess)
{
    return "not sure which encoding this is: " + std::string(EncodingNames(guess.encoding)[0]) + " at best, " +
           std::to_string(guess.confidence) + "% sure (" + std::to_string(ConfidentEnough) +
           "% needed); name it with -f";
}

namespace {

bool IsAsciiText(const unsigned char* head, size_t length)
{
    for (size_t at = 0; at < length; ++at)
        if (head[at] >= 0x80)
            return false;
    return !LooksBinary(head, length);
}

} // namespace

EncodingGuess DetectEncoding(const unsigned char* head, size_t length)
{
    if (length >= 2 && ((head[0] == 0xFF && head[1] == 0xFE) || (head[0] == 0xFE && head[1] == 0xFF)))
        return {EncodingUtf16, 100};
    const unsigned count = static_cast<unsigned>(length < DetectionWindow ? length : DetectionWindow);
    if (IsAsciiText(head, count))
        return {EncodingUtf8, 100, true};
    if (IsUtf8Text(head, count))
        return {EncodingUtf8, Utf8Confidence(head, count)};
    const Detection found = DetectCodePage(head, count);
    return {found.page, found.confidence};
}

bool ReadHead(std::FILE* input, std::vector<unsigned char>& head)
{
    head.resize(DetectionWindow);
    errno = 0;
    head.resize(std::fread(head.data(), 1, head.size(), input));
    return !std::ferror(input);
}
