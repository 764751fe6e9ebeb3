// The panes between the toolbars: showing and hiding them, their layout on
// every size change, and the system-menu items that switch them.
#include "preview.h"

#include <initializer_list>

#include "main_window.h"
#include "menu_checks.h"
#include "preview_font.h"
#include "preview_text_sizes.h"
#include "resource_ids.h"
#include "screen_scale.h"
#include "settings.h"
#include "toolbars.h"

HWND SourcePane;
HWND ResultPane;

namespace {

// Read-only multi-line text with both scroll bars and a border.
const DWORD PaneStyle = 0x50B00804;
static_assert(PaneStyle == (WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY),
              "the panes' style");

// The first showing adds this much room for the panes to the fixed height,
// in 96-DPI pixels like W and H.
const int FirstPreviewHeight = 200;

// Where the source pane goes; the result pane, as high, lies right below it.
struct PaneLayout {
    int left, top, width, height;
};

int Height(const RECT& rect) { return rect.bottom - rect.top; }

// The panes share the room between the toolbars equally; an odd height
// leaves its last row uncovered rather than making one pane taller.
PaneLayout ComputeLayout(HWND window)
{
    RECT client, command, codePage;
    GetClientRect(window, &client);
    GetWindowRect(CommandBar, &command);
    GetWindowRect(CodePageBar, &codePage);
    const int top = client.top + Height(command);
    const int bottom = client.bottom - Height(codePage);
    return PaneLayout{client.left, top, client.right - client.left, (bottom - top) / 2};
}

// A handle left from a main window destroyed before (a test starts the
// window again in the same process) is no pane of this one.
bool IsPaneOf(HWND window, HWND pane) { return pane && IsChild(window, pane); }

void PlacePanes(HWND window)
{
    const PaneLayout layout = ComputeLayout(window);
    if (IsPaneOf(window, SourcePane))
        SetWindowPos(SourcePane, nullptr, layout.left, layout.top, layout.width, layout.height, SWP_NOZORDER);
    if (IsPaneOf(window, ResultPane))
        SetWindowPos(ResultPane, nullptr, layout.left, layout.top + layout.height, layout.width, layout.height,
                     SWP_NOZORDER);
}

void DestroyPanes(HWND window)
{
    for (HWND* pane : {&SourcePane, &ResultPane}) {
        if (IsPaneOf(window, *pane))
            DestroyWindow(*pane);
        *pane = nullptr;
    }
}

// Unicode controls: the text they show is read in a Cyrillic code page,
// which the system's own may not be.
HWND CreatePane(HWND window, int id, int x, int y, int width, int height)
{
    return CreateWindowExW(0, L"EDIT", L"", PaneStyle, x, y, width, height, window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance, nullptr);
}

// Both panes or neither.
bool CreatePanes(HWND window)
{
    const PaneLayout layout = ComputeLayout(window);
    SourcePane = CreatePane(window, IDC_SOURCE_PANE, layout.left, layout.top, layout.width, layout.height);
    ResultPane = CreatePane(window, IDC_RESULT_PANE, layout.left, layout.top + layout.height, layout.width,
                            layout.height);
    if (SourcePane && ResultPane)
        return true;
    DestroyPanes(window);
    return false;
}

void SetOuterSize(HWND window, int width, int height)
{
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

void SetPreviewBit(DWORD bit, int on)
{
    Settings.Parameters = on ? Settings.Parameters | bit : Settings.Parameters & ~bit;
}

// Without panes there is no preview: the bit, the check mark and the
// window's size say so, and the program goes on without it.
void GiveUpPreview(HWND window)
{
    SetPreviewBit(ParamPreview, 0);
    CheckMenuItem(GetSystemMenu(window, FALSE), IDM_PREVIEW, MF_BYCOMMAND | MF_UNCHECKED);
    SetOuterSize(window, Settings.FixedWidth, Settings.FixedHeight);
}

} // namespace

void ShowPreview(HWND window, int show)
{
    DestroyPanes(window);
    if (!show) {
        // W and H keep the last size the window had with the preview.
        SetOuterSize(window, Settings.FixedWidth, Settings.FixedHeight);
        return;
    }
    // W and H are 96-DPI values: the window has the same size on every
    // screen, in pixels of that screen's scale.
    if (Settings.H == 0)
        Settings.H = ToStored(Settings.FixedHeight, WindowDpi) + FirstPreviewHeight;
    if (Settings.W == 0)
        Settings.W = ToStored(Settings.FixedWidth, WindowDpi);
    SetOuterSize(window, ToScreen(Settings.W, WindowDpi), ToScreen(Settings.H, WindowDpi));
    if (!CreatePanes(window)) {
        GiveUpPreview(window);
        return;
    }
    ForgetPreviewSource();
    MakeDefaultPreviewFont();
    SetPaneFonts();
    SendMessageA(SourcePane, EM_LIMITTEXT, SourceTextSize, 0);
    SendMessageA(ResultPane, EM_LIMITTEXT, ResultTextSize, 0);
    RefreshPreview(window, 1);
}

void OnSize(HWND window, int sizeType, int width, int height)
{
    // The toolbars lay themselves out along the new client area.
    SendMessageA(CommandBar, WM_SIZE, width, height);
    SendMessageA(CodePageBar, WM_SIZE, width, height);
    if (!(Settings.Parameters & ParamPreview))
        return;
    PlacePanes(window);
    // The sizes the window passes through while it is created are not the
    // user's, and neither is the little one of a minimized window: W and H
    // stay as they were.
    if (Initializing || sizeType == SIZE_MINIMIZED)
        return;
    RECT frame;
    GetWindowRect(window, &frame);
    Settings.W = ToStored(frame.right - frame.left, WindowDpi);
    Settings.H = ToStored(Height(frame), WindowDpi);
}

void OnPreviewItem(HWND window)
{
    const int shown = ToggleMenuCheck(GetSystemMenu(window, FALSE), IDM_PREVIEW);
    SetPreviewBit(ParamPreview, shown);
    ShowPreview(window, shown);
}

void OnPreviewCp1251Item(HWND window)
{
    SetPreviewBit(ParamPreviewCp1251, ToggleMenuCheck(GetSystemMenu(window, FALSE), IDM_PREVIEW_CP1251));
    RefreshPreview(window, 1);
}
