// Files on tarvo.exe's command line, as "Open with", "Send To" and a drop on
// its icon give them: the first start converts them, a second start hands
// them to the first.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "program_test_support.h"
#include "resource_ids.h"
#include "settings.h"
#include "started_tarvo.h"

namespace {

std::wstring TarvoExe()
{
    return Wide(WindowsPath(TARVO_EXE));
}

// Runs tarvo.exe with the names, in folder: a name may be relative to it.
Started StartWithFiles(const std::wstring& folder, const std::wstring& names)
{
    return StartCommand(L"\"" + TarvoExe() + L"\" " + names, folder.c_str());
}

void StoreParameters(DWORD parameters)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Parameters", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&parameters), sizeof parameters);
    RegCloseKey(key);
}

void WriteWide(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

HWND WaitForDialog(DWORD process, const std::string& title)
{
    HWND dialog = nullptr;
    WaitFor([&] {
        for (HWND open : VisibleWindows(process, "#32770")) {
            char text[256] = "";
            GetWindowTextA(open, text, sizeof text);
            if (title == text)
                dialog = open;
        }
        return dialog != nullptr;
    });
    return dialog;
}

void Close(Started& tarvo)
{
    PostMessageA(TarvoWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(tarvo.ExitCode(), 0u);
}

const char Koi8Text[] = "\xF0\xD2\xC9\xD7\xC5\xD4";  // KOI8-R "Привет"
const char Cp1251Text[] = "\xCF\xF0\xE8\xE2\xE5\xF2";

TEST(CommandLineFiles, AFirstStartConvertsItsFileNamedInCyrillicOnAWesternSystem)
{
    ASSERT_EQ(GetACP(), 1252u) << "the name must hold characters the ANSI code page lacks";
    DeleteTarvoKey();
    StoreParameters(DefaultParameters | ParamOverwriteInput);  // in place, without the preview's question
    TempFolder folder;
    const std::wstring file = Wide(folder.File("")) + L"\u043F\u0440\u0438\u0432\u0435\u0442 1.txt";
    WriteWide(file, Koi8Text);

    Started tarvo = StartWithFiles(L"C:\\", L"\"" + file + L"\"");
    ASSERT_TRUE(tarvo.process);
    EXPECT_TRUE(WaitFor([&] { return ReadSharingDeletion(file) == Cp1251Text; })) << "the file stays unconverted";
    Close(tarvo);
    DeleteFileW(file.c_str());
    DeleteTarvoKey();
}

TEST(CommandLineFiles, ASecondStartHandsItsFilesToTheFirstWhichAsksAsForOpenedFiles)
{
    DeleteTarvoKey();
    TempFolder folder;
    WriteBytes(folder.File("a.txt"), Koi8Text);
    WriteBytes(folder.File("b c.txt"), Koi8Text);
    Started first;
    HWND window;
    ASSERT_TRUE(StartUp(WindowsPath(TARVO_EXE), first, window));

    // Handed over while the first is busy with its open dialog, in names
    // relative to the second start's folder, which the first does not share.
    PostMessageA(window, WM_COMMAND, IDM_CONVERT_FILES, 0);
    HWND open = WaitForDialog(first.id, "Open");
    ASSERT_TRUE(open);
    Started second = StartWithFiles(Wide(folder.Path()), L"a.txt \"b c.txt\"");
    ASSERT_TRUE(second.process);
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(TarvoWindow(), window);
    // The files wait while the dialog is open: long enough for the first to
    // look at them a few times and find itself busy.
    Sleep(1000);
    PressButton(open, IDCANCEL);
    for (const char* name : {"a.txt", "b c.txt"}) {
        HWND save = WaitForDialog(first.id, "Save \"" + std::string(name) + "\" as...");
        ASSERT_TRUE(save) << name;
        EnterFileName(save, Wide(folder.File(std::string("new ") + name)));
    }
    for (const char* name : {"a.txt", "b c.txt"})
        EXPECT_TRUE(WaitFor([&] { return ReadBytes(folder.File(std::string("new ") + name)) == Cp1251Text; }))
            << name;
    EXPECT_EQ(ReadBytes(folder.File("a.txt")), Koi8Text);
    Close(first);
    DeleteTarvoKey();
}

// A first instance that is ending holds the instance mutex without a
// window for a while (it saves its settings): a start meanwhile waits and
// then converts its files itself, rather than hand them to nobody.
TEST(CommandLineFiles, AStartWhileTheFirstIsEndingTakesOverItsFiles)
{
    DeleteTarvoKey();
    StoreParameters(DefaultParameters | ParamOverwriteInput);
    TempFolder folder;
    const std::wstring file = Wide(folder.File("late.txt"));
    WriteWide(file, Koi8Text);
    HANDLE ending = CreateMutexA(nullptr, TRUE, "Olvendar.Tarvo.Instance");
    ASSERT_TRUE(ending);
    ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));

    Started tarvo = StartWithFiles(Wide(folder.Path()), L"late.txt");
    ASSERT_TRUE(tarvo.process);
    Sleep(500);
    ReleaseMutex(ending);
    CloseHandle(ending);
    // Read sharing the file's deletion, so that the replacement of the
    // converted file is never refused for the test's look at it.
    const bool converted = WaitFor([&] { return ReadSharingDeletion(file) == Cp1251Text; });
    EXPECT_TRUE(converted) << "the files of a start during the first's exit were lost";
    if (!converted) {
        for (HWND open : VisibleWindows(tarvo.id, "#32770")) {
            char title[256] = "", text[512] = "";
            GetWindowTextA(open, title, sizeof title);
            GetDlgItemTextA(open, 0xFFFF, text, sizeof text);
            ADD_FAILURE() << "a dialog is open: " << title << ": " << text;
        }
    }
    ASSERT_TRUE(WaitFor([] { return TarvoWindow() != nullptr; }));
    Close(tarvo);
    DeleteTarvoKey();
}

} // namespace
