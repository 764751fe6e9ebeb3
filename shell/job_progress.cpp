#include "job_progress.h"

#include "interface_language.h"
#include "job_pump.h"
#include "resource_ids.h"
#include "taskbar_progress.h"
#include "tray.h"

namespace {

const wchar_t ProgramTitle[] = L"Tarvo";
const UINT_PTR CancelledNoticeTimer = 1;
const UINT CancelledNoticeMs = 3000;

// -1 while the title is the program's name.
int ShownPercent = -1;
bool CancelledShown;
bool StandInsShown;

// The code pages as the notice names them, in CodePageIndex order.
const wchar_t* const PageNames[] = {L"cp866", L"cp1251", L"KOI8-R", L"Macintosh Cyrillic", L"ISO-8859-5"};

void ShowText(HWND window, const wchar_t* title, const wchar_t* tip)
{
    SetWindowTextW(window, title);
    SetTrayTip(window, tip);
}

void CALLBACK TakeCancelledNoticeAway(HWND window, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(window, timer);
    CancelledShown = false;
    ShowText(window, ProgramTitle, L"");
}

void TakeStandInNoticeAway(HWND window)
{
    if (!StandInsShown)
        return;
    StandInsShown = false;
    ShowText(window, ProgramTitle, L"");
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
    wchar_t text[32];
    wsprintfW(text, L"%d%% - %s", percent, ProgramTitle);
    ShowText(window, text, text);
    ShowTaskbarProgress(window, percent, 100);
}

void EndJobProgress(HWND window, bool cancelled)
{
    if (ShownPercent >= 0)
        EndTaskbarProgress(window);
    if (cancelled) {
        const std::wstring notice = LoadText(IDS_CANCELLED);
        ShowText(window, notice.c_str(), notice.c_str());
        CancelledShown = true;
        SetTimer(window, CancelledNoticeTimer, CancelledNoticeMs, TakeCancelledNoticeAway);
    } else if (ShownPercent >= 0) {
        ShowText(window, ProgramTitle, L"");
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
    // The tip of the tray icon holds 63 characters: the first half. The
    // texts are the interface's, in the form for the count; wsprintfW
    // writes at most 1024 characters, and %s is a wide string.
    const UINT form = PluralForm(count);
    wchar_t tip[1024], title[1024];
    wsprintfW(tip, LoadText(IDS_STANDINS_TIP + form).c_str(), count, PageNames[page]);
    wsprintfW(title, LoadText(IDS_STANDINS_TITLE + form).c_str(), tip, ProgramTitle);
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
