// tarvo.exe started as a user starts it, as its own process: shared by the
// end-to-end tests and the test of the Windows package.
#pragma once

#include <windows.h>

#include <string>

struct Started {
    HANDLE process = nullptr;
    DWORD id = 0;
};

// A host path as Wine shows it: the host's root is drive Z:.
std::string WindowsPath(const std::string& hostPath);

// Starts the program at exe; process is null when it could not start.
Started StartProcess(const std::string& exe);

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

HWND TarvoWindow();

// Starts the tarvo.exe at exe and waits until its window is fully up.
bool StartUp(const std::string& exe, Started& started, HWND& window);

// Waits up to ten seconds for the process to end, closes it and returns its
// exit code (999 if it did not end).
DWORD ExitCode(HANDLE process);
