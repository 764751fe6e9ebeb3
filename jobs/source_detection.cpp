#include "source_detection.h"

#include "code_page_detection.h"
#include "resource_ids.h"
#include "settings.h"
#include "toolbars.h"

namespace {

// Below this a short text reads almost as well in another page; the user's
// choice is the better guess then.
const int ConfidentEnough = 90;

} // namespace

int DetectSource(HWND window, const unsigned char* text, SIZE_T count)
{
    if (!(Settings.Parameters & ParamDetectSource))
        return -1;
    const Detection found = DetectCodePage(text, count < DetectionWindow ? static_cast<unsigned>(count) : DetectionWindow);
    if (found.page == NoDecision || found.confidence < ConfidentEnough)
        return -1;
    if (found.page != GetSourceIndex())
        SetSourceCodePage(window, IDM_SOURCE_FIRST + found.page);
    return found.page;
}
