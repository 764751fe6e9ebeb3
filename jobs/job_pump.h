// A file's conversion runs on the window's own thread; between its blocks
// the window is handed its messages for a moment, so that it paints,
// answers and can be told to stop. docs/file-jobs.md tells why.
#pragma once

#include <windows.h>

// True while a file's blocks are being converted: the engine's one
// conversion is the job's, so nothing may select another meanwhile.
bool FileJobConverting();

// Around the block loop of one file. BeginConverting also starts the clock
// of the first pump.
void BeginConverting();
void EndConverting();

// Between two blocks: once the window has waited long enough, shows how
// far the job has got (done of total bytes; total 0 when unknown) and
// handles the window's messages for a bounded time. False once the user
// has cancelled the job.
bool KeepWindowResponsive(HWND window, ULONGLONG done, ULONGLONG total);

// A run of files begins: nothing is cancelled yet.
void ResetFileJobCancel();

// The session is ending: a file converting now is cancelled, and the job
// leaves its input as it was and its temporary file deleted as it unwinds,
// before the system goes on to end the program.
void CancelFileJob();

// WM_CLOSE and "Exit". While a file converts the window cannot go, since
// the job on the stack still uses it: the job is cancelled instead and
// the window closes once the run has ended. True when it was put off.
bool PutOffCloseUntilJobsEnd();

// At the end of a run: whether a close was put off meanwhile.
bool CloseWasPutOff();
