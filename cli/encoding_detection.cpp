#include "encoding_detection.h"

#include <cerrno>

#include "code_page_detection.h"
#include "unicode_conversion.h"

const char NoDecisionText[] =
    "cannot tell which encoding this is (too little Cyrillic text, or not text); name it with -f";

EncodingGuess DetectEncoding(const unsigned char* head, size_t length)
{
    if (length >= 2 && ((head[0] == 0xFF && head[1] == 0xFE) || (head[0] == 0xFE && head[1] == 0xFF)))
        return {EncodingUtf16, 100};
    const unsigned count = static_cast<unsigned>(length < DetectionWindow ? length : DetectionWindow);
    if (IsUtf8Text(head, count))
        return {EncodingUtf8, 100};
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
