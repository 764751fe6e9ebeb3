#include "help.h"

#include "commands.h"
#include "interface_language.h"
#include "main_window.h"
#include "preview.h"
#include "resource_ids.h"
#include "settings.h"
#include "toolbars.h"

#include <htmlhelp.h>

#include <string>

HtmlHelpFunction HtmlHelpViewer = nullptr;

namespace {

// The wide path of a file beside the program, which may lie in a folder
// whose name the ANSI code page cannot hold.
bool BesideProgram(const wchar_t* file, wchar_t (&path)[MAX_PATH])
{
    const DWORD length = GetModuleFileNameW(Instance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    wchar_t* name = path;
    for (wchar_t* p = path; *p; ++p)
        if (*p == L'\\' || *p == L'/')
            name = p + 1;
    const int room = static_cast<int>(MAX_PATH - (name - path));
    if (room <= lstrlenW(file))
        return false;
    lstrcpynW(name, file, room);
    return true;
}

bool IsFile(const wchar_t* path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The help in the interface language (tarvo-ru.chm, say) when it lies
// beside the program; else the English help, tarvo.chm or tarvo.hlp.
std::wstring HelpFileName(const wchar_t* extension)
{
    const std::wstring local = LoadText(IDS_HELP_FILE) + extension;
    wchar_t path[MAX_PATH];
    if (BesideProgram(local.c_str(), path) && IsFile(path))
        return local;
    return std::wstring(L"tarvo") + extension;
}

// path in the ANSI code page, only when every character has its place there.
bool InAnsiCodePage(const wchar_t* path, char (&ansi)[MAX_PATH])
{
    // A system whose ANSI page is UTF-8 holds every character, and takes no
    // question about lost ones.
    const bool utf8 = GetACP() == CP_UTF8;
    BOOL lost = FALSE;
    return WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, path, -1, ansi, MAX_PATH, nullptr,
                               utf8 ? nullptr : &lost) > 0 &&
           !lost;
}

// WinHelp looks for a bare file name in the current folder and the system
// folders, not beside the program: with a shortcut that starts elsewhere it
// would not be found. So the help file is named by its full path, and in
// the ANSI code page, which is all WinHelp takes (its wide call converts to
// it): a folder whose name that page cannot hold ("C:\Программы" on a
// Western system) is named by its short form, which is plain ASCII.
const char* HelpFile()
{
    static char path[MAX_PATH];
    wchar_t wide[MAX_PATH], shortForm[MAX_PATH];
    const std::wstring name = HelpFileName(L".hlp");
    if (!BesideProgram(name.c_str(), wide))
        WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, path, MAX_PATH, nullptr, nullptr);
    else if (!InAnsiCodePage(wide, path)) {
        const DWORD length = GetShortPathNameW(wide, shortForm, MAX_PATH);
        if (length == 0 || length >= MAX_PATH || !InAnsiCodePage(shortForm, path))
            WideCharToMultiByte(CP_ACP, 0, wide, -1, path, MAX_PATH, nullptr, nullptr);
    }
    return path;
}

// Windows Vista and later have no WinHelp viewer: there tarvo.hlp brings
// only a note that the help cannot be shown. Their Windows folder still
// holds a winhlp32.exe, but it is the stub that shows that note, so the
// version tells, not the file. (Windows 8.1 and later report 6.2 to a
// program whose manifest does not name them: still 6 or more.)
bool SystemHasWinHelp()
{
    return LOBYTE(LOWORD(GetVersion())) < 6;
}

// The wide path of the .chm help, when it lies beside the program.
bool ChmBesideProgram(wchar_t (&path)[MAX_PATH])
{
    return BesideProgram(HelpFileName(L".chm").c_str(), path) && IsFile(path);
}

// Loaded on first use, so that Tarvo starts and keeps to WinHelp where
// hhctrl.ocx is missing; and from the system folder only, never a file of
// that name in the current folder.
bool HtmlHelpLoaded()
{
    if (HtmlHelpViewer)
        return true;
    const wchar_t name[] = L"\\hhctrl.ocx";
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + sizeof name / sizeof *name > MAX_PATH)
        return false;
    lstrcpynW(path + length, name, MAX_PATH - length);
    if (HMODULE viewer = LoadLibraryW(path)) {
        const FARPROC entry = GetProcAddress(viewer, "HtmlHelpW");
        HtmlHelpViewer = reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void (*)()>(entry));
    }
    return HtmlHelpViewer != nullptr;
}

// Whether this request goes to HTML Help, and tarvo.chm's path if so.
// Asked at each request, as WinHelp looks for tarvo.hlp each time.
bool UseHtmlHelp(wchar_t (&chm)[MAX_PATH])
{
    return !SystemHasWinHelp() && ChmBesideProgram(chm) && HtmlHelpLoaded();
}

// HTML Help shows a popup from the text file the build put into tarvo.chm:
// the .hlp's popup topic of each number, word for word.
void ShowHtmlHelpPopup(HWND window, const wchar_t* chm, int context, POINT screen)
{
    const wchar_t inside[] = L"::/cshelp.txt";
    wchar_t popups[MAX_PATH + sizeof inside / sizeof *inside];
    lstrcpynW(popups, chm, MAX_PATH);
    lstrcpynW(popups + lstrlenW(popups), inside, sizeof inside / sizeof *inside);
    HH_POPUP popup = {};
    popup.cbStruct = sizeof popup;
    popup.idString = static_cast<UINT>(context);
    popup.pt = screen;
    popup.clrForeground = static_cast<COLORREF>(-1);
    popup.clrBackground = static_cast<COLORREF>(-1);
    popup.rcMargins = {-1, -1, -1, -1};
    HtmlHelpViewer(window, popups, HH_DISPLAY_TEXT_POPUP, reinterpret_cast<DWORD_PTR>(&popup));
}

bool Contains(HWND pane, POINT point)
{
    RECT bounds;
    return pane && GetWindowRect(pane, &bounds) && PtInRect(&bounds, point);
}

} // namespace

void OpenHelpContents(HWND window)
{
    wchar_t chm[MAX_PATH];
    if (UseHtmlHelp(chm))
        HtmlHelpViewer(window, chm, HH_DISPLAY_TOC, 0);
    else
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
    wchar_t chm[MAX_PATH];
    if (context == 0 || context == IDM_CONTEXT_HELP)
        OpenHelpContents(window);
    else if (UseHtmlHelp(chm))
        ShowHtmlHelpPopup(window, chm, context, point);
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
    // Set only once tarvo.chm has been shown: otherwise there is nothing to
    // close, and hhctrl.ocx is not loaded just for this.
    if (HtmlHelpViewer)
        HtmlHelpViewer(nullptr, nullptr, HH_CLOSE_ALL, 0);
}
