#include "job_progress.h"

#include "job_pump.h"
#include "resource_ids.h"
#include "taskbar_progress.h"
#include "tray.h"

namespace {

const char ProgramTitle[] = "Tarvo";
const char CancelledTitle[] = "Cancelled - Tarvo";
const UINT_PTR CancelledNoticeTimer = 1;
const UINT CancelledNoticeMs = 3000;

// -1 while the title is the program's name.
int ShownPercent = -1;
bool CancelledShown;

void ShowText(HWND window, const char* title, const char* tip)
{
    SetWindowTextA(window, title);
    SetTrayTip(window, tip);
}

void CALLBACK TakeCancelledNoticeAway(HWND window, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(window, timer);
    CancelledShown = false;
    ShowText(window, ProgramTitle, "");
}

void BeginJobProgress(HWND window)
{
    ShownPercent = -1;
    if (CancelledShown)
        TakeCancelledNoticeAway(window, WM_TIMER, CancelledNoticeTimer, 0);
}

void ShowJobProgress(HWND window, int percent)
{
    if (percent == ShownPercent)
        return;
    // Only jobs long enough to show progress pay for the taskbar's.
    if (ShownPercent < 0)
        BeginTaskbarProgress(window);
    ShownPercent = percent;
    char text[32];
    wsprintfA(text, "%d%% - %s", percent, ProgramTitle);
    ShowText(window, text, text);
    ShowTaskbarProgress(window, percent, 100);
}

void EndJobProgress(HWND window, bool cancelled)
{
    if (ShownPercent >= 0)
        EndTaskbarProgress(window);
    if (cancelled) {
        ShowText(window, CancelledTitle, CancelledTitle);
        CancelledShown = true;
        SetTimer(window, CancelledNoticeTimer, CancelledNoticeMs, TakeCancelledNoticeAway);
    } else if (ShownPercent >= 0) {
        ShowText(window, ProgramTitle, "");
    }
    ShownPercent = -1;
}

} // namespace

void OnFileJob(HWND window, WPARAM what, LPARAM value)
{
    switch (what) {
    case FILE_JOB_STARTED: BeginJobProgress(window); break;
    case FILE_JOB_PROGRESS: ShowJobProgress(window, static_cast<int>(value)); break;
    case FILE_JOB_ENDED: EndJobProgress(window, value != 0); break;
    }
}

bool ShowJobCursor(int hitTest)
{
    if (!FileJobConverting() || hitTest != HTCLIENT)
        return false;
    SetCursor(LoadCursorA(nullptr, IDC_APPSTARTING));
    return true;
}
