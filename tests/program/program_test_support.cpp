#include "program_test_support.h"

#include <algorithm>
#include <set>

#include "interface_language.h"
#include "main_window.h"
#include "settings.h"

namespace {

// Between StartTarvo and StopTarvo, also once the window has gone.
bool Running;

} // namespace

HWND StartTarvo(bool displayLanguage)
{
    Settings = SettingsRecord();
    Initializing = 1;
    LoadSettings(Settings);
    UseInterfaceLanguage(displayLanguage ? ChosenLanguage(Settings.Language) : EnglishLanguage);
    HWND window = CreateMainWindow(Instance);
    Running = window != nullptr;
    if (window) {
        ShowWindow(window, SW_SHOWNOACTIVATE);
        UpdateWindow(window);
        PumpMessages();
    }
    return window;
}

void StopTarvo()
{
    if (!Running)
        return;
    Running = false;
    if (MainWindow && IsWindow(MainWindow))
        DestroyWindow(MainWindow);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    SaveSettings(Settings);
    if (PreviewFont) {
        DeleteObject(PreviewFont);
        PreviewFont = nullptr;
    }
}

void DeleteTarvoKey()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, SettingsKey);
}

void ClearClipboard()
{
    HWND owner = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (OpenClipboard(owner)) {
        EmptyClipboard();
        CloseClipboard();
    }
    DestroyWindow(owner);
}

void StoreDefaultSettings()
{
    DeleteTarvoKey();
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr))
        return;
    RegSetValueExA(key, "Parameters", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&DefaultParameters),
                   sizeof DefaultParameters);
    RegCloseKey(key);
}

std::wstring Wide(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                        &wide[0], static_cast<int>(wide.size()))));
    return wide;
}

void PumpMessages(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (milliseconds)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

TempFolder::TempFolder()
{
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static int counter;
    char name[MAX_PATH];
    // A test process that was killed leaves its folders behind, and a later
    // one may get the same process number: take the next free name.
    do
        wsprintfA(name, "%starvo-test-%lu-%d", base, GetCurrentProcessId(), ++counter);
    while (!CreateDirectoryA(name, nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
    path_ = name;
}

TempFolder::~TempFolder()
{
    for (const std::string& name : Names()) {
        const std::string file = File(name);
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(file.c_str());
    }
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path_.c_str());
}

std::vector<std::string> TempFolder::Names() const
{
    return NamesIn(path_);
}

std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadBytes(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes;
    char block[4096];
    DWORD read = 0;
    while (ReadFile(file, block, sizeof block, &read, nullptr) && read > 0)
        bytes.append(block, read);
    CloseHandle(file);
    return bytes;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteLargeFile(const std::string& path, ULONGLONG size, const std::string& head, const std::string& tail)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, head.data(), static_cast<DWORD>(head.size()), &written, nullptr);
    LARGE_INTEGER tailAt;
    tailAt.QuadPart = static_cast<LONGLONG>(size - tail.size());
    SetFilePointerEx(file, tailAt, nullptr, FILE_BEGIN);
    WriteFile(file, tail.data(), static_cast<DWORD>(tail.size()), &written, nullptr);
    SetEndOfFile(file);
    CloseHandle(file);
}

namespace {

std::string ReadAt(HANDLE file, ULONGLONG offset, size_t count)
{
    std::string bytes(count, '\0');
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD read = 0;
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN) ||
        !ReadFile(file, &bytes[0], static_cast<DWORD>(count), &read, nullptr))
        read = 0;
    bytes.resize(read);
    return bytes;
}

} // namespace

bool IsLargeFile(const std::string& path, ULONGLONG size, const std::string& head, const std::string& tail)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER actual;
    const bool same = GetFileSizeEx(file, &actual) && static_cast<ULONGLONG>(actual.QuadPart) == size &&
                      ReadAt(file, 0, head.size()) == head && ReadAt(file, size - tail.size(), tail.size()) == tail;
    CloseHandle(file);
    return same;
}

BoxText ReadBox(HWND box)
{
    char title[512] = "", text[1024] = "";
    GetWindowTextA(box, title, sizeof title);
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return BoxText{title, text};
}

void PressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

namespace {

struct WindowSearch {
    DWORD process;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter)
{
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (process == search.process && lstrcmpA(className, search.className) == 0 && IsWindowVisible(window))
        search.found.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> VisibleWindows(DWORD process, const char* className)
{
    WindowSearch search = {process, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

DialogAnswerer::DialogAnswerer(std::function<bool(HWND)> answer) : answer_(std::move(answer))
{
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

DialogAnswerer::~DialogAnswerer()
{
    InterlockedExchange(&stop_, 1);
    // The program's thread may still have to run a modal loop to its end.
    while (MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        PumpMessages();
    CloseHandle(thread_);
}

DWORD WINAPI DialogAnswerer::Run(void* self)
{
    DialogAnswerer& me = *static_cast<DialogAnswerer*>(self);
    std::set<HWND> seen;
    bool answering = true;
    DWORD lastAnswer = GetTickCount();
    while (!me.stop_) {
        const std::vector<HWND> open = VisibleWindows(GetCurrentProcessId(), "#32770");
        HWND dialog = nullptr;
        for (HWND candidate : open)
            if (!seen.count(candidate))
                dialog = candidate;
        if (!dialog || !answering) {
            if (GetTickCount() - lastAnswer > WaitBudgetMs) {
                for (HWND left : open)
                    PressButton(left, IDCANCEL);
                lastAnswer = GetTickCount();
            }
            Sleep(20);
            continue;
        }
        seen.insert(dialog);
        Sleep(50);  // let it finish its WM_INITDIALOG
        InterlockedIncrement(&me.answered_);
        answering = me.answer_(dialog);
        lastAnswer = GetTickCount();
    }
    return 0;
}

void EnterFileName(HWND dialog, const std::wstring& name)
{
    const int fileNameBox = 1148;  // the Explorer-style dialogs' file name combo box
    HWND box = GetDlgItem(dialog, fileNameBox);
    // A dialog that is still coming up may fill the box itself after the
    // name went in: the name goes in again until the dialog takes it, and
    // closes or asks a question of its own.
    const auto taken = [dialog] {
        return !IsWindowVisible(dialog) || GetWindow(dialog, GW_ENABLEDPOPUP) != dialog;
    };
    for (const DWORD start = GetTickCount(); GetTickCount() - start < WaitBudgetMs;) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()), SMTO_NORMAL, WaitBudgetMs,
                            &ignored);
        PressButton(dialog, IDOK);
        if (WaitFor(taken, 1000))
            return;
    }
}
