// tarvo.exe as its manifest makes it: Common Controls 6, and drawn for the
// screen's scale. The tests of the linked modules run without the manifest
// and see the old controls; this one starts the program itself.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <string>
#include <vector>

#include "program_test_support.h"
#include "resource_ids.h"
#include "settings.h"
#include "started_tarvo.h"

namespace {

const char DesktopKey[] = "Control Panel\\Desktop";

// The screen's DPI as Wine reads it when a program starts, set for the
// owner's life; the value before, or its absence, comes back on every path.
class ScreenDpi {
public:
    explicit ScreenDpi(DWORD dpi)
    {
        DWORD size = sizeof before_;
        had_ = RegGetValueA(HKEY_CURRENT_USER, DesktopKey, "LogPixels", RRF_RT_REG_DWORD, nullptr, &before_,
                            &size) == ERROR_SUCCESS;
        Set(&dpi);
    }
    ~ScreenDpi() { Set(had_ ? &before_ : nullptr); }
    ScreenDpi(const ScreenDpi&) = delete;
    ScreenDpi& operator=(const ScreenDpi&) = delete;

private:
    static void Set(const DWORD* dpi)
    {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, DesktopKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr))
            return;
        if (dpi)
            RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(dpi), sizeof *dpi);
        else
            RegDeleteValueA(key, "LogPixels");
        RegCloseKey(key);
    }
    DWORD before_ = 0;
    bool had_ = false;
};

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, WaitBudgetMs, &result);
    return static_cast<LRESULT>(result);
}

void StoreDword(HKEY key, const char* name, DWORD value)
{
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

DWORD StoredDword(const char* name)
{
    DWORD value = 0, size = sizeof value;
    RegGetValueA(HKEY_CURRENT_USER, SettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

// Where the comctl32.dll that the program's process loaded lies.
std::string CommonControlsOf(HANDLE process)
{
    HMODULE modules[256];
    DWORD size = 0;
    if (!EnumProcessModules(process, modules, sizeof modules, &size))
        return "";
    for (DWORD n = 0; n < size / sizeof modules[0] && n < 256; ++n) {
        char path[MAX_PATH] = "";
        GetModuleFileNameExA(process, modules[n], path, sizeof path);
        std::string lower = path;
        for (char& c : lower)
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        if (lower.size() >= 12 && lower.compare(lower.size() - 12, 12, "comctl32.dll") == 0)
            return lower;
    }
    return "";
}

// A toolbar's item rectangle, asked in the program's own memory.
RECT ItemRect(HANDLE process, HWND toolbar, int position)
{
    RECT rect = {};
    void* remote = VirtualAllocEx(process, nullptr, sizeof rect, MEM_COMMIT, PAGE_READWRITE);
    if (!remote)
        return rect;
    Send(toolbar, TB_GETITEMRECT, position, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return rect;
}

// The side of a toolbar's pictures: its buttons are the pictures and the
// padding around them, 7 x 6 pixels at 100 % and in proportion.
int PictureSide(HWND toolbar, int dpi)
{
    const LRESULT button = Send(toolbar, TB_GETBUTTONSIZE);
    const int paddingX = MulDiv(7, dpi, 96), paddingY = MulDiv(6, dpi, 96);
    EXPECT_EQ(LOWORD(button) - paddingX, HIWORD(button) - paddingY) << "square pictures";
    return LOWORD(button) - paddingX;
}

RECT ScreenRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

struct Scale {
    int dpi;
    int multiple;  // of the pictures drawn for 96 DPI
};

// The preview font kept in the registry: 16 pixels high on a screen at 100 %.
std::vector<BYTE> StoredFont()
{
    LOGFONTA font = {};
    font.lfHeight = -16;
    lstrcpynA(font.lfFaceName, "Tahoma", LF_FACESIZE);
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&font);
    return std::vector<BYTE>(bytes, bytes + sizeof font);
}

// How far apart the pane draws its lines, asked across processes.
int LineHeight(HWND pane)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(pane, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("a\r\nb"), SMTO_ABORTIFHUNG, WaitBudgetMs,
                        &ignored);
    return HIWORD(Send(pane, EM_POSFROMCHAR, 3)) - HIWORD(Send(pane, EM_POSFROMCHAR, 0));
}

TEST(ScreenScale, AtEveryScaleTheWindowIsInProportionNothingIsClippedAndTheSettingsStayAsStored)
{
    // The preview shown, at 40, 40 and 500 x 330 in the 96-DPI values the
    // registry keeps, and its font.
    const int x = 40, y = 40, width = 500, height = 330;
    const std::vector<BYTE> font = StoredFont();
    int lineHeightAt96 = 0;
    for (const Scale scale : {Scale{96, 1}, Scale{144, 2}, Scale{192, 2}}) {
        SCOPED_TRACE(scale.dpi);
        DeleteTarvoKey();
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        StoreDword(key, "Parameters", DefaultParameters | ParamPreview);
        const struct {
            const char* name;
            int value;
        } values[] = {{"X", x}, {"Y", y}, {"W", width}, {"H", height}};
        for (const auto& value : values)
            StoreDword(key, value.name, value.value);
        RegSetValueExA(key, "PreviewFont", 0, REG_BINARY, font.data(), static_cast<DWORD>(font.size()));
        RegCloseKey(key);

        Started tarvo;
        HWND window;
        {
            ScreenDpi screen(scale.dpi);
            ASSERT_TRUE(StartUp(WindowsPath(TARVO_EXE), tarvo, window));
        }
        HWND commandBar = GetDlgItem(window, IDC_COMMANDBAR), codePageBar = GetDlgItem(window, IDC_CODEPAGEBAR);
        HWND source = GetDlgItem(window, IDC_SOURCE_PANE), result = GetDlgItem(window, IDC_RESULT_PANE);
        ASSERT_TRUE(source && result);

        // The manifest's Common Controls 6, with the bars' behaviour of the
        // old ones: drop-down arrows, tooltips, check buttons.
        const std::string commonControls = CommonControlsOf(tarvo.process);
        EXPECT_NE(commonControls.find("common-controls_6595b64144ccf1df_6."), std::string::npos) << commonControls;
        EXPECT_TRUE(Send(codePageBar, TB_GETEXTENDEDSTYLE) & TBSTYLE_EX_DRAWDDARROWS);
        EXPECT_TRUE(IsWindow(reinterpret_cast<HWND>(Send(commandBar, TB_GETTOOLTIPS))));
        EXPECT_TRUE(Send(commandBar, TB_ISBUTTONCHECKED, IDM_AUTO_CONVERT));

        // Pictures enlarged by whole multiples only.
        EXPECT_EQ(PictureSide(commandBar, scale.dpi), 16 * scale.multiple);
        EXPECT_EQ(PictureSide(codePageBar, scale.dpi), 32 * scale.multiple);

        // The place and size from the stored values.
        const RECT frame = ScreenRect(window);
        EXPECT_EQ(frame.left, MulDiv(x, scale.dpi, 96));
        EXPECT_EQ(frame.top, MulDiv(y, scale.dpi, 96));
        EXPECT_EQ(frame.right - frame.left, MulDiv(width, scale.dpi, 96));
        EXPECT_EQ(frame.bottom - frame.top, MulDiv(height, scale.dpi, 96));

        // Nothing clipped: every button inside the client area, the bars as
        // high as their buttons, the panes as wide as the window and as high
        // as each other between the bars.
        RECT client;
        GetClientRect(window, &client);
        EXPECT_LE(ItemRect(tarvo.process, commandBar, 7).right, client.right);
        EXPECT_LE(ItemRect(tarvo.process, codePageBar, 4).right, client.right);
        const RECT command = ScreenRect(commandBar), codePage = ScreenRect(codePageBar);
        EXPECT_GE(command.bottom - command.top, HIWORD(Send(commandBar, TB_GETBUTTONSIZE)));
        EXPECT_GE(codePage.bottom - codePage.top, HIWORD(Send(codePageBar, TB_GETBUTTONSIZE)));
        const RECT upper = ScreenRect(source), lower = ScreenRect(result);
        EXPECT_EQ(upper.right - upper.left, client.right);
        EXPECT_EQ(lower.right - lower.left, client.right);
        EXPECT_EQ(upper.top, command.bottom);
        EXPECT_EQ(lower.top, upper.bottom);
        EXPECT_EQ(lower.bottom - lower.top, upper.bottom - upper.top);
        POINT clientBottom = {0, client.bottom};
        ClientToScreen(window, &clientBottom);
        EXPECT_LE(codePage.top + ItemRect(tarvo.process, codePageBar, 0).bottom, clientBottom.y);

        // The text as large to the eye as at 100 %.
        if (scale.dpi == 96)
            lineHeightAt96 = LineHeight(source);
        EXPECT_NEAR(LineHeight(source), MulDiv(lineHeightAt96, scale.dpi, 96), 2);

        // At exit the same values go back, whatever the scale.
        PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
        ASSERT_EQ(tarvo.ExitCode(), 0u);
        EXPECT_EQ(StoredDword("X"), static_cast<DWORD>(x));
        EXPECT_EQ(StoredDword("Y"), static_cast<DWORD>(y));
        EXPECT_EQ(StoredDword("W"), static_cast<DWORD>(width));
        EXPECT_EQ(StoredDword("H"), static_cast<DWORD>(height));
        std::vector<BYTE> stored(font.size() + 1);
        DWORD size = static_cast<DWORD>(stored.size());
        RegGetValueA(HKEY_CURRENT_USER, SettingsKey, "PreviewFont", RRF_RT_REG_BINARY, nullptr, stored.data(), &size);
        stored.resize(size);
        EXPECT_TRUE(stored == font) << "the font as stored";
    }
    DeleteTarvoKey();
}

RECT PrimaryWorkArea()
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return monitor.rcWork;
}

// The window at its first start at 100 %, then started at 200 %, twice:
// its place, kept in 96-DPI pixels, is the screen's corner there.
TEST(ScreenScale, APlaceKeptAt100PercentComesBackOnTheScreenAt200PercentAtTwiceTheSize)
{
    DeleteTarvoKey();
    int widthAt96 = 0;
    for (const int dpi : {96, 192, 192}) {
        SCOPED_TRACE(dpi);
        Started tarvo;
        HWND window;
        {
            ScreenDpi screen(dpi);
            ASSERT_TRUE(StartUp(WindowsPath(TARVO_EXE), tarvo, window));
        }
        // On the screen, to the pixel that a 96-DPI value rounds away at 200 %.
        const RECT frame = ScreenRect(window);
        RECT workArea = PrimaryWorkArea(), inside;
        InflateRect(&workArea, 1, 1);
        IntersectRect(&inside, &frame, &workArea);
        EXPECT_TRUE(EqualRect(&inside, &frame)) << frame.left << "," << frame.top;
        if (dpi == 96)
            widthAt96 = frame.right - frame.left;
        EXPECT_NEAR(frame.right - frame.left, MulDiv(widthAt96, dpi, 96), widthAt96 / 10);
        PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
        ASSERT_EQ(tarvo.ExitCode(), 0u);
    }
    DeleteTarvoKey();
}

// What a manifest gives a program, read as the system's loader reads it.
struct ManifestSettings {
    const char* exe;
    int supportedSystems;     // Windows 7, 8, 8.1, 10 and 11
    const wchar_t* dpiAware;  // "" where it has none
    const wchar_t* dpiAwareness;
};

std::wstring ActivationSetting(HANDLE context, const wchar_t* space, const wchar_t* name)
{
    typedef BOOL(WINAPI * QuerySettings)(DWORD, HANDLE, const wchar_t*, const wchar_t*, wchar_t*, SIZE_T, SIZE_T*);
    auto query = reinterpret_cast<QuerySettings>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryActCtxSettingsW")));
    wchar_t value[128] = L"";
    SIZE_T written = 0;
    if (!query || !query(0, context, space, name, value, 128, &written))
        return L"";
    return value;
}

TEST(ScreenScale, BothProgramsCarryAManifestTheSystemAccepts)
{
    for (const ManifestSettings expected : {ManifestSettings{TARVO_EXE, 4, L"true/pm", L"PerMonitorV2, PerMonitor"},
                                            ManifestSettings{TARVOCONV_EXE, 4, L"", L""}}) {
        SCOPED_TRACE(expected.exe);
        const std::string path = WindowsPath(expected.exe);
        ACTCTXA request = {};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = path.c_str();
        request.lpResourceName = MAKEINTRESOURCEA(1);  // CREATEPROCESS_MANIFEST_RESOURCE_ID
        HANDLE context = CreateActCtxA(&request);
        ASSERT_NE(context, INVALID_HANDLE_VALUE) << GetLastError();

        // The count of systems, then as many entries.
        BYTE compatibility[512] = {};
        SIZE_T size = 0;
        EXPECT_TRUE(QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, compatibility,
                                 sizeof compatibility, &size));
        EXPECT_EQ(*reinterpret_cast<DWORD*>(compatibility), static_cast<DWORD>(expected.supportedSystems));
        EXPECT_EQ(ActivationSetting(context, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
                  expected.dpiAware);
        EXPECT_EQ(ActivationSetting(context, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                                    L"dpiAwareness"),
                  expected.dpiAwareness);
        ReleaseActCtx(context);
    }
}

} // namespace
