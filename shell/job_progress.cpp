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
bool StandInsShown;

// The code pages as the notice names them, in CodePageIndex order.
const char* const PageNames[] = {"cp866", "cp1251", "KOI8-R", "Macintosh Cyrillic", "ISO-8859-5"};

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

void TakeStandInNoticeAway(HWND window)
{
    if (!StandInsShown)
        return;
    StandInsShown = false;
    ShowText(window, ProgramTitle, "");
}

void BeginJobProgress(HWND window)
{
    ShownPercent = -1;
    if (CancelledShown)
        TakeCancelledNoticeAway(window, WM_TIMER, CancelledNoticeTimer, 0);
    TakeStandInNoticeAway(window);
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

void OnStandIns(HWND window, int page, unsigned long count)
{
    if (count == 0 || page < 0 || page >= static_cast<int>(sizeof PageNames / sizeof PageNames[0])) {
        TakeStandInNoticeAway(window);
        return;
    }
    // Said after a cancelled job's notice, this one stays.
    if (CancelledShown) {
        KillTimer(window, CancelledNoticeTimer);
        CancelledShown = false;
    }
    // The tip of the tray icon holds 63 characters: the first half.
    char tip[64], title[128];
    if (count == 1)
        wsprintfA(tip, "1 character has no place in %s", PageNames[page]);
    else
        wsprintfA(tip, "%lu characters have no place in %s", count, PageNames[page]);
    wsprintfA(title, count == 1 ? "%s and was written as a stand-in - %s" : "%s and were written as stand-ins - %s", tip,
              ProgramTitle);
    ShowText(window, title, tip);
    StandInsShown = true;
}

bool ShowJobCursor(int hitTest)
{
    if (!FileJobConverting() || hitTest != HTCLIENT)
        return false;
    SetCursor(LoadCursorA(nullptr, IDC_APPSTARTING));
    return true;
}
