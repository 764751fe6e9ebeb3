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

} // namespace
