#include "help.h"

#include "commands.h"
#include "main_window.h"
#include "preview.h"
#include "resource_ids.h"
#include "settings.h"
#include "toolbars.h"

namespace {

// WinHelp looks for a bare file name in the current folder and the system
// folders, not beside the program: with a shortcut that starts elsewhere it
// would not be found. So the help file is named by its full path.
const char* HelpFile()
{
    static char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(Instance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        lstrcpynA(path, "tarvo.hlp", MAX_PATH);
        return path;
    }
    char* name = path;
    for (char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/')
            name = p + 1;
    lstrcpynA(name, "tarvo.hlp", static_cast<int>(MAX_PATH - (name - path)));
    return path;
}

bool Contains(HWND pane, POINT point)
{
    RECT bounds;
    return pane && GetWindowRect(pane, &bounds) && PtInRect(&bounds, point);
}

} // namespace

void OpenHelpContents(HWND window)
{
    WinHelpA(window, HelpFile(), HELP_CONTENTS, 0);
}

int HelpContextAt(POINT screen)
{
    int context = 0;
    if (Settings.Parameters & ParamPreview) {
        if (Contains(SourcePane, screen))
            context = HELP_SOURCE_PANE;
        if (Contains(ResultPane, screen))
            context = HELP_RESULT_PANE;
    }
    if (!context)
        context = ToolbarCommandAt(CommandBar, screen.x, screen.y, 8);
    if (!context)
        context = ToolbarCommandAt(CodePageBar, screen.x, screen.y, 5);
    return context;
}

void OnKeyDown(HWND window, WPARAM key)
{
    if (key == VK_F1)
        OpenHelpContents(window);
}

void OnLeftButtonDown(HWND window, int x, int y)
{
    if (!ContextHelpMode)
        return;
    ContextHelpMode = 0;  // first: releasing the capture is no loss of it
    ReleaseCapture();
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));

    POINT point = {x, y};
    ClientToScreen(window, &point);
    const int context = HelpContextAt(point);
    if (context == 0 || context == IDM_CONTEXT_HELP)
        OpenHelpContents(window);
    else
        WinHelpA(window, HelpFile(), HELP_CONTEXTPOPUP, context);
}

void OnCaptureChanged()
{
    if (!ContextHelpMode)
        return;
    ContextHelpMode = 0;
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

void CloseHelp(HWND window)
{
    if (ContextHelpMode) {
        ContextHelpMode = 0;
        ReleaseCapture();
    }
    WinHelpA(window, HelpFile(), HELP_QUIT, 0);
}
