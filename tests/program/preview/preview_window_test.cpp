// The preview as part of the window: the panes it grows, the sizes it
// takes and keeps, and its state at start and exit.
#include "preview.h"
#include "preview_test_support.h"
#include "resource_ids.h"
#include "screen_scale.h"
#include "settings.h"

namespace {

DWORD StoredDword(const char* name)
{
    DWORD value = 0, size = sizeof value;
    RegGetValueA(HKEY_CURRENT_USER, SettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

void StoreDword(const char* name, DWORD value)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

int Height(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

// A pane's place in the main window's client area.
RECT PlaceOf(HWND pane)
{
    RECT rect;
    GetWindowRect(pane, &rect);
    MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Refuses the creation of the result pane, as a system out of resources
// would.
LRESULT CALLBACK RefuseResultPane(int code, WPARAM window, LPARAM parameter)
{
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(parameter)->lpcs;
        if (create->hMenu == reinterpret_cast<HMENU>(IDC_RESULT_PANE))
            return 1;
    }
    return CallNextHookEx(nullptr, code, window, parameter);
}

using PreviewWindowTest = PreviewTest;

TEST_F(PreviewWindowTest, FirstShowingGrowsTwoReadOnlyPanesInTheIconTitleFontAndSavesThem)
{
    const SIZE fixed = OuterSize(MainWindow);
    SystemCommand(IDM_PREVIEW);
    EXPECT_TRUE(SystemMenuChecked(IDM_PREVIEW));
    EXPECT_TRUE(Settings.Parameters & ParamPreview);
    const SIZE shown = OuterSize(MainWindow);
    EXPECT_EQ(shown.cx, fixed.cx);
    EXPECT_EQ(shown.cy, fixed.cy + 200);

    ASSERT_TRUE(SourcePane && ResultPane);
    EXPECT_EQ(GetDlgItem(MainWindow, IDC_SOURCE_PANE), SourcePane);
    EXPECT_EQ(GetDlgItem(MainWindow, IDC_RESULT_PANE), ResultPane);
    for (HWND pane : {SourcePane, ResultPane}) {
        char className[16] = "";
        GetClassNameA(pane, className, sizeof className);
        EXPECT_STRCASEEQ(className, "EDIT");
        // The edit control draws the border itself and takes WS_BORDER off.
        const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY;
        EXPECT_EQ(GetWindowLongA(pane, GWL_STYLE) & style, style);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(pane, WM_GETFONT, 0, 0)), PreviewFont);
    }
    EXPECT_EQ(SendMessageA(SourcePane, EM_GETLIMITTEXT, 0, 0), 2048);
    EXPECT_GE(SendMessageA(ResultPane, EM_GETLIMITTEXT, 0, 0), 4095) << "room for 4094 bytes";
    ASSERT_TRUE(PreviewFont);
    EXPECT_TRUE(SameFont(PreviewFontDescription, IconTitleFont()));

    StopTarvo();
    EXPECT_EQ(StoredDword("W"), static_cast<DWORD>(fixed.cx));
    EXPECT_EQ(StoredDword("H"), static_cast<DWORD>(fixed.cy + 200));
    EXPECT_TRUE(StoredDword("Parameters") & ParamPreview);
    LOGFONTA saved = {};
    DWORD size = sizeof saved;
    EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, SettingsKey, "PreviewFont", RRF_RT_REG_BINARY, nullptr, &saved, &size),
              ERROR_SUCCESS);
    EXPECT_TRUE(SameFont(saved, IconTitleFont()));
}

TEST_F(PreviewWindowTest, HidingKeepsTheLastSizeWithPreviewForTheNextShowing)
{
    const SIZE fixed = OuterSize(MainWindow);
    SystemCommand(IDM_PREVIEW);
    SetWindowPos(MainWindow, nullptr, 0, 0, fixed.cx + 120, fixed.cy + 260, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(Settings.W, fixed.cx + 120);
    EXPECT_EQ(Settings.H, fixed.cy + 260);

    SystemCommand(IDM_PREVIEW);
    EXPECT_FALSE(SystemMenuChecked(IDM_PREVIEW));
    EXPECT_FALSE(Settings.Parameters & ParamPreview);
    EXPECT_FALSE(SourcePane || ResultPane);
    EXPECT_FALSE(GetDlgItem(MainWindow, IDC_SOURCE_PANE) || GetDlgItem(MainWindow, IDC_RESULT_PANE));
    EXPECT_EQ(OuterSize(MainWindow).cx, fixed.cx);
    EXPECT_EQ(OuterSize(MainWindow).cy, fixed.cy);
    EXPECT_EQ(Settings.W, fixed.cx + 120);
    // Hidden, a change of code page has nothing to refresh.
    Command(IDM_DESTINATION_FIRST + 3);
    EXPECT_FALSE(GetDlgItem(MainWindow, IDC_RESULT_PANE));

    SystemCommand(IDM_PREVIEW);
    EXPECT_EQ(OuterSize(MainWindow).cx, fixed.cx + 120);
    EXPECT_EQ(OuterSize(MainWindow).cy, fixed.cy + 260);
}

TEST_F(PreviewWindowTest, WithoutBothPanesThereIsNoPreviewAndTheProgramGoesOn)
{
    const SIZE fixed = OuterSize(MainWindow);
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseResultPane, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    SystemCommand(IDM_PREVIEW);
    UnhookWindowsHookEx(hook);
    EXPECT_FALSE(SourcePane || ResultPane);
    EXPECT_FALSE(GetDlgItem(MainWindow, IDC_SOURCE_PANE)) << "no half of the preview is left";
    EXPECT_FALSE(Settings.Parameters & ParamPreview);
    EXPECT_FALSE(SystemMenuChecked(IDM_PREVIEW));
    EXPECT_EQ(OuterSize(MainWindow).cy, fixed.cy);
    Command(IDM_DESTINATION_FIRST);

    SystemCommand(IDM_PREVIEW);
    EXPECT_TRUE(SourcePane && ResultPane);
    EXPECT_TRUE(SystemMenuChecked(IDM_PREVIEW));
}

TEST_F(PreviewWindowTest, PanesShareTheRoomBetweenTheToolbarsAndAnOddRowStaysUncovered)
{
    SystemCommand(IDM_PREVIEW);
    const SIZE start = OuterSize(MainWindow);
    for (int extra : {40, 41}) {
        SetWindowPos(MainWindow, nullptr, 0, 0, start.cx + extra, start.cy + extra, SWP_NOMOVE | SWP_NOZORDER);
        RECT client;
        GetClientRect(MainWindow, &client);
        const int top = Height(CommandBar), bottom = client.bottom - Height(CodePageBar);
        const RECT source = PlaceOf(SourcePane), result = PlaceOf(ResultPane);
        EXPECT_EQ(source.top, top);
        EXPECT_EQ(source.bottom, result.top);
        EXPECT_EQ(source.bottom - source.top, result.bottom - result.top);
        EXPECT_EQ(result.bottom, bottom - (bottom - top) % 2) << "client height " << client.bottom;
        for (const RECT& pane : {source, result}) {
            EXPECT_EQ(pane.left, 0);
            EXPECT_EQ(pane.right, client.right);
        }
    }
}

TEST_F(PreviewWindowTest, StoredPreviewComesBackAtStartInTheStoredSize)
{
    const SIZE fixed = OuterSize(MainWindow);
    StopTarvo();
    const SIZE stored = {fixed.cx + 90, fixed.cy + 310};
    StoreDword("Parameters", (DefaultParameters & ~ParamAutoConvert) | ParamPreview);
    StoreDword("W", stored.cx);
    StoreDword("H", stored.cy);
    PutClipboardText("clipboard at start");

    ASSERT_TRUE(StartTarvo());
    EXPECT_TRUE(SystemMenuChecked(IDM_PREVIEW));
    ASSERT_TRUE(SourcePane && ResultPane);
    EXPECT_TRUE(PaneText(SourcePane) == L"clipboard at start");
    // The window passes through its fixed size while it is created: that
    // size must not be taken for the user's.
    EXPECT_EQ(OuterSize(MainWindow).cx, stored.cx);
    EXPECT_EQ(OuterSize(MainWindow).cy, stored.cy);
    EXPECT_EQ(Settings.W, stored.cx);
    EXPECT_EQ(Settings.H, stored.cy);
    StopTarvo();
    EXPECT_EQ(StoredDword("W"), static_cast<DWORD>(stored.cx));
    EXPECT_EQ(StoredDword("H"), static_cast<DWORD>(stored.cy));
}

// The side of the pictures in a toolbar's image list.
int PictureSide(HWND toolbar)
{
    int width = 0, height = 0;
    ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageA(toolbar, TB_GETIMAGELIST, 0, 0)), &width,
                          &height);
    EXPECT_EQ(width, height);
    return width;
}

LONG PaneFontHeight()
{
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(SourcePane, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

TEST_F(PreviewWindowTest, OnAScreenOfAnotherScaleTheWindowIsDrawnAnewAndKeepsItsStoredSize)
{
    SystemCommand(IDM_PREVIEW);
    SetWindowPos(MainWindow, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    const SIZE start = OuterSize(MainWindow);
    const LONG fontHeight = PaneFontHeight();
    const LRESULT commandButton = SendMessageA(CommandBar, TB_GETBUTTONSIZE, 0, 0);
    ASSERT_EQ(Settings.W, 400);

    // To larger scales and back, through one whole multiple and another.
    const struct {
        int dpi;
        int multiple;
    } scales[] = {{120, 1}, {144, 2}, {192, 2}, {240, 3}, {144, 2}, {96, 1}};
    for (const auto& scale : scales) {
        SCOPED_TRACE(scale.dpi);
        RECT suggested = {30, 40, 31, 41};  // the place counts; the size is the program's own
        SendMessageA(MainWindow, WM_DPICHANGED, MAKEWPARAM(scale.dpi, scale.dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ(PictureSide(CommandBar), 16 * scale.multiple);
        EXPECT_EQ(PictureSide(CodePageBar), 32 * scale.multiple);
        RECT frame;
        GetWindowRect(MainWindow, &frame);
        EXPECT_EQ(frame.left, 30);
        EXPECT_EQ(frame.top, 40);
        EXPECT_EQ(frame.right - frame.left, MulDiv(400, scale.dpi, 96));
        EXPECT_EQ(frame.bottom - frame.top, MulDiv(300, scale.dpi, 96));
        EXPECT_EQ(Settings.W, 400);
        EXPECT_EQ(Settings.H, 300);
        EXPECT_EQ(PaneFontHeight(), MulDiv(fontHeight, scale.dpi, 96));
        EXPECT_EQ(PlaceOf(SourcePane).top, Height(CommandBar)) << "the panes follow the bars";
    }
    // Back at 96 DPI, all is as it was: the buttons shrink with the pictures.
    EXPECT_EQ(SendMessageA(CommandBar, TB_GETBUTTONSIZE, 0, 0), commandButton);
    EXPECT_EQ(OuterSize(MainWindow).cx, start.cx);
    EXPECT_EQ(OuterSize(MainWindow).cy, start.cy);
}

} // namespace
