// Which viewer F1 opens in tarvo.exe, beside which both help files lie, on
// each kind of system Wine can pretend to be for it. The program asks for
// the system's version and loads hhctrl.ocx itself when it starts, so each
// kind needs a process of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "program_test_support.h"
#include "started_tarvo.h"

namespace {

const char AppDefaults[] = "Software\\Wine\\AppDefaults\\tarvo.exe";
const char DllOverrides[] = "Software\\Wine\\AppDefaults\\tarvo.exe\\DllOverrides";

struct System {
    const char* version;  // as Wine names it
    bool withoutHtmlHelp;
    const char* viewerClass;
};

void SetString(const char* key, const char* name, const char* value)
{
    HKEY opened;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), lstrlenA(value) + 1);
    RegCloseKey(opened);
}

// Wine's settings for tarvo.exe alone, while they are needed.
struct PretendedSystem {
    explicit PretendedSystem(const System& system)
    {
        SetString(AppDefaults, "Version", system.version);
        if (system.withoutHtmlHelp)
            SetString(DllOverrides, "hhctrl.ocx", "");  // "": never loaded
    }
    ~PretendedSystem()
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, DllOverrides);
        RegDeleteKeyA(HKEY_CURRENT_USER, AppDefaults);
    }
};

// A WinHelp that a failing row leaves open is closed before the next.
struct ClosingWinHelp {
    ~ClosingWinHelp()
    {
        if (HWND winHelp = FindWindowA("MS_WINHELP", nullptr))
            PostMessageA(winHelp, WM_CLOSE, 0, 0);
    }
};

TEST(HelpViewer, F1OpensTheHelpTheSystemCanShowAndClosingTarvoClosesIt)
{
    const System systems[] = {
        {"winxp", false, "MS_WINHELP"},  // WinHelp: tarvo.hlp as ever
        {"win7", false, "HH Parent"},    // no WinHelp: tarvo.chm
        {"win7", true, "MS_WINHELP"},    // nor hhctrl.ocx: Tarvo starts, and tries WinHelp
    };
    DeleteTarvoKey();
    for (const System& system : systems) {
        SCOPED_TRACE(std::string(system.version) + (system.withoutHtmlHelp ? " without hhctrl.ocx" : ""));
        PretendedSystem pretended(system);
        ClosingWinHelp closing;
        Started tarvo;
        HWND window = nullptr;
        ASSERT_TRUE(StartUp(WindowsPath(TARVO_EXE), tarvo, window));
        PostMessageA(window, WM_KEYDOWN, VK_F1, 0);
        EXPECT_TRUE(WaitFor([&] { return FindWindowA(system.viewerClass, nullptr) != nullptr; }));
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(tarvo.ExitCode(), 0u);
        EXPECT_TRUE(WaitFor([&] { return FindWindowA(system.viewerClass, nullptr) == nullptr; }));
    }
    DeleteTarvoKey();
}

// The viewer's page is a rich edit control, 1793, among its children.
BOOL CALLBACK FindPage(HWND child, LPARAM found)
{
    if (GetDlgCtrlID(child) != 1793)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

std::string PageText()
{
    HWND viewer = FindWindowA("MS_WINHELP", nullptr), page = nullptr;
    if (viewer)
        EnumChildWindows(viewer, FindPage, reinterpret_cast<LPARAM>(&page));
    char text[4096] = "";
    DWORD_PTR ignored = 0;
    if (page)
        SendMessageTimeoutA(page, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                            WaitBudgetMs, &ignored);
    return text;
}

// tarvo.exe and tarvo.hlp copied into a folder named in Cyrillic, on a
// system whose ANSI code page has no Cyrillic letters.
class CyrillicFolder {
public:
    CyrillicFolder()
    {
        wchar_t temporary[MAX_PATH];
        GetTempPathW(MAX_PATH, temporary);
        folder_ = std::wstring(temporary) + L"Программы-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder_.c_str(), nullptr);
        const std::string built = WindowsPath(TARVO_EXE);
        const std::wstring exe(built.begin(), built.end());
        const std::wstring hlp = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"tarvo.hlp";
        CopyFileW(exe.c_str(), Exe().c_str(), FALSE);
        CopyFileW(hlp.c_str(), (folder_ + L"\\tarvo.hlp").c_str(), FALSE);
    }
    ~CyrillicFolder()
    {
        for (const wchar_t* name : {L"\\tarvo.exe", L"\\tarvo.hlp"})
            DeleteFileW((folder_ + name).c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    std::wstring Exe() const { return folder_ + L"\\tarvo.exe"; }

private:
    std::wstring folder_;
};

TEST(HelpViewer, F1OpensWinHelpFromAFolderWhoseNameTheAnsiCodePageCannotHold)
{
    BOOL lost = FALSE;
    char ansi[16];
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, L"Программы", -1, ansi, sizeof ansi, nullptr, &lost);
    ASSERT_TRUE(lost) << "runs on a Western system";
    DeleteTarvoKey();
    const CyrillicFolder folder;
    PretendedSystem pretended(System{"winxp", false, "MS_WINHELP"});
    ClosingWinHelp closing;
    Started tarvo;
    ASSERT_TRUE(tarvo.Start(L"\"" + folder.Exe() + L"\""));
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = TarvoWindow()) != nullptr && IsWindowVisible(window); }));
    PostMessageA(window, WM_KEYDOWN, VK_F1, 0);
    ASSERT_TRUE(WaitFor([] { return PageText().find("code page") != std::string::npos; })) << PageText();
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(tarvo.ExitCode(), 0u);
    EXPECT_TRUE(WaitFor([] { return FindWindowA("MS_WINHELP", nullptr) == nullptr; }));
    DeleteTarvoKey();
}

} // namespace
