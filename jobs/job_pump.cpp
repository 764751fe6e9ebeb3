#include "job_pump.h"

#include "resource_ids.h"

namespace {

// At most this much work between two looks at the window's messages, and
// at most this long handling them before the next block: input and paint
// wait no longer than about the sum, while the job keeps most of the time.
const DWORD WorkSliceMs = 20;
const DWORD MessageSliceMs = 15;

// A new title costs the window a repaint of its frame: a few a second tell
// the user enough. A job that ends before the first never changes it.
const DWORD ProgressEveryMs = 250;

bool Converting;
bool Cancelled;
bool CloseWanted;
DWORD SliceStart;
DWORD ProgressShown;

bool IsEscapeFor(HWND window, const MSG& message)
{
    return message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE &&
           (message.hwnd == window || IsChild(window, message.hwnd));
}

// Esc is taken here, before any window sees it: whichever control has the
// focus, it stops the job.
void HandleMessages(HWND window)
{
    const DWORD start = GetTickCount();
    MSG message;
    while (!Cancelled && GetTickCount() - start < MessageSliceMs &&
           PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The program is being ended: the job stops, and the main loop
            // still gets its WM_QUIT.
            PostQuitMessage(static_cast<int>(message.wParam));
            Cancelled = true;
        } else if (IsEscapeFor(window, message)) {
            Cancelled = true;
        } else {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

} // namespace

bool FileJobConverting() { return Converting; }

void BeginConverting()
{
    Converting = true;
    SliceStart = ProgressShown = GetTickCount();
}

void EndConverting() { Converting = false; }

bool KeepWindowResponsive(HWND window, ULONGLONG done, ULONGLONG total)
{
    const DWORD now = GetTickCount();
    if (now - SliceStart < WorkSliceMs)
        return !Cancelled;
    if (total && now - ProgressShown >= ProgressEveryMs) {
        // A file that grows while it is read must not pass the end.
        const LPARAM percent = done < total ? static_cast<LPARAM>(done * 100 / total) : 100;
        SendMessageA(window, WM_FILEJOB, FILE_JOB_PROGRESS, percent);
        ProgressShown = now;
    }
    HandleMessages(window);
    SliceStart = GetTickCount();
    return !Cancelled;
}

void ResetFileJobCancel()
{
    Cancelled = false;
    CloseWanted = false;
}

void CancelFileJob()
{
    if (Converting)
        Cancelled = true;
}

bool PutOffCloseUntilJobsEnd()
{
    if (!Converting)
        return false;
    Cancelled = true;
    CloseWanted = true;
    return true;
}

bool CloseWasPutOff() { return CloseWanted; }
