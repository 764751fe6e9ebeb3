#include "file_job.h"

#include "clipboard_conversion.h"
#include "conversion_selection.h"
#include "file_messages.h"
#include "file_output.h"
#include "file_paths.h"
#include "job_pump.h"
#include "resource_ids.h"
#include "settings.h"
#include "source_detection.h"
#include "window_requests.h"

namespace {

// Large enough that a read, a conversion and a write per block cost little
// more than the bytes themselves (256 KiB came out a little ahead of 64 KiB
// under Wine, as for tarvoconv); small enough that the window waits for no
// block.
const DWORD BlockSize = 256 * 1024;

// A block can double when every byte is an LF that gains a CR, and a CR
// held back at the end of the previous block may come first.
const DWORD ConvertedSize = 2 * BlockSize + 1;

// The output is flushed to disk each time a stretch of it was written, so
// that the data the system holds back stays small: the flush after the last
// block then keeps the window waiting for a moment only, and the progress
// shown is that of data on the disk. Every flush has a cost of its own and
// keeps the window waiting too, so the stretch doubles after a quick flush
// and halves after a slow one.
const ULONGLONG FirstFlushStretch = 32 << 20;
const ULONGLONG ShortestFlushStretch = 4 << 20;
const ULONGLONG LongestFlushStretch = 512 << 20;
const DWORD QuickFlushMs = 25;
const DWORD SlowFlushMs = 50;

// The preview pane is given at most this many characters of a file.
const int PreviewLength = 510;

// Shared by all jobs, which never run nested.
unsigned char Block[BlockSize];
char PreviewText[PreviewLength + 2];
OutputPlan Plan;

// Characters without a place in the destination code page, written as
// stand-ins: in the file being converted, and in the files of the run
// written so far, for the window to say at the end of the run.
ULONGLONG StandInsOfFile, StandInsOfRun;
int DestinationOfRun;

enum BlockLoopEnd { AllConverted, ReadFailed, WriteFailed, Cancelled };

// Returns how many of the bytes read stay in Block for the conversion: none
// for a file, which is read again from its start; all of them for a pipe,
// which cannot go back. detected is what DetectSource made of them.
DWORD ShowFileBeginning(HWND window, HANDLE input, int& detected)
{
    DWORD read = 0;
    if (!ReadFile(input, Block, BlockSize, &read, nullptr))
        read = 0;
    const bool rewound = GetFileType(input) == FILE_TYPE_DISK && SetFilePointer(input, 0, nullptr, FILE_BEGIN) == 0;
    // Only what this file gave: the block may still hold a longer file's bytes.
    const int length = read < static_cast<DWORD>(PreviewLength) ? static_cast<int>(read) : PreviewLength;
    lstrcpynA(PreviewText, reinterpret_cast<const char*>(Block), length + 1);
    AskForPreview(window, 0, PreviewText);
    // The page detected here shows on the toolbar, in the preview and in
    // any question asked before the file is converted.
    DWORD parameters = AskParameters(window);
    detected = DetectSource(window, parameters, Block, read);
    return rewound ? 0 : read;
}

bool WriteAll(HANDLE output, const unsigned char* bytes, DWORD count)
{
    DWORD written = 0;
    return WriteFile(output, bytes, count, &written, nullptr) && written == count;
}

// False when the flush failed; else sets the next stretch.
bool FlushAndPace(HANDLE output, ULONGLONG& stretch)
{
    const DWORD start = GetTickCount();
    if (!FlushFileBuffers(output))
        return false;
    const DWORD took = GetTickCount() - start;
    if (took < QuickFlushMs && stretch < LongestFlushStretch)
        stretch *= 2;
    else if (took > SlowFlushMs && stretch > ShortestFlushStretch)
        stretch /= 2;
    return true;
}

// What the progress is measured against; 0 for a pipe, whose end nobody
// knows beforehand.
ULONGLONG SizeOf(HANDLE input)
{
    LARGE_INTEGER size;
    if (GetFileType(input) != FILE_TYPE_DISK || !GetFileSizeEx(input, &size))
        return 0;
    return static_cast<ULONGLONG>(size.QuadPart);
}

// A failed read is an error rather than the end of the file: treated as
// the end, it would replace the input with a shortened copy. So would a
// short read, which a pipe or a network share may give long before the
// end: only a read of nothing ends the file (and for a pipe, the writer
// closing it). The first block may already be in Block. converted is
// null when the bytes are to be copied as they are, else where converter
// writes them.
BlockLoopEnd ConvertBlocks(HWND window, HANDLE input, HANDLE output, PageConverter& converter,
                           unsigned char* converted, DWORD alreadyRead)
{
    const ULONGLONG size = SizeOf(input);
    ULONGLONG done = 0, unflushed = 0, flushStretch = FirstFlushStretch;
    for (int first = 1;; first = 0) {
        DWORD read = first ? alreadyRead : 0;
        if (!read && !ReadFile(input, Block, BlockSize, &read, nullptr) && GetLastError() != ERROR_BROKEN_PIPE)
            return ReadFailed;
        // A file's NUL bytes are data like any other, not the end of a text.
        DWORD count = read;
        if (converted)
            count = read ? static_cast<DWORD>(converter.Convert(converted, Block, read))
                         : static_cast<DWORD>(converter.Finish(converted));
        if (converted && converter.HasStandIns())
            StandInsOfFile += converter.CountStandIns(Block, read);
        if (!WriteAll(output, converted ? converted : Block, count))
            return WriteFailed;
        if (read == 0)
            return AllConverted;
        unflushed += count;
        if (unflushed >= flushStretch) {
            if (!FlushAndPace(output, flushStretch))
                return WriteFailed;
            unflushed = 0;
        }
        done += read;
        if (!KeepWindowResponsive(window, done, size))
            return Cancelled;
    }
}

BlockLoopEnd ConvertToOutput(HWND window, HANDLE input, HANDLE output, unsigned char* converted, DWORD alreadyRead)
{
    SendMessageA(window, WM_FILEJOB, FILE_JOB_STARTED, 0);
    BeginConverting();
    // After the dialogs: the code pages are the ones the user left set.
    // Changed while the blocks go through, they wait for the next job.
    StandInsOfFile = 0;
    PageConverter converter;
    if (converted) {
        const DWORD parameters = AskParameters(window);
        converter = ConverterFor(parameters);
        DestinationOfRun = DestinationOf(parameters);
    }
    BlockLoopEnd end = ConvertBlocks(window, input, output, converter, converted, alreadyRead);
    EndConverting();
    // On the disk before it may replace anything: after a crash the input's
    // name must never point at data that was still in a cache.
    if (end == AllConverted && !FlushFileBuffers(output))
        end = WriteFailed;
    if (!CloseHandle(output) && end == AllConverted)
        end = WriteFailed;
    SendMessageA(window, WM_FILEJOB, FILE_JOB_ENDED, end == Cancelled);
    return end;
}

// Said of the destination: in place the input was to be replaced, else a
// file was to be written.
void ReportUnwritten(HWND window, const OutputPlan& plan)
{
    if (plan.inPlace)
        ReportFileProblem(window, IDS_CANT_REPLACE, plan.destination);
    else
        ReportFileProblem(window, IDS_CANT_OPEN_FOR_WRITE, plan.destination);
}

// From the planned output to the end; closes input on every road. A job
// that fails or is cancelled leaves its destination as it was and no
// temporary file behind. With copy set the bytes are written as they are.
int ConvertOpenedFile(HWND window, const FilePath& path, HANDLE input, int inPlace, DWORD alreadyRead, bool copy)
{
    if (!PlanOutput(window, path, inPlace, Plan)) {
        CloseHandle(input);
        return 0;
    }
    // Already in the destination code page, the input stays as it is.
    if (copy && Plan.inPlace) {
        DiscardTemporary(Plan);
        CloseHandle(input);
        return 1;
    }
    unsigned char* converted =
        copy ? nullptr : static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), 0, ConvertedSize));
    if (!copy && !converted) {
        CloseHandle(input);
        DiscardTemporary(Plan);
        ReportProblem(window, IDS_NOT_ENOUGH_MEMORY);
        return 0;
    }
    HANDLE output = CreateFileW(LongForm(Plan.temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) {
        if (converted)
            HeapFree(GetProcessHeap(), 0, converted);
        CloseHandle(input);
        ReportFileProblem(window, IDS_CANT_OPEN_FOR_WRITE, Plan.temporary);
        DiscardTemporary(Plan);
        return 0;
    }
    const BlockLoopEnd end = ConvertToOutput(window, input, output, converted, alreadyRead);
    if (converted)
        HeapFree(GetProcessHeap(), 0, converted);
    CloseHandle(input);

    // Cancelled, a job leaves nothing of its own behind; the user has seen
    // "Cancelled" and needs no box.
    if (end == Cancelled) {
        DiscardTemporary(Plan);
        return 0;
    }
    if (end != AllConverted) {
        DiscardTemporary(Plan);
        if (end == ReadFailed)
            ReportFileProblem(window, IDS_CANT_READ, path);
        else
            ReportProblem(window, IDS_WRITE_FAILED);
        return 0;
    }
    switch (ReplaceDestination(Plan)) {
    case Replaced: StandInsOfRun += StandInsOfFile; return 1;
    case NotReplaced: DiscardTemporary(Plan); ReportUnwritten(window, Plan); return 0;
    case LeftInTemporary:
        // Nothing lost: the box names the file that holds the converted text.
        StandInsOfRun += StandInsOfFile;
        ReportFileProblem(window, IDS_CANT_REPLACE, Plan.temporary);
        Plan.temporary.clear();
        return 0;
    }
    return 0;
}

} // namespace

void DiscardUnfinishedOutput()
{
    if (!FileJobConverting())
        DiscardTemporary(Plan);
}

void TellStandInsOfRun(HWND window)
{
    TellStandIns(window, DestinationOfRun, StandInsOfRun);
    StandInsOfRun = 0;
}

int RunFileJob(HWND window, const FilePath& path)
{
    HANDLE input = CreateFileW(LongForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (input == INVALID_HANDLE_VALUE) {
        ReportFileProblem(window, IDS_CANT_OPEN_FOR_READ, path);
        return 0;
    }
    int detected = -1;
    const DWORD alreadyRead = ShowFileBeginning(window, input, detected);
    const DWORD parameters = AskParameters(window);
    // Detection found the text in the destination code page already: it is
    // left byte for byte as it is, in place not even rewritten.
    const bool copy = detected >= 0 && detected == DestinationOf(parameters);
    const int inPlace = (parameters & ParamOverwriteInput) != 0;
    int converted = 1;
    if (copy && inPlace)
        CloseHandle(input);
    else
        converted = ConvertOpenedFile(window, path, input, inPlace, alreadyRead, copy);
    CatchUpWithClipboard(window);
    // The preview goes back to what it showed before the job: the clipboard.
    AskForPreview(window, 1);
    return converted;
}
