#include "file_conversion.h"

#include <shellapi.h>

#include <string>

#include "file_dialog.h"
#include "file_job.h"
#include "file_messages.h"
#include "file_paths.h"
#include "job_pump.h"
#include "settings.h"

int AskConfirmation = 1;

namespace {

// The open dialog's result, or one dropped file's path at a time.
char FileList[FilePathBufferSize];
// A directory and one name, for several files chosen at once.
char JoinedPath[FilePathBufferSize];

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

// A close that came during the run was put off until here, where nothing
// on the stack needs the window any more.
void EndFileJobs(HWND window)
{
    FileJobRunning = 0;
    if (CloseWasPutOff())
        DestroyWindow(window);
}

void ConvertOneChosenFile(HWND window)
{
    if (!CopyDirectoryOf(Settings.SrcPath, SettingsPathSize, FileList)) {
        ReportFileProblem(window, "Can't open for read", FileList);
        return;
    }
    RunFileJob(window, FileList);
}

// The list holds the directory, then each name, each ending in a NUL, and
// one more NUL after the last name.
void ConvertSeveralChosenFiles(HWND window)
{
    const char* end = FileList + FilePathBufferSize;
    const int directoryLength = BoundedLength(FileList, FilePathBufferSize);
    if (!CopyPath(Settings.SrcPath, SettingsPathSize, FileList)) {
        ReportFileProblem(window, "Can't open for read", FileList);
        return;
    }
    for (const char* name = FileList + directoryLength + 1; name < end && *name;) {
        const int nameLength = BoundedLength(name, static_cast<int>(end - name));
        if (nameLength < 0)
            return;
        if (!JoinPath(JoinedPath, sizeof JoinedPath, FileList, name)) {
            const std::string path = std::string(FileList) + "\\" + name;
            ReportFileProblem(window, "Can't open for read", path.c_str());
            return;
        }
        if (!RunFileJob(window, JoinedPath))
            return;
        name += nameLength + 1;
    }
}

int ConvertDroppedFile(HWND window, HDROP drop, UINT index)
{
    const UINT length = DragQueryFileA(drop, index, nullptr, 0);
    if (length >= sizeof FileList) {
        // Named in full in the message: cut to fit, it would name another file.
        std::string path(length + 1, '\0');
        DragQueryFileA(drop, index, &path[0], length + 1);
        ReportFileProblem(window, "Can't open for read", path.c_str());
        return 0;
    }
    DragQueryFileA(drop, index, FileList, sizeof FileList);
    return RunFileJob(window, FileList);
}

} // namespace

void OpenAndConvertFiles(HWND window)
{
    if (!BeginFileJobs())
        return;
    FileList[0] = 0;
    OPENFILENAMEA dialog;
    PrepareFileDialog(dialog, window, FileList, Settings.SrcPath);
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
    AskConfirmation = 1;
    if (GetOpenFileNameA(&dialog)) {
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

int ConvertFile(HWND window, const char* path)
{
    if (!BeginFileJobs())
        return 0;
    const int converted = RunFileJob(window, path);
    EndFileJobs(window);
    return converted;
}

void OnDropFiles(HWND window, HDROP drop)
{
    if (BeginFileJobs()) {
        const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT index = 0; index < count; ++index)
            if (!ConvertDroppedFile(window, drop, index))
                break;
        EndFileJobs(window);
    }
    DragFinish(drop);
}
