#include "started_tarvo.h"

std::string WindowsPath(const std::string& hostPath)
{
    std::string path = hostPath;
    if (!path.empty() && path[0] == '/') {
        for (char& c : path)
            if (c == '/')
                c = '\\';
        path = "Z:" + path;
    }
    return path;
}

Started StartProcess(const std::string& exe)
{
    Started started;
    started.Start("\"" + exe + "\"");
    return started;
}

Started StartCommand(const std::wstring& line, const wchar_t* folder)
{
    std::wstring command = line;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    Started started;
    if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &info)) {
        CloseHandle(info.hThread);
        started.process = info.hProcess;
        started.id = info.dwProcessId;
    }
    return started;
}

HWND TarvoWindow()
{
    return FindWindowA("Tarvo", nullptr);
}

namespace {

// Shown only once it is fully created.
bool TarvoIsUp()
{
    HWND window = TarvoWindow();
    return window && IsWindowVisible(window);
}

} // namespace

bool StartUp(const std::string& exe, Started& started, HWND& window)
{
    started = StartProcess(exe);
    window = started.process && WaitFor(TarvoIsUp) ? TarvoWindow() : nullptr;
    return window != nullptr;
}

std::string ReadSharingDeletion(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    char bytes[256];
    DWORD read = 0;
    ReadFile(file, bytes, sizeof bytes, &read, nullptr);
    CloseHandle(file);
    return std::string(bytes, read);
}
