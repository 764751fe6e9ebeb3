// What the tests of the Windows program share: starting and stopping the
// real main window as WinMain does, the registry key, temporary folders and
// files, and answering the program's dialogs and message boxes from a
// second thread while the program's modal loop runs.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "test_waits.h"

// WinMain up to its message loop: settings loaded from the prefix's real
// registry, the main window created and shown without activation. The
// interface is English, the language whose texts the tests read, unless
// displayLanguage asks for the one WinMain picks: the stored choice, or the
// display language (which Wine takes from LC_MESSAGES).
HWND StartTarvo(bool displayLanguage = false);

// Destroys the main window as "Exit" does, runs the loop to its WM_QUIT and
// saves the settings as WinMain does after its loop.
void StopTarvo();

// A first start: no settings stored.
void DeleteTarvoKey();

// No text on the clipboard, and no window that owns it: with detection on
// (a first start), text found there at start sets the source code page.
void ClearClipboard();

// The settings key with the default Parameters word alone: the program as a
// user who kept its defaults starts it, detection off. For the tests whose
// subject is not the first start.
void StoreDefaultSettings();

// A test's path or text, as the program's wide calls take it.
std::wstring Wide(const std::string& text);

// Dispatches this thread's messages for about the given time (at least once).
void PumpMessages(DWORD milliseconds = 0);

// A fresh folder under the temporary folder, removed with its files.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    std::vector<std::string> Names() const;  // the files in it, sorted

private:
    std::string path_;
};

// The files in a folder, sorted.
std::vector<std::string> NamesIn(const std::string& folder);

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);  // "" when missing
bool FileExists(const std::string& path);

// A file of size bytes, head at its start and tail at its end, with a hole
// between them that reads as zeros and takes no room: made at once, and
// long enough to convert that a job can be watched and cancelled.
void WriteLargeFile(const std::string& path, ULONGLONG size, const std::string& head, const std::string& tail);
// Whether path still has that size, head and tail.
bool IsLargeFile(const std::string& path, ULONGLONG size, const std::string& head, const std::string& tail);

// A file job on this many bytes takes far longer than the first stretch of
// work after which it looks at the window's messages: whatever is posted
// to the window before it starts is handled mid-job.
const ULONGLONG LongJobSize = 256ull << 20;

// The visible top-level windows of a class in a process: "#32770" for
// dialogs and message boxes, "#32768" for popup menus.
std::vector<HWND> VisibleWindows(DWORD process, const char* className);

// The title and the text of a message box (its static control 0xFFFF).
struct BoxText {
    std::string title;
    std::string text;
};
BoxText ReadBox(HWND box);

// Waits on a second thread for each of the next dialogs or message boxes of
// this process to appear and hands them to answer() one by one, on that
// thread; answer() returns false to stop. Meanwhile the test thread runs
// the code that shows them; destroying the answerer ends its thread. A
// dialog still open a whole wait budget after the last answer is
// cancelled, so that a test whose dialog went unanswered fails rather
// than waiting in its modal loop for ever.
class DialogAnswerer {
public:
    explicit DialogAnswerer(std::function<bool(HWND dialog)> answer);
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;
    int Answered() const { return answered_; }

private:
    static DWORD WINAPI Run(void* self);
    std::function<bool(HWND)> answer_;
    HANDLE thread_;
    volatile LONG answered_ = 0;
    volatile LONG stop_ = 0;
};

// Presses a button of a dialog or message box (IDOK, IDYES, ...).
void PressButton(HWND dialog, int id);

// Types a name into the file name box of an open or save dialog, of this
// process or another, and presses OK.
void EnterFileName(HWND dialog, const std::wstring& name);
