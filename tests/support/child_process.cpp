#include "child_process.h"

#include <cstdio>

#include "test_waits.h"

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept
{
    if (this != &other) {
        End();
        process = other.process;
        id = other.id;
        other.process = nullptr;
        other.id = 0;
    }
    return *this;
}

bool ChildProcess::Start(const std::string& command, HANDLE output)
{
    std::wstring wide(command.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, command.data(), static_cast<int>(command.size()),
                                                        &wide[0], static_cast<int>(wide.size()))));
    return Start(wide, output);
}

bool ChildProcess::Start(const std::wstring& command, HANDLE output)
{
    End();
    std::wstring line = command + L'\0';
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = output;
    }
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, output != nullptr, 0, nullptr, nullptr, &startup,
                        &info))
        return false;
    CloseHandle(info.hThread);
    process = info.hProcess;
    id = info.dwProcessId;
    return true;
}

DWORD ChildProcess::ExitCode()
{
    if (!process)
        return 999;
    DWORD code = 999;
    if (WaitForSingleObject(process, WaitBudgetMs) != WAIT_OBJECT_0 || !GetExitCodeProcess(process, &code))
        code = 999;
    End();
    return code;
}

void ChildProcess::End()
{
    if (!process)
        return;
    if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process, 999);
        WaitForSingleObject(process, WaitBudgetMs);
    }
    CloseHandle(process);
    process = nullptr;
    id = 0;
}

void EndChildrenWithThisProcess()
{
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    // The handle stays open for the process's life: closing it is what
    // ends the children.
    if (!job || !SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
        !AssignProcessToJobObject(job, GetCurrentProcess()))
        fprintf(stderr, "warning: started processes will not end with this test on a crash\n");
}
