// Files whose names hold characters outside the system's ANSI code page
// (this test also runs with the ANSI page 1251): dropped, chosen in the
// dialogs, converted in place and to new files, and named in the messages.
#include "file_test_support.h"

#include <shlobj.h>

#include <cstring>

#include "file_conversion.h"
#include "main_window.h"
#include "resource_ids.h"
#include "settings.h"

namespace {

void WriteWide(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadWide(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "(missing)";
    std::string bytes(4096, '\0');
    DWORD read = 0;
    ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// A drop whose names are wide, as the shell makes it.
void DropWide(const std::wstring& path)
{
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t));
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(drop + 1, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SendMessageW(MainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

std::wstring BoxTextW(HWND box)
{
    wchar_t text[1024] = L"";
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    return text;
}

TEST_F(FileConversionTest, NamesInAnyScriptAreConvertedAndNamedRight)
{
    for (const std::wstring name : {L"σ-日本", L"привет"}) {
        const std::wstring in = Wide(folder.Path()) + L"\\" + name + L".txt";
        const std::wstring out = Wide(outputs.Path()) + L"\\" + name + L"-1251.txt";

        // Dropped, in place.
        SetOverwrite(true);
        WriteWide(in, Koi8Line);
        EXPECT_TRUE(AnswerDialogs({}, [&] { DropWide(in); }).empty());
        EXPECT_EQ(ReadWide(in), Cp1251Line);

        // Through both dialogs, to a new file with such a name as well.
        SetOverwrite(false);
        WriteWide(in, Koi8Line);
        lstrcpynW(Settings.SrcPath, Wide(folder.Path()).c_str(), SettingsPathSize);
        AnswerDialogs({EnterFileName(name + L".txt"), EnterFileName(out)}, [&] { Command(IDM_CONVERT_FILES); });
        EXPECT_EQ(ReadWide(out), Cp1251Line);
        EXPECT_EQ(Settings.DstPath, Wide(outputs.Path()));

        // A message names the file as it is.
        SetOverwrite(true);
        SetFileAttributesW(in.c_str(), FILE_ATTRIBUTE_READONLY);
        std::wstring named;
        AnswerDialogs({[&](HWND box) {
                          named = BoxTextW(box);
                          PressButton(box, IDOK);
                      }},
                      [&] { EXPECT_EQ(ConvertFile(MainWindow, in), 0); });
        SetFileAttributesW(in.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_TRUE(named == in);
        DeleteFileW(in.c_str());
        DeleteFileW(out.c_str());
    }
}

} // namespace
