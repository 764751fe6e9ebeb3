// libFuzzer target for the code page detector, built with AddressSanitizer
// and UndefinedBehaviorSanitizer: the input is exactly as large as its
// count, so a read past it is caught.
#include <cstdint>
#include <cstdlib>

#include "code_page_detection.h"

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
    // No state between calls.
    const Detection again = DetectCodePage(data, count);
    if (again.page != detection.page || again.confidence != detection.confidence)
        std::abort();
    return 0;
}
