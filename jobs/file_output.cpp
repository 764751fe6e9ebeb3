#include "file_output.h"

#include <cstdio>

#include "file_conversion.h"
#include "file_dialog.h"
#include "file_messages.h"
#include "settings.h"
#include "window_requests.h"

namespace {

const char Question[] = "Is conversion parameters correct?\n(Cancel =Yes+<dont ask for next file(s)>)";

// The longest directory GetTempFileNameA takes: the name it adds must still
// fit into MAX_PATH.
const int LongestTemporaryDirectory = MAX_PATH - 14;

// The temporary file goes into the destination's own directory, so that
// replacing the destination is a rename on one volume and never a copy
// that could stop halfway. 0 when it cannot be made there; directory then
// names the folder, or is empty when the destination's path has none that
// fits.
int CreateTemporaryFile(OutputPlan& plan, char* directory)
{
    lstrcpynA(directory, ".", FilePathBufferSize);
    const char* destination = plan.destination;
    const bool named = FileNameOf(destination) == destination ||
                       CopyDirectoryOf(directory, FilePathBufferSize, destination);
    if (!named)
        directory[0] = 0;
    // The existence check is there because some systems report a name even
    // when they could not create the file, in a folder where nobody may.
    return named && BoundedLength(directory, LongestTemporaryDirectory + 1) >= 0 &&
           GetTempFileNameA(directory, "trv", 0, plan.temporary) &&
           GetFileAttributesA(plan.temporary) != INVALID_FILE_ATTRIBUTES;
}

// Asked only while the preview shows the file's beginning and its
// conversion, so that the user has something to judge by.
int ConfirmInPlaceConversion(HWND window, const char* path)
{
    if (!(AskParameters(window) & ParamPreview) || !AskConfirmation)
        return 1;
    const int answer = MessageBoxA(window, Question, path, MB_ICONQUESTION | MB_YESNOCANCEL);
    if (answer == IDCANCEL)
        AskConfirmation = 0;
    return answer == IDYES || answer == IDCANCEL;
}

int PlanInPlace(HWND window, const char* path, OutputPlan& plan)
{
    // Refused before the work, not after a whole file was converted for
    // nothing.
    if (IsReadOnlyFile(path)) {
        ReportFileProblem(window, "Can't replace", path);
        return 0;
    }
    char directory[FilePathBufferSize];
    if (!CreateTemporaryFile(plan, directory)) {
        ReportFileProblem(window, "Can't create temporary file", directory[0] ? directory : path);
        return 0;
    }
    if (ConfirmInPlaceConversion(window, path))
        return 1;
    DiscardTemporary(plan);
    return 0;
}

int ChooseSaveName(HWND window, const char* path, const char* startDirectory, char* outputName)
{
    char title[FilePathBufferSize];
    std::snprintf(title, sizeof title, "Save \"%s\" as...", FileNameOf(path));
    outputName[0] = 0;
    // While the preview is shown the dialog has no owner: the main window
    // stays usable, so that the code pages can still be changed while the
    // preview shows what they do.
    OPENFILENAMEA dialog;
    PrepareFileDialog(dialog, (Settings.Parameters & ParamPreview) ? nullptr : window, outputName, startDirectory);
    dialog.lpstrTitle = title;
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!GetSaveFileNameA(&dialog))
        return 0;
    // Some systems let a privileged user write over a read-only file; the
    // mark says the file must stay as it is.
    if (!CopyDirectoryOf(Settings.DstPath, SettingsPathSize, outputName) || IsReadOnlyFile(outputName)) {
        ReportFileProblem(window, "Can't open for write", outputName);
        return 0;
    }
    return 1;
}

int PlanNewFile(HWND window, OutputPlan& plan)
{
    char directory[FilePathBufferSize];
    if (!CreateTemporaryFile(plan, directory)) {
        ReportFileProblem(window, "Can't open for write", plan.destination);
        return 0;
    }
    return 1;
}

} // namespace

bool IsReadOnlyFile(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

int PlanOutput(HWND window, const char* path, int inPlace, OutputPlan& plan)
{
    plan.temporary[0] = 0;
    plan.inPlace = inPlace;
    if (!inPlace) {
        const char* startDirectory = (Settings.Parameters & ParamSamePaths) ? Settings.SrcPath : Settings.DstPath;
        if (!ChooseSaveName(window, path, startDirectory, plan.destination))
            return 0;
        // Writing straight into the file being read would destroy it: the
        // input's own name, in any letter case, means converting in place.
        plan.inPlace = lstrcmpiA(plan.destination, path) == 0;
        if (!plan.inPlace)
            return PlanNewFile(window, plan);
    }
    if (!CopyPath(plan.destination, FilePathBufferSize, path))
        return 0;
    return PlanInPlace(window, path, plan);
}

// One rename over the destination, never a delete followed by a rename:
// when it fails the destination is still there as it was. Some systems
// rename over a read-only file; the job refused one before it began, and
// refuses one that became read-only meanwhile here.
int ReplaceDestination(OutputPlan& plan)
{
    if (IsReadOnlyFile(plan.destination) ||
        !MoveFileExA(plan.temporary, plan.destination, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    plan.temporary[0] = 0;
    return 1;
}

void DiscardTemporary(OutputPlan& plan)
{
    if (plan.temporary[0])
        DeleteFileA(plan.temporary);
    plan.temporary[0] = 0;
}
