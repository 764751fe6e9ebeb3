// tarvo.exe as a user runs it: started as its own process, driven from this
// one through its window, its dialogs and its registry.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "program_test_support.h"
#include "resource_ids.h"
#include "settings.h"
#include "started_tarvo.h"

namespace {

// The build gives tarvo.exe's path as the host sees it.
std::string TarvoExe()
{
    return WindowsPath(TARVO_EXE);
}

Started StartProcess()
{
    return ::StartProcess(TarvoExe());
}

bool StartUp(Started& started, HWND& window)
{
    return ::StartUp(TarvoExe(), started, window);
}

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, WaitBudgetMs, &result);
    return static_cast<LRESULT>(result);
}

HWND WaitForDialog(DWORD process, const char* title)
{
    HWND dialog = nullptr;
    WaitFor([&] {
        for (HWND open : VisibleWindows(process, "#32770")) {
            char text[256] = "";
            GetWindowTextA(open, text, sizeof text);
            if (std::string(text) == title)
                dialog = open;
        }
        return dialog != nullptr;
    });
    return dialog;
}

// Types a file name into an open or save dialog and presses OK.
void ChooseFile(HWND dialog, const std::string& name)
{
    ASSERT_TRUE(GetDlgItem(dialog, 1148));
    EnterFileName(dialog, Wide(name));
}

DWORD StoredDword(const char* name)
{
    DWORD value = 0, size = 4;
    RegGetValueA(HKEY_CURRENT_USER, SettingsKey, name, RRF_RT_ANY, nullptr, &value, &size);
    return value;
}

std::string StoredString(const char* name)
{
    char value[SettingsPathSize] = "";
    DWORD size = sizeof value;
    RegGetValueA(HKEY_CURRENT_USER, SettingsKey, name, RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

TEST(EndToEnd, ConvertsAFileKeepsItsSettingsAndRunsOnlyOnce)
{
    DeleteTarvoKey();
    ClearClipboard();
    TempFolder folder;
    const std::string input = folder.File("letter.txt"), output = folder.File("letter-1251.txt");
    WriteBytes(input, "\xE1\xC2\xD7\n\xF1\xC1\n");  // KOI8-R "Абв", "Яа" with LF line ends

    Started tarvo;
    HWND window;
    ASSERT_TRUE(StartUp(tarvo, window)) << TarvoExe();
    HWND codePageBar = GetDlgItem(window, IDC_CODEPAGEBAR);
    HWND commandBar = GetDlgItem(window, IDC_COMMANDBAR);
    EXPECT_EQ(Send(codePageBar, TB_GETBITMAP, IDM_SOURCE_CODEPAGE), 2) << "first start: KOI8-R";
    EXPECT_EQ(Send(codePageBar, TB_GETBITMAP, IDM_DESTINATION_CODEPAGE), 1);

    // KOI8-R to cp1251 with line ends, to a new file through both dialogs.
    Send(window, WM_COMMAND, IDM_CONVERT_NEWLINES);
    EXPECT_TRUE(Send(commandBar, TB_ISBUTTONCHECKED, IDM_CONVERT_NEWLINES));
    PostMessageA(window, WM_COMMAND, IDM_CONVERT_FILES, 0);
    HWND open = WaitForDialog(tarvo.id, "Open");
    ASSERT_TRUE(open);
    ChooseFile(open, input);
    HWND save = WaitForDialog(tarvo.id, "Save \"letter.txt\" as...");
    ASSERT_TRUE(save);
    ChooseFile(save, output);
    ASSERT_TRUE(WaitFor([&] { return ReadBytes(output).size() == 9; }));
    EXPECT_EQ(ReadBytes(output), "\xC0\xE1\xE2\r\n\xDF\xE0\r\n");

    // Choose other code pages, then start a second copy: it only brings
    // the first to the front and ends.
    Send(window, WM_COMMAND, IDM_SOURCE_FIRST + 0);
    Send(window, WM_COMMAND, IDM_DESTINATION_FIRST + 4);
    Send(window, WM_COMMAND, IDM_EXCHANGE);
    Started second = StartProcess();
    ASSERT_TRUE(second.process);
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(TarvoWindow(), window);

    // Hidden in the tray, a second start brings it back all the same.
    PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(window); }));
    second = StartProcess();
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(window) != FALSE; }));
    EXPECT_FALSE(IsIconic(window));

    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(tarvo.ExitCode(), 0u);
    EXPECT_FALSE(TarvoWindow());

    // Exchanged: cp866 on the left is now the destination.
    const DWORD parameters = StoredDword("Parameters");
    EXPECT_EQ(parameters & 0xFF, 0x04u);
    EXPECT_TRUE(parameters & ParamExchanged);
    EXPECT_TRUE(parameters & ParamConvertNewlines);
    EXPECT_EQ(StoredString("SrcPath"), folder.Path());
    EXPECT_EQ(StoredString("DstPath"), folder.Path());

    // Started again, it shows what it had.
    Started again;
    ASSERT_TRUE(StartUp(again, window)) << TarvoExe();
    codePageBar = GetDlgItem(window, IDC_CODEPAGEBAR);
    EXPECT_EQ(Send(codePageBar, TB_GETBITMAP, IDM_SOURCE_CODEPAGE), 4);
    EXPECT_EQ(Send(codePageBar, TB_GETBITMAP, IDM_DESTINATION_CODEPAGE), 0);
    EXPECT_EQ(Send(codePageBar, TB_GETBITMAP, IDM_EXCHANGE), IMAGE_ARROW_LEFT);
    EXPECT_TRUE(Send(GetDlgItem(window, IDC_COMMANDBAR), TB_ISBUTTONCHECKED, IDM_CONVERT_NEWLINES));
    PostMessageA(window, WM_CLOSE, 0, 0);  // the title bar's close runs the same exit
    EXPECT_EQ(again.ExitCode(), 0u);
    EXPECT_EQ(StoredDword("Parameters"), parameters);
    DeleteTarvoKey();
}

// The Tarvo windows of all processes.
int TarvoWindowCount()
{
    int count = 0;
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "Tarvo", nullptr)) != nullptr;)
        ++count;
    return count;
}

TEST(EndToEnd, TwoStartsAtTheSameMomentMakeOneInstance)
{
    DeleteTarvoKey();
    Started first = StartProcess(), second = StartProcess();
    ASSERT_TRUE(first.process && second.process);
    HANDLE both[] = {first.process, second.process};
    const DWORD ended = WaitForMultipleObjects(2, both, FALSE, WaitBudgetMs);
    ASSERT_LT(ended, WAIT_OBJECT_0 + 2) << "one of them ends, having found the other";
    Started& running = ended == WAIT_OBJECT_0 ? second : first;
    Started& gone = ended == WAIT_OBJECT_0 ? first : second;
    EXPECT_EQ(gone.ExitCode(), 0u);
    ASSERT_TRUE(WaitFor([] { return TarvoWindow() && IsWindowVisible(TarvoWindow()); }));
    EXPECT_EQ(TarvoWindowCount(), 1);
    PostMessageA(TarvoWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(running.ExitCode(), 0u);
    DeleteTarvoKey();
}

std::string Title(HWND window)
{
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    return title;
}

// The percent that the title shows, or -1.
int PercentShown(HWND window)
{
    int percent = -1;
    char rest[16] = "";
    if (std::sscanf(Title(window).c_str(), "%d%% - %15s", &percent, rest) != 2 || std::string(rest) != "Tarvo")
        return -1;
    return percent;
}

// Damaged from here, the window is painted again by its own thread.
bool Repaints(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    return WaitFor([&] { return !GetUpdateRect(window, nullptr, FALSE); });
}

TEST(EndToEnd, AGigabyteFileShowsItsProgressRepaintsAndIsCancelledWithTheInputIntact)
{
    DeleteTarvoKey();
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD parameters = DefaultParameters | ParamOverwriteInput;
    RegSetValueExA(key, "Parameters", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&parameters), 4);
    RegCloseKey(key);
    TempFolder folder;
    const std::string input = folder.File("dump.txt");
    const ULONGLONG size = 1ull << 30;
    const std::string head = "\xF0\xD2\xC9\xD7\xC5\xD4\n", tail = "\xCD\xC9\xD2\n";  // KOI8-R
    WriteLargeFile(input, size, head, tail);

    Started tarvo;
    HWND window;
    ASSERT_TRUE(StartUp(tarvo, window)) << TarvoExe();
    PostMessageA(window, WM_COMMAND, IDM_CONVERT_FILES, 0);
    HWND open = WaitForDialog(tarvo.id, "Open");
    ASSERT_TRUE(open);
    ChooseFile(open, input);

    int first = -1;
    ASSERT_TRUE(WaitFor([&] { return (first = PercentShown(window)) >= 0; })) << Title(window);
    EXPECT_TRUE(WaitFor([&] { return PercentShown(window) > first; })) << "the progress goes on";
    EXPECT_TRUE(Repaints(window));

    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([&] { return Title(window) == "Cancelled - Tarvo"; })) << Title(window);
    EXPECT_TRUE(WaitFor([&] { return folder.Names().size() == 1; })) << "the temporary file goes";
    EXPECT_TRUE(IsLargeFile(input, size, head, tail));
    EXPECT_TRUE(VisibleWindows(tarvo.id, "#32770").empty()) << "no box";

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(tarvo.ExitCode(), 0u);
    DeleteTarvoKey();
}

// Puts text on the clipboard as another program does, from a hidden window
// of this process.
void CopyText(HWND owner, const std::string& text)
{
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

// As a Unicode program (a browser) copies: CF_UNICODETEXT alone.
void CopyUnicode(HWND owner, const std::wstring& text)
{
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    const SIZE_T size = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    memcpy(GlobalLock(block), text.c_str(), size);
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

std::wstring ClipboardUnicode()
{
    std::wstring text;
    if (!WaitFor([] { return OpenClipboard(nullptr) != FALSE; }))
        return text;
    if (HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}

// The text on the clipboard, once the program that fills it has let go.
std::string ClipboardText(DWORD* locale)
{
    std::string text;
    if (!WaitFor([] { return OpenClipboard(nullptr) != FALSE; }))
        return text;
    if (HANDLE block = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(block));
        GlobalUnlock(block);
    }
    if (HANDLE block = GetClipboardData(CF_LOCALE)) {
        *locale = *static_cast<const DWORD*>(GlobalLock(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}

// Waits while handling this thread's messages: Tarvo's EmptyClipboard asks
// the previous owner, a window of this thread, to let go.
template <typename Condition>
bool WaitPumping(Condition condition)
{
    return WaitFor([&] {
        PumpMessages();
        return condition();
    });
}

// A first start: what a new user copies from a browser is readable and stays
// as it is; KOI8-R text is converted.
TEST(EndToEnd, TextThatAnotherProgramCopiesIsConvertedAutomaticallyOnlyWhenItIsNotReadable)
{
    DeleteTarvoKey();
    ClearClipboard();
    Started tarvo;
    HWND window;
    ASSERT_TRUE(StartUp(tarvo, window)) << TarvoExe();

    HWND copier = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    CopyUnicode(copier, L"Привет, мир");
    PumpMessages(300);
    EXPECT_EQ(GetClipboardOwner(), copier) << "left alone";
    EXPECT_TRUE(ClipboardUnicode() == L"Привет, мир");
    CopyText(copier, "\xF0\xD2\xC9\xD7\xC5\xD4");  // KOI8-R "Привет"
    EXPECT_TRUE(WaitPumping([&] { return GetClipboardOwner() == window; }));
    DWORD locale = 0;
    EXPECT_EQ(ClipboardText(&locale), "\xCF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_EQ(locale, 1049u);
    DestroyWindow(copier);

    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(tarvo.ExitCode(), 0u);
    DeleteTarvoKey();
}

TEST(EndToEnd, WithDetectionOnCopiedTextIsConvertedFromItsOwnPageOrLeftAlone)
{
    DeleteTarvoKey();
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD parameters = (DefaultParameters & ~ParamSourceMask) | ParamDetectSource;  // source cp866
    RegSetValueExA(key, "Parameters", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&parameters), 4);
    RegCloseKey(key);
    Started tarvo;
    HWND window;
    ASSERT_TRUE(StartUp(tarvo, window)) << TarvoExe();

    const std::string koi8 = "\xF3\xDF\xC5\xDB\xD8 \xD6\xC5 \xC5\xDD\xA3 \xDC\xD4\xC9\xC8 \xCD\xD1\xC7\xCB\xC9\xC8 "
                             "\xC2\xD5\xCC\xCF\xCB";  // "Съешь же ещё этих мягких булок"
    const std::string cp1251 = "\xD1\xFA\xE5\xF8\xFC \xE6\xE5 \xE5\xF9\xB8 \xFD\xF2\xE8\xF5 \xEC\xFF\xE3\xEA\xE8\xF5 "
                               "\xE1\xF3\xEB\xEE\xEA";
    HWND copier = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    CopyText(copier, koi8);
    EXPECT_TRUE(WaitPumping([&] { return GetClipboardOwner() == window; }));
    DWORD locale = 0;
    EXPECT_EQ(ClipboardText(&locale), cp1251);
    EXPECT_EQ(Send(GetDlgItem(window, IDC_CODEPAGEBAR), TB_GETBITMAP, IDM_SOURCE_CODEPAGE), 2) << "KOI8-R";

    CopyText(copier, cp1251);
    PumpMessages(300);
    EXPECT_EQ(GetClipboardOwner(), copier) << "already cp1251: left alone";
    EXPECT_EQ(ClipboardText(&locale), cp1251);
    DestroyWindow(copier);

    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(tarvo.ExitCode(), 0u);
    EXPECT_TRUE(StoredDword("Parameters") & ParamDetectSource) << "kept at exit";
    DeleteTarvoKey();
}

bool HotKeyTaken(UINT modifiers, UINT key)
{
    HWND probe = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    const bool taken = !RegisterHotKey(probe, 5, modifiers, key);
    if (!taken)
        UnregisterHotKey(probe, 5);
    DestroyWindow(probe);
    return taken;
}

TEST(EndToEnd, EverySettingComesBackAfterARestart)
{
    DeleteTarvoKey();
    Started tarvo;
    HWND window;
    ASSERT_TRUE(StartUp(tarvo, window)) << TarvoExe();

    // Code pages Macintosh to ISO-8859-5, then exchanged; every option
    // switched; every check item of the system menu on.
    for (int command : {IDM_SOURCE_FIRST + 3, IDM_DESTINATION_FIRST + 4, IDM_EXCHANGE, IDM_CONVERT_NEWLINES,
                        IDM_OVERWRITE_INPUT, IDM_AUTO_CONVERT})
        Send(window, WM_COMMAND, command);
    for (UINT item : {IDM_ALWAYS_ON_TOP, IDM_PREVIEW, IDM_PREVIEW_CP1251, IDM_SAME_PATHS})
        Send(window, WM_SYSCOMMAND, item);
    ASSERT_TRUE(GetDlgItem(window, IDC_SOURCE_PANE));
    SetWindowPos(window, nullptr, 0, 0, 520, 420, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // The font dialog, answered with what it offers.
    PostMessageA(window, WM_SYSCOMMAND, IDM_PREVIEW_FONT, 0);
    HWND font = WaitForDialog(tarvo.id, "Font");
    ASSERT_TRUE(font);
    PressButton(font, IDOK);

    // Hot keys Ctrl+Alt+Z and Shift+F5.
    const WORD ctrlAltZ = MAKEWORD('Z', HOTKEYF_CONTROL | HOTKEYF_ALT), shiftF5 = MAKEWORD(VK_F5, HOTKEYF_SHIFT);
    PostMessageA(window, WM_SYSCOMMAND, IDM_HOTKEYS, 0);
    HWND keys = WaitForDialog(tarvo.id, "Tarvo Hot Keys");
    ASSERT_TRUE(keys);
    Send(GetDlgItem(keys, IDC_ACTIVATION_HOTKEY), HKM_SETHOTKEY, ctrlAltZ);
    Send(GetDlgItem(keys, IDC_CLIPBOARD_HOTKEY), HKM_SETHOTKEY, shiftF5);
    PressButton(keys, IDOK);
    ASSERT_TRUE(WaitFor([] { return HotKeyTaken(MOD_SHIFT, VK_F5); }));

    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    ASSERT_EQ(tarvo.ExitCode(), 0u);
    EXPECT_FALSE(HotKeyTaken(MOD_SHIFT, VK_F5)) << "released at exit";

    // The registry, value by value.
    const DWORD expected = 0x34 | 0x100 | ParamAlwaysOnTop | ParamPreview | ParamConvertNewlines |
                           ParamOverwriteInput | ParamExchanged | ParamSavePaths | ParamSamePaths | ParamPreviewCp1251 |
                           ParamDetectSource;
    EXPECT_EQ(StoredDword("Parameters"), expected);
    EXPECT_EQ(StoredDword("W"), 520u);
    EXPECT_EQ(StoredDword("H"), 420u);
    EXPECT_EQ(StoredDword("HotKeys1"), static_cast<DWORD>(MAKELONG(ctrlAltZ, shiftF5)));
    BYTE description[64];
    DWORD size = sizeof description;
    EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, SettingsKey, "PreviewFont", RRF_RT_REG_BINARY, nullptr, description,
                           &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 60u);

    // Started again, all of it is there.
    Started again;
    ASSERT_TRUE(StartUp(again, window)) << TarvoExe();
    HWND codePageBar = GetDlgItem(window, IDC_CODEPAGEBAR), commandBar = GetDlgItem(window, IDC_COMMANDBAR);
    EXPECT_EQ(Send(codePageBar, TB_GETBITMAP, IDM_SOURCE_CODEPAGE), 4);
    EXPECT_EQ(Send(codePageBar, TB_GETBITMAP, IDM_DESTINATION_CODEPAGE), 3);
    EXPECT_EQ(Send(codePageBar, TB_GETBITMAP, IDM_EXCHANGE), IMAGE_ARROW_LEFT);
    EXPECT_TRUE(Send(commandBar, TB_ISBUTTONCHECKED, IDM_CONVERT_NEWLINES));
    EXPECT_TRUE(Send(commandBar, TB_ISBUTTONCHECKED, IDM_OVERWRITE_INPUT));
    EXPECT_FALSE(Send(commandBar, TB_ISBUTTONCHECKED, IDM_AUTO_CONVERT));
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetDlgItem(window, IDC_SOURCE_PANE));
    EXPECT_TRUE(GetDlgItem(window, IDC_RESULT_PANE));
    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.right - frame.left, 520);
    EXPECT_EQ(frame.bottom - frame.top, 420);
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'Z'));
    EXPECT_TRUE(HotKeyTaken(MOD_SHIFT, VK_F5));

    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(again.ExitCode(), 0u);
    EXPECT_EQ(StoredDword("Parameters"), expected);
    DeleteTarvoKey();
}

// Presses keys for real, as X key events, while the X keyboard focus is on
// a window of this process: the X server's keys reach Wine's hot keys only
// through a focused Wine window.
void PressRealKeys(const char* probeTitle, const char* keys)
{
    std::string command = std::string("Z:\\usr\\bin\\xdotool search --name ") + probeTitle +
                          " windowfocus --sync key " + keys + " keyup " + keys;
    ChildProcess xdotool;
    ASSERT_TRUE(xdotool.Start(command));
    xdotool.ExitCode();  // once it has ended, the keys are in the X server's queue
}

TEST(EndToEnd, RealKeysBringTheWindowBackFromTheTrayAndConvertTheClipboard)
{
    DeleteTarvoKey();
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD parameters = DefaultParameters & ~ParamAutoConvert;
    const DWORD hotKeys = MAKELONG(MAKEWORD('Z', HOTKEYF_CONTROL | HOTKEYF_ALT), MAKEWORD(VK_F5, HOTKEYF_SHIFT));
    RegSetValueExA(key, "Parameters", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&parameters), 4);
    RegSetValueExA(key, "HotKeys1", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&hotKeys), 4);
    RegCloseKey(key);

    Started tarvo;
    HWND window;
    ASSERT_TRUE(StartUp(tarvo, window)) << TarvoExe();
    PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(window); }));

    HWND probe = CreateWindowA("STATIC", "TarvoKeyProbe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 80, nullptr,
                               nullptr, nullptr, nullptr);
    PumpMessages(200);
    CopyText(probe, "\xF0\xD2\xC9\xD7\xC5\xD4");
    PressRealKeys("TarvoKeyProbe", "shift+F5");
    EXPECT_TRUE(WaitPumping([&] { return GetClipboardOwner() == window; }));
    DWORD locale = 0;
    EXPECT_EQ(ClipboardText(&locale), "\xCF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_FALSE(IsWindowVisible(window)) << "converted from the tray";

    PressRealKeys("TarvoKeyProbe", "ctrl+alt+z");
    EXPECT_TRUE(WaitPumping([&] { return IsWindowVisible(window) != FALSE; }));
    DestroyWindow(probe);

    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(tarvo.ExitCode(), 0u);
    DeleteTarvoKey();
}

} // namespace
