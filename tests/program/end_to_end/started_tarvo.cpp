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
    std::string command = "\"" + exe + "\"";
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

DWORD ExitCode(HANDLE process)
{
    WaitForSingleObject(process, 10000);
    DWORD code = 999;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}
