// libFuzzer target for the code page and encoding detectors, built with
// AddressSanitizer and UndefinedBehaviorSanitizer: the input is exactly as
// large as its count, so a read past it is caught.
#include <cstdint>
#include <cstdlib>

#include "code_page_detection.h"
#include "text_encoding_detection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const unsigned count = static_cast<unsigned>(size);
    const Detection detection = DetectCodePage(data, count);
    if (detection.page < NoDecision || detection.page >= CodePageCount)
        std::abort();
    if (detection.confidence < 0 || detection.confidence > 100)
        std::abort();
    if (detection.page == NoDecision && detection.confidence != 0)
        std::abort();
    const TextEncoding encoding = DetectTextEncoding(data, count);
    if (encoding.encoding < NoDecision || encoding.encoding > EncodingUtf16Be)
        std::abort();
    if (encoding.confidence < 0 || encoding.confidence > 100)
        std::abort();
    // The page decision is the encoding decision's, where that is a page.
    const bool page = encoding.encoding >= 0 && encoding.encoding < CodePageCount;
    if (detection.page != (page ? encoding.encoding : NoDecision))
        std::abort();
    // No state between calls.
    const Detection again = DetectCodePage(data, count);
    if (again.page != detection.page || again.confidence != detection.confidence)
        std::abort();
    return 0;
}
