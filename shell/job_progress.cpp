#include "job_progress.h"

#include "job_pump.h"
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

} // namespace

void BeginJobProgress(HWND window)
{
    ShownPercent = -1;
    if (CancelledShown)
        TakeCancelledNoticeAway(window, WM_TIMER, CancelledNoticeTimer, 0);
}

void ShowJobProgress(HWND window, ULONGLONG done, ULONGLONG total)
{
    // A file that grows while it is read must not pass the end.
    const int percent = done < total ? static_cast<int>(done * 100 / total) : 100;
    if (percent == ShownPercent)
        return;
    // Only jobs long enough to show progress pay for the taskbar's.
    if (ShownPercent < 0)
        BeginTaskbarProgress(window);
    ShownPercent = percent;
    char text[32];
    wsprintfA(text, "%d%% - %s", percent, ProgramTitle);
    ShowText(window, text, text);
    ShowTaskbarProgress(window, done < total ? done : total, total);
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

bool ShowJobCursor(int hitTest)
{
    if (!FileJobConverting() || hitTest != HTCLIENT)
        return false;
    SetCursor(LoadCursorA(nullptr, IDC_APPSTARTING));
    return true;
}
