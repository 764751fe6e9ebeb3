// The installer as a user runs it, silently: it installs for this user
// alone, the installed tarvo.exe converts a file named on its command line
// (as "Send To" and "Open with" start it), and the uninstaller takes away
// everything the installer put there, the settings only when asked.
// TARVO_INSTALLER names the setup program.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "started_tarvo.h"

namespace {

const wchar_t SettingsKey[] = L"Software\\Olvendar\\tarvo";
const wchar_t UninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvo";

std::wstring Widen(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                    static_cast<int>(wide.size())));
    return wide;
}

std::wstring Folder(int csidl)
{
    wchar_t path[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::wstring InstallFolder() { return Folder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Tarvo"; }
std::wstring Installed(const wchar_t* name) { return InstallFolder() + L"\\" + name; }

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool KeyExists(const std::wstring& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

std::wstring StoredText(const std::wstring& key, const wchar_t* name)
{
    wchar_t text[1024] = L"";
    DWORD size = sizeof text;
    RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
}

// Where a shortcut leads, and with which arguments.
std::wstring ShortcutTarget(const std::wstring& link)
{
    std::wstring target;
    IShellLinkW* shortcut = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shortcut))))
        return target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shortcut->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t path[MAX_PATH] = L"";
        if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
            SUCCEEDED(shortcut->GetPath(path, MAX_PATH, nullptr, 0)))
            target = path;
        file->Release();
    }
    shortcut->Release();
    return target;
}

// Everything the installer puts on the system, each found as it should be.
struct Piece {
    const char* what;
    bool (*present)();
};

const Piece Pieces[] = {
    {"the program", [] { return Exists(Installed(L"tarvo.exe")); }},
    {"the help", [] { return Exists(Installed(L"tarvo.chm")) && Exists(Installed(L"tarvo.hlp")); }},
    {"tarvoconv.exe", [] { return Exists(Installed(L"tarvoconv.exe")); }},
    {"README.txt and LICENSE.txt", [] { return Exists(Installed(L"README.txt")) && Exists(Installed(L"LICENSE.txt")); }},
    {"the uninstaller", [] { return Exists(Installed(L"uninstall.exe")); }},
    {"the folder", [] { return Exists(InstallFolder()); }},
    {"the Start menu shortcut to the program",
     [] { return ShortcutTarget(Folder(CSIDL_PROGRAMS) + L"\\Tarvo.lnk") == Installed(L"tarvo.exe"); }},
    {"the Send To shortcut to the program",
     [] { return ShortcutTarget(Folder(CSIDL_SENDTO) + L"\\Tarvo.lnk") == Installed(L"tarvo.exe"); }},
    {"the uninstall entry, quiet with /S",
     [] {
         return StoredText(UninstallKey, L"QuietUninstallString") ==
                    L"\"" + Installed(L"uninstall.exe") + L"\" /S" &&
                StoredText(UninstallKey, L"DisplayName") == L"Tarvo";
     }},
    {"the program for \"Open with\"",
     [] {
         return StoredText(L"Software\\Classes\\Applications\\tarvo.exe\\shell\\open\\command", nullptr) ==
                L"\"" + Installed(L"tarvo.exe") + L"\" \"%1\"";
     }},
    {"the program among those that open text files",
     [] { return KeyExists(L"Software\\Classes\\.txt\\OpenWithList\\tarvo.exe"); }},
};

DWORD RunToEnd(const std::wstring& command)
{
    return StartCommand(command).ExitCode();
}

void StoreInPlaceSettings()
{
    // Defaults (KOI8-R to cp1251) with "Overwrite input file", no preview:
    // converted in place without a question.
    const DWORD parameters = 0x00440112 | 0x00100000;
    RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKey, L"Parameters", REG_DWORD, &parameters, sizeof parameters);
}

struct Uninstall {
    const wchar_t* switches;
    bool settingsKept;
};

class InstallerRoundTrip : public testing::TestWithParam<Uninstall> {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        const char* setup = std::getenv("TARVO_INSTALLER");
        ASSERT_TRUE(setup) << "TARVO_INSTALLER is not set";
        setup_ = Widen(WindowsPath(setup));
        RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKey);
        for (const Piece& piece : Pieces)
            ASSERT_FALSE(piece.present()) << piece.what << " is there before the installer ran";
    }
    void TearDown() override
    {
        // A failed run leaves nothing behind in the rig's prefix for the next.
        if (Exists(Installed(L"uninstall.exe"))) {
            RunToEnd(L"\"" + Installed(L"uninstall.exe") + L"\" /S");
            WaitFor([] { return !Exists(InstallFolder()); });
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKey);
        CoUninitialize();
    }
    std::wstring setup_;
};

TEST_P(InstallerRoundTrip, InstallsConvertsAFileFromTheCommandLineAndUninstallsEverything)
{
    ASSERT_EQ(RunToEnd(L"\"" + setup_ + L"\" /S"), 0u);
    for (const Piece& piece : Pieces)
        EXPECT_TRUE(piece.present()) << piece.what << " is missing after the install";

    StoreInPlaceSettings();
    char temporary[MAX_PATH];
    GetTempPathA(MAX_PATH, temporary);
    const std::string file = std::string(temporary) + "tarvo installer test.txt";
    std::ofstream(file, std::ios::binary) << "\xF0\xD2\xC9\xD7\xC5\xD4";  // KOI8-R "Привет"
    Started tarvo = StartCommand(L"\"" + Installed(L"tarvo.exe") + L"\" \"" + Widen(file) + L"\"");
    ASSERT_TRUE(tarvo.process);
    EXPECT_TRUE(WaitFor([&] { return ReadSharingDeletion(Widen(file)) == "\xCF\xF0\xE8\xE2\xE5\xF2"; }))
        << "the installed program left the file as it was";
    DeleteFileA(file.c_str());

    // Tarvo is still running: the uninstaller closes it first.
    ASSERT_TRUE(WaitFor([] { return TarvoWindow() != nullptr; }));
    ASSERT_EQ(RunToEnd(L"\"" + Installed(L"uninstall.exe") + L"\" " + GetParam().switches), 0u);
    EXPECT_EQ(tarvo.ExitCode(), 0u);
    // The uninstaller goes on from a copy of itself, which ends later.
    for (const Piece& piece : Pieces)
        EXPECT_TRUE(WaitFor([&] { return !piece.present(); })) << piece.what << " is left after the uninstall";
    EXPECT_EQ(KeyExists(SettingsKey), GetParam().settingsKept);
}

INSTANTIATE_TEST_SUITE_P(SettingsKeptUnlessAsked, InstallerRoundTrip,
                         testing::Values(Uninstall{L"/S", true}, Uninstall{L"/S /REMOVESETTINGS", false}));

} // namespace
