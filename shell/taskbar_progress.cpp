#include "taskbar_progress.h"

#include <shobjidl.h>

namespace {

// Held from a job's first progress to its end only: most jobs are over
// before they show any, and never load COM.
ITaskbarList3* Taskbar;
bool ComStarted;

} // namespace

void BeginTaskbarProgress(HWND window)
{
    EndTaskbarProgress(window);
    ComStarted = SUCCEEDED(CoInitialize(nullptr));
    if (!ComStarted)
        return;
    void* list = nullptr;
    if (FAILED(CoCreateInstance(__uuidof(TaskbarList), nullptr, CLSCTX_INPROC_SERVER, __uuidof(ITaskbarList3),
                                &list)))
        return;
    Taskbar = static_cast<ITaskbarList3*>(list);
    if (FAILED(Taskbar->HrInit())) {
        Taskbar->Release();
        Taskbar = nullptr;
        return;
    }
    Taskbar->SetProgressState(window, TBPF_NORMAL);
}

void ShowTaskbarProgress(HWND window, ULONGLONG done, ULONGLONG total)
{
    if (Taskbar)
        Taskbar->SetProgressValue(window, done, total);
}

void EndTaskbarProgress(HWND window)
{
    if (Taskbar) {
        Taskbar->SetProgressState(window, TBPF_NOPROGRESS);
        Taskbar->Release();
        Taskbar = nullptr;
    }
    if (ComStarted)
        CoUninitialize();
    ComStarted = false;
}
