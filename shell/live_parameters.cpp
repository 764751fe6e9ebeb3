#include "live_parameters.h"

#include <commctrl.h>

#include "preview.h"
#include "resource_ids.h"
#include "settings.h"
#include "toolbars.h"

DWORD ParametersShown(DWORD stored, HWND window)
{
    const DWORD kept = ParamFilterIndexMask | ParamPreview | ParamSavePaths | ParamSamePaths | ParamPreviewCp1251 |
                       ParamDetectSource | ParamRepairText;
    DWORD parameters = stored & kept;
    parameters |= (GetDestinationIndex() << ParamDestinationShift) | GetSourceIndex();
    if (GetMenuState(GetSystemMenu(window, FALSE), 0, MF_BYPOSITION) & MF_CHECKED)
        parameters |= ParamAlwaysOnTop;
    if (SendMessageA(CommandBar, TB_ISBUTTONCHECKED, IDM_AUTO_CONVERT, 0))
        parameters |= ParamAutoConvert;
    if (SendMessageA(CommandBar, TB_ISBUTTONCHECKED, IDM_CONVERT_NEWLINES, 0))
        parameters |= ParamConvertNewlines;
    if (SendMessageA(CommandBar, TB_ISBUTTONCHECKED, IDM_OVERWRITE_INPUT, 0))
        parameters |= ParamOverwriteInput;
    if (SendMessageA(CodePageBar, TB_GETBITMAP, IDM_EXCHANGE, 0) != IMAGE_ARROW_RIGHT)
        parameters |= ParamExchanged;
    return parameters;
}

DWORD LiveParameters(HWND window)
{
    // The preview is there for a job when its source pane is.
    const DWORD preview = SourcePane ? ParamPreview : 0;
    return (ParametersShown(Settings.Parameters, window) & ~ParamPreview) | preview;
}
