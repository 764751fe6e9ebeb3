#include "file_output.h"

#include <cstdio>

#include "file_conversion.h"
#include "file_dialog.h"
#include "file_messages.h"
#include "file_paths.h"
#include "settings.h"
#include "window_requests.h"

namespace {

const char Question[] = "Is conversion parameters correct?\n(Cancel =Yes+<dont ask for next file(s)>)";

// The longest directory GetTempFileNameA takes: the name it adds must still
// fit into MAX_PATH.
const int LongestTemporaryDirectory = MAX_PATH - 14;

// The temporary file goes into the input's own directory, so that replacing
// the input is a rename on one volume and never a copy that could stop
// halfway.
int CreateTemporaryFile(HWND window, const char* path, char* outputName)
{
    char directory[FilePathBufferSize] = ".";
    const bool named = FileNameOf(path) == path || CopyDirectoryOf(directory, sizeof directory, path);
    // The existence check is there because some systems report a name even
    // when they could not create the file, in a folder where nobody may.
    if (!named || BoundedLength(directory, LongestTemporaryDirectory + 1) < 0 ||
        !GetTempFileNameA(directory, "trv", 0, outputName) ||
        GetFileAttributesA(outputName) == INVALID_FILE_ATTRIBUTES) {
        ReportFileProblem(window, "Can't create temporary file", named ? directory : path);
        return 0;
    }
    return 1;
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

int ChooseTemporaryFile(HWND window, const char* path, char* outputName)
{
    // Refused before the work, not after a whole file was converted for
    // nothing.
    if (IsReadOnlyFile(path)) {
        ReportFileProblem(window, "Can't replace", path);
        return 0;
    }
    if (!CreateTemporaryFile(window, path, outputName))
        return 0;
    if (ConfirmInPlaceConversion(window, path))
        return 1;
    DeleteFileA(outputName);
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

} // namespace

bool IsReadOnlyFile(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

int ChooseOutput(HWND window, const char* path, int& inPlace, char* outputName)
{
    const char* startDirectory = (Settings.Parameters & ParamSamePaths) ? Settings.SrcPath : Settings.DstPath;
    if (!inPlace) {
        if (!ChooseSaveName(window, path, startDirectory, outputName))
            return 0;
        // Writing straight into the file being read would destroy it: the
        // input's own name, in any letter case, means converting in place.
        if (lstrcmpiA(outputName, path) != 0)
            return 1;
        inPlace = 1;
    }
    return ChooseTemporaryFile(window, path, outputName);
}
