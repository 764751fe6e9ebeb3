#include "file_output.h"

#include <cwchar>

#include "file_conversion.h"
#include "file_dialog.h"
#include "file_messages.h"
#include "in_place_question.h"
#include "interface_language.h"
#include "resource_ids.h"
#include "settings.h"
#include "window_requests.h"

namespace {

// The save dialog's buffer: a path as long as the system takes.
const DWORD LongestPath = 32768;

// A new, empty file "trvXXXX.tmp" in directory ("" for the current one),
// named as the system names temporary files. It goes into the
// destination's own folder, so that replacing the destination is a rename
// on one volume and never a copy that could stop halfway. False when
// nothing could be made there.
bool CreateTemporaryFile(const FilePath& directory, FilePath& temporary)
{
    static unsigned unique = GetTickCount();
    for (int tries = 0; tries < 0x10000; ++tries) {
        wchar_t name[16];
        std::swprintf(name, sizeof name / sizeof *name, L"trv%04X.tmp", ++unique & 0xFFFF);
        const FilePath candidate = directory.empty() ? FilePath(name) : JoinPath(directory, name);
        HANDLE file = CreateFileW(LongForm(candidate).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            temporary = candidate;
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

// Asked only while the preview shows the file's beginning and its
// conversion, so that the user has something to judge by.
int ConfirmInPlaceConversion(HWND window, const FilePath& path)
{
    if (!(AskParameters(window) & ParamPreview) || !AskConfirmation)
        return 1;
    const InPlaceAnswer answer = AskInPlaceQuestion(window, path);
    if (answer == ConvertAndAskNoMore)
        AskConfirmation = 0;
    return answer != KeepFile;
}

int PlanInPlace(HWND window, const FilePath& path, OutputPlan& plan)
{
    // Refused before the work, not after a whole file was converted for
    // nothing.
    if (IsReadOnlyFile(path)) {
        ReportFileProblem(window, IDS_CANT_REPLACE, path);
        return 0;
    }
    const FilePath directory = DirectoryOf(path);
    if (!CreateTemporaryFile(directory, plan.temporary)) {
        ReportFileProblem(window, IDS_CANT_CREATE_TEMPORARY, directory.empty() ? path : directory);
        return 0;
    }
    if (ConfirmInPlaceConversion(window, path))
        return 1;
    DiscardTemporary(plan);
    return 0;
}

// The folder of the last file saved is kept for the next dialog, where it
// fits the setting's field; a longer one is not kept, rather than cut.
int ChooseSaveName(HWND window, const FilePath& path, const wchar_t* startDirectory, FilePath& outputName)
{
    static wchar_t name[LongestPath];
    name[0] = 0;
    // wsprintfW's %s is a wide string; it writes at most 1024 characters,
    // and a file's name is at most 255.
    wchar_t title[1024];
    wsprintfW(title, LoadText(IDS_SAVE_AS).c_str(), FileNameOf(path).c_str());
    // While the preview is shown the dialog has no owner: the main window
    // stays usable, so that the code pages can still be changed while the
    // preview shows what they do.
    OPENFILENAMEW dialog;
    PrepareFileDialog(dialog, (Settings.Parameters & ParamPreview) ? nullptr : window, name, LongestPath,
                      startDirectory);
    dialog.lpstrTitle = title;
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!GetSaveFileNameW(&dialog))
        return 0;
    outputName = name;
    CopyPath(Settings.DstPath, SettingsPathSize, DirectoryOf(outputName));
    // Some systems let a privileged user write over a read-only file; the
    // mark says the file must stay as it is.
    if (IsReadOnlyFile(outputName)) {
        ReportFileProblem(window, IDS_CANT_OPEN_FOR_WRITE, outputName);
        return 0;
    }
    return 1;
}

int PlanNewFile(HWND window, OutputPlan& plan)
{
    if (!CreateTemporaryFile(DirectoryOf(plan.destination), plan.temporary)) {
        ReportFileProblem(window, IDS_CANT_OPEN_FOR_WRITE, plan.destination);
        return 0;
    }
    return 1;
}

// The system's own way when it has one; some file systems do not.
bool ReplacementNotSupported(DWORD error)
{
    return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION || error == ERROR_CALL_NOT_IMPLEMENTED ||
           error == ERROR_INVALID_PARAMETER;
}

// A virus scanner, an indexer or a backup program looks into a file that
// has just changed for a moment; such a look is waited out, a program that
// keeps the file open is not.
const int HeldFileTries = 20;
const DWORD HeldFileRetryMs = 50;

// A file that another program has open is not replaced under its feet,
// whether or not it would let it be: it may write its own text back over
// the converted one. (Some systems would even move it aside and leave it
// there under another name.)
bool HeldByNobody(const std::wstring& path)
{
    for (int attempt = 1;; ++attempt) {
        HANDLE alone = CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (alone != INVALID_HANDLE_VALUE) {
            CloseHandle(alone);
            return true;
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION || attempt == HeldFileTries)
            return false;
        Sleep(HeldFileRetryMs);
    }
}

} // namespace

bool IsReadOnlyFile(const FilePath& path)
{
    const DWORD attributes = GetFileAttributesW(LongForm(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

int PlanOutput(HWND window, const FilePath& path, int inPlace, OutputPlan& plan)
{
    plan.temporary.clear();
    plan.inPlace = inPlace;
    if (!inPlace) {
        const wchar_t* startDirectory = (Settings.Parameters & ParamSamePaths) ? Settings.SrcPath : Settings.DstPath;
        if (!ChooseSaveName(window, path, startDirectory, plan.destination))
            return 0;
        // Writing straight into the file being read would destroy it: the
        // input's own name, in any letter case, means converting in place.
        plan.inPlace = lstrcmpiW(plan.destination.c_str(), path.c_str()) == 0;
        if (!plan.inPlace)
            return PlanNewFile(window, plan);
    }
    plan.destination = path;
    return PlanInPlace(window, path, plan);
}

// One step over the destination, never a delete followed by a rename: when
// it fails the destination is still there as it was. Some systems rename
// over a read-only file; the job refused one before it began, and refuses
// one that became read-only meanwhile here.
Replacement ReplaceDestination(OutputPlan& plan)
{
    const std::wstring destination = LongForm(plan.destination), temporary = LongForm(plan.temporary);
    WIN32_FILE_ATTRIBUTE_DATA old = {};
    const bool existed = GetFileAttributesExW(destination.c_str(), GetFileExInfoStandard, &old) != 0;
    if (existed && (old.dwFileAttributes & FILE_ATTRIBUTE_READONLY))
        return NotReplaced;
    if (existed && !HeldByNobody(destination))
        return NotReplaced;
    bool replaced = false, gone = false;
    if (existed) {
        replaced = ReplaceFileW(destination.c_str(), temporary.c_str(), nullptr,
                                REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
        const DWORD error = replaced ? 0 : GetLastError();
        // Without a backup name this one means the destination is gone
        // already: the rename below is all that is left to do.
        gone = error == ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
               GetFileAttributesW(destination.c_str()) == INVALID_FILE_ATTRIBUTES;
        if (!replaced && !gone && !ReplacementNotSupported(error))
            return NotReplaced;
    }
    if (!replaced && !MoveFileExW(temporary.c_str(), destination.c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return gone ? LeftInTemporary : NotReplaced;
    plan.temporary.clear();
    if (existed) {
        // Where the system did not keep them itself (a rename, or a
        // replacement that dropped them), the file gets back what it had:
        // hidden, system, archive, and the time it was first made.
        HANDLE file = CreateFileW(destination.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            SetFileTime(file, &old.ftCreationTime, nullptr, nullptr);
            CloseHandle(file);
        }
        SetFileAttributesW(destination.c_str(), old.dwFileAttributes);
    }
    return Replaced;
}

void DiscardTemporary(OutputPlan& plan)
{
    if (!plan.temporary.empty())
        DeleteFileW(LongForm(plan.temporary).c_str());
    plan.temporary.clear();
}
