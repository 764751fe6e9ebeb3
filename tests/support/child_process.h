// Processes that a test starts end with the test, on every path.
#pragma once

#include <windows.h>

#include <string>

// A started process, owned: when the owner goes (a failed assertion
// included) a process still running is terminated, so that it can never
// outlive the test and hold the test runner's output open.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess() { End(); }
    ChildProcess(ChildProcess&& other) noexcept { *this = static_cast<ChildProcess&&>(other); }
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Runs command (quoted as the caller wants it); false when it could
    // not start. Standard output and error go to output when it is given.
    bool Start(const std::string& command, HANDLE output = nullptr);
    // The same for a command the ANSI code page cannot hold.
    bool Start(const std::wstring& command, HANDLE output = nullptr);

    HANDLE process = nullptr;
    DWORD id = 0;

    // Waits for the process to end within the budget and returns its exit
    // code; terminates it and returns 999 when it does not end in time.
    DWORD ExitCode();

    // Terminates the process when it still runs and lets the handle go.
    void End();
};

// Puts this test process into a job that ends every process it starts,
// and theirs, the moment it ends itself: also after a crash, where no
// owner is left to do it. Called first thing in a test's main.
void EndChildrenWithThisProcess();
