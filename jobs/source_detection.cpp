#include "source_detection.h"

#include "code_page_detection.h"
#include "settings.h"
#include "window_requests.h"

namespace {

// Below this a short text reads almost as well in another page; the user's
// choice is the better guess then.
const int ConfidentEnough = 90;

} // namespace

int DetectSource(HWND window, DWORD& parameters, const unsigned char* text, SIZE_T count)
{
    if (!(parameters & ParamDetectSource))
        return -1;
    const Detection found = DetectCodePage(text, count < DetectionWindow ? static_cast<unsigned>(count) : DetectionWindow);
    if (found.page == NoDecision || found.confidence < ConfidentEnough)
        return -1;
    if (found.page != SourceOf(parameters)) {
        ShowSourceCodePage(window, found.page);
        parameters = (parameters & ~ParamSourceMask) | static_cast<DWORD>(found.page);
    }
    return found.page;
}
