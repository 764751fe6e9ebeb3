// tarvo.exe as a user runs it: started as its own process, driven from this
// one through its window, its dialogs and its registry.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "program_test_support.h"
#include "resource_ids.h"
#include "settings.h"

namespace {

// The build gives tarvo.exe's path as the host sees it; Wine shows the
// host's root as drive Z:.
std::string TarvoExe()
{
    std::string path = TARVO_EXE;
    if (!path.empty() && path[0] == '/') {
        for (char& c : path)
            if (c == '/')
                c = '\\';
        path = "Z:" + path;
    }
    return path;
}

struct Started {
    HANDLE process = nullptr;
    DWORD id = 0;
};

Started StartProcess()
{
    std::string command = "\"" + TarvoExe() + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    Started started;
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        started.process = info.hProcess;
        started.id = info.dwProcessId;
    }
    return started;
}

// Waits for something to become true, giving up after about five seconds.
template <typename Condition>
bool WaitFor(Condition condition, DWORD milliseconds = 5000)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(20);
    }
    return true;
}

HWND TarvoWindow() { return FindWindowA("Tarvo", nullptr); }

// Shown only once it is fully created.
bool TarvoIsUp()
{
    HWND window = TarvoWindow();
    return window && IsWindowVisible(window);
}

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
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
    HWND box = GetDlgItem(dialog, 1148);
    ASSERT_TRUE(box);
    Send(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    PressButton(dialog, IDOK);
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

DWORD ExitCode(HANDLE process)
{
    WaitForSingleObject(process, 10000);
    DWORD code = 999;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}

TEST(EndToEnd, ConvertsAFileKeepsItsSettingsAndRunsOnlyOnce)
{
    DeleteTarvoKey();
    TempFolder folder;
    const std::string input = folder.File("letter.txt"), output = folder.File("letter-1251.txt");
    WriteBytes(input, "\xE1\xC2\xD7\n\xF1\xC1\n");  // KOI8-R "Абв", "Яа" with LF line ends

    Started tarvo = StartProcess();
    ASSERT_TRUE(tarvo.process) << TarvoExe();
    ASSERT_TRUE(WaitFor(TarvoIsUp));
    HWND window = TarvoWindow();
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
    EXPECT_EQ(ExitCode(second.process), 0u);
    EXPECT_EQ(TarvoWindow(), window);

    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(ExitCode(tarvo.process), 0u);
    EXPECT_FALSE(TarvoWindow());

    // Exchanged: cp866 on the left is now the destination.
    const DWORD parameters = StoredDword("Parameters");
    EXPECT_EQ(parameters & 0xFF, 0x04u);
    EXPECT_TRUE(parameters & ParamExchanged);
    EXPECT_TRUE(parameters & ParamConvertNewlines);
    EXPECT_EQ(StoredString("SrcPath"), folder.Path());
    EXPECT_EQ(StoredString("DstPath"), folder.Path());

    // Started again, it shows what it had.
    Started again = StartProcess();
    ASSERT_TRUE(again.process);
    ASSERT_TRUE(WaitFor(TarvoIsUp));
    window = TarvoWindow();
    codePageBar = GetDlgItem(window, IDC_CODEPAGEBAR);
    EXPECT_EQ(Send(codePageBar, TB_GETBITMAP, IDM_SOURCE_CODEPAGE), 4);
    EXPECT_EQ(Send(codePageBar, TB_GETBITMAP, IDM_DESTINATION_CODEPAGE), 0);
    EXPECT_EQ(Send(codePageBar, TB_GETBITMAP, IDM_EXCHANGE), IMAGE_ARROW_LEFT);
    EXPECT_TRUE(Send(GetDlgItem(window, IDC_COMMANDBAR), TB_ISBUTTONCHECKED, IDM_CONVERT_NEWLINES));
    PostMessageA(window, WM_CLOSE, 0, 0);  // the title bar's close runs the same exit
    EXPECT_EQ(ExitCode(again.process), 0u);
    EXPECT_EQ(StoredDword("Parameters"), parameters);
    DeleteTarvoKey();
}

} // namespace
