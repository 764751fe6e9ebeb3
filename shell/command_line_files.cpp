#include "command_line_files.h"

#include <shellapi.h>

#include "file_conversion.h"
#include "resource_ids.h"

namespace {

// Marks the WM_COPYDATA that carries file names, so that another
// program's data is never read as names.
const ULONG_PTR HandedFilesTag = 0x54764649;

// How long a second start waits for the first to take its files: the first
// may be busy for a moment, but not hung for ever.
const UINT HandOverTimeoutMs = 10000;

// A run of files going on when more arrive is not interrupted: the new ones
// wait and are looked at again this often.
const UINT BusyRetryMs = 250;

std::vector<FilePath> PendingFiles;

FilePath FullPath(const wchar_t* name)
{
    const DWORD size = GetFullPathNameW(name, 0, nullptr, nullptr);
    if (size == 0)
        return name;
    FilePath full(size, L'\0');
    const DWORD length = GetFullPathNameW(name, size, &full[0], nullptr);
    if (length == 0 || length >= size)
        return name;
    full.resize(length);
    return full;
}

void CALLBACK ConvertPendingFiles(HWND window, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(window, timer);
    if (PendingFiles.empty())
        return;
    if (FileJobsRunning()) {
        SetTimer(window, timer, BusyRetryMs, ConvertPendingFiles);
        return;
    }
    // Files handed over during this run wait for the next.
    std::vector<FilePath> files;
    files.swap(PendingFiles);
    ConvertFiles(window, files);
}

} // namespace

std::vector<FilePath> FilesOnCommandLine()
{
    std::vector<FilePath> files;
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return files;
    for (int index = 1; index < count; ++index)
        if (arguments[index][0] != L'\0')
            files.push_back(FullPath(arguments[index]));
    LocalFree(arguments);
    return files;
}

bool HandFilesToRunningInstance(HWND running, const std::vector<FilePath>& files)
{
    // Each name ends in a NUL.
    std::wstring names;
    for (const FilePath& file : files)
        names.append(file).push_back(L'\0');
    COPYDATASTRUCT data = {};
    data.dwData = HandedFilesTag;
    data.cbData = static_cast<DWORD>(names.size() * sizeof(wchar_t));
    data.lpData = &names[0];
    DWORD_PTR taken = 0;
    return SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                               HandOverTimeoutMs, &taken) &&
           taken == TRUE;
}

void ConvertFilesSoon(HWND window, const std::vector<FilePath>& files)
{
    if (files.empty())
        return;
    PendingFiles.insert(PendingFiles.end(), files.begin(), files.end());
    // Not now: the sender of WM_COPYDATA waits until it is answered, and a
    // job's questions would keep it waiting.
    SetTimer(window, TIMER_HANDED_FILES, 0, ConvertPendingFiles);
}

BOOL OnCopyData(HWND window, const COPYDATASTRUCT* data)
{
    if (!data || data->dwData != HandedFilesTag || !data->lpData)
        return FALSE;
    // The sender's bytes are read only as far as it says they go, a last
    // name without its NUL included.
    const wchar_t* text = static_cast<const wchar_t*>(data->lpData);
    const size_t length = data->cbData / sizeof(wchar_t);
    std::vector<FilePath> files;
    for (size_t start = 0; start < length;) {
        size_t end = start;
        while (end < length && text[end] != L'\0')
            ++end;
        if (end > start)
            files.emplace_back(text + start, end - start);
        start = end + 1;
    }
    ConvertFilesSoon(window, files);
    return TRUE;
}
