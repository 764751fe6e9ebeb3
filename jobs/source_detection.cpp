#include "source_detection.h"

#include "text_encoding_detection.h"
#include "settings.h"
#include "window_requests.h"

int DetectPage(DWORD parameters, const unsigned char* text, SIZE_T count)
{
    if (!(parameters & ParamDetectSource))
        return DetectionOff;
    const Detection found = DetectCodePage(text, count < DetectionWindow ? static_cast<unsigned>(count) : DetectionWindow);
    // Less sure, the user's choice is the better guess.
    if (found.page == NoDecision || found.confidence < ConfidentEnough)
        return SourceNotDetected;
    return found.page;
}

int DetectSource(HWND window, DWORD& parameters, const unsigned char* text, SIZE_T count)
{
    const int page = DetectPage(parameters, text, count);
    if (page >= 0 && page != SourceOf(parameters)) {
        ShowSourceCodePage(window, page);
        parameters = (parameters & ~ParamSourceMask) | static_cast<DWORD>(page);
    }
    return page;
}
