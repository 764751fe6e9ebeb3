#include "file_conversion.h"

#include <shellapi.h>

#include "file_dialog.h"
#include "file_job.h"
#include "job_pump.h"
#include "settings.h"

int AskConfirmation = 1;

namespace {

// The open dialog's result: one path, or a folder and the names chosen in
// it. As large as the dialog fills with names as long as the system takes.
const DWORD FileListSize = 32768;
wchar_t FileList[FileListSize];

// A save dialog without owner leaves the main window usable, and so does
// a job between its blocks: a second file job could start meanwhile. The
// jobs share their buffers, so the second is refused.
int FileJobRunning;

int BeginFileJobs()
{
    if (FileJobRunning) {
        MessageBeep(MB_OK);
        return 0;
    }
    FileJobRunning = 1;
    ResetFileJobCancel();
    return 1;
}

// The window hears how many characters had no place in the destination.
// A close that came during the run was put off until here, where nothing
// on the stack needs the window any more.
void EndFileJobs(HWND window)
{
    FileJobRunning = 0;
    TellStandInsOfRun(window);
    if (CloseWasPutOff())
        DestroyWindow(window);
}

// The folder of the files opened is kept for the next dialog, where it
// fits the setting's field; a longer one is not kept, rather than cut.
void KeepSourceFolder(const FilePath& folder)
{
    CopyPath(Settings.SrcPath, SettingsPathSize, folder);
}

void ConvertOneChosenFile(HWND window)
{
    const FilePath path = FileList;
    KeepSourceFolder(DirectoryOf(path));
    RunFileJob(window, path);
}

// The list holds the directory, then each name, each ending in a NUL, and
// one more NUL after the last name.
void ConvertSeveralChosenFiles(HWND window)
{
    const FilePath folder = FileList;
    KeepSourceFolder(folder);
    for (const wchar_t* name = FileList + folder.size() + 1; name < FileList + FileListSize && *name;) {
        const FilePath path = JoinPath(folder, name);
        if (!RunFileJob(window, path))
            return;
        name += lstrlenW(name) + 1;
    }
}

int ConvertDroppedFile(HWND window, HDROP drop, UINT index)
{
    const UINT length = DragQueryFileW(drop, index, nullptr, 0);
    FilePath path(length + 1, L'\0');
    path.resize(DragQueryFileW(drop, index, &path[0], length + 1));
    return RunFileJob(window, path);
}

} // namespace

void OpenAndConvertFiles(HWND window)
{
    if (!BeginFileJobs())
        return;
    ZeroMemory(FileList, sizeof FileList);
    OPENFILENAMEW dialog;
    PrepareFileDialog(dialog, window, FileList, FileListSize, Settings.SrcPath);
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
    AskConfirmation = 1;
    if (GetOpenFileNameW(&dialog)) {
        KeepFilterIndex(dialog);
        // One file comes as a full path; several as the directory and the
        // names, the first of them after a NUL.
        if (dialog.nFileOffset > 0 && FileList[dialog.nFileOffset - 1] != 0)
            ConvertOneChosenFile(window);
        else
            ConvertSeveralChosenFiles(window);
    }
    EndFileJobs(window);
}

int ConvertFile(HWND window, const FilePath& path)
{
    if (!BeginFileJobs())
        return 0;
    const int converted = RunFileJob(window, path);
    EndFileJobs(window);
    return converted;
}

void ConvertFiles(HWND window, const std::vector<FilePath>& paths)
{
    if (!BeginFileJobs())
        return;
    AskConfirmation = 1;
    for (const FilePath& path : paths)
        if (!RunFileJob(window, path))
            break;
    EndFileJobs(window);
}

bool FileJobsRunning()
{
    return FileJobRunning != 0;
}

void OnDropFiles(HWND window, HDROP drop)
{
    if (BeginFileJobs()) {
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT index = 0; index < count; ++index)
            if (!ConvertDroppedFile(window, drop, index))
                break;
        EndFileJobs(window);
    }
    DragFinish(drop);
}
