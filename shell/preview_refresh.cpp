// Recomputing both panes from the source text, which is first taken from
// the clipboard where the caller asks for it.
#include "preview.h"

#include "job_pump.h"
#include "live_parameters.h"
#include "preview_text.h"
#include "settings.h"

namespace {

// The bytes the source pane shows, read in the source code page: the
// clipboard's text, or the beginning of a file being converted. Kept here,
// not in the pane, so that a change of code page shows them anew.
char SourceBytes[SourceTextSize];
// They are the beginning of a file being converted, not the clipboard's text.
bool ShowingFile;
// The pane shows the clipboard's Unicode text that no conversion touches.
bool ShowingUnconvertible;
// It shows garbled text, whose repair comes from the clipboard's Unicode
// text, not from the bytes.
bool ShowingRepaired;

} // namespace

void ForgetPreviewSource()
{
    SourceBytes[0] = '\0';
    ShowingFile = ShowingUnconvertible = ShowingRepaired = false;
}

void RefreshPreview(HWND window, int fromClipboard)
{
    if (!(Settings.Parameters & ParamPreview) || !SourcePane || !ResultPane)
        return;
    // Converting, it would select another conversion under the file job's
    // feet; the job refreshes the panes from the clipboard when it ends.
    if (FileJobConverting())
        return;
    HANDLE heap = GetProcessHeap();
    auto* buffers = static_cast<PreviewBuffers*>(HeapAlloc(heap, 0, sizeof(PreviewBuffers)));
    if (!buffers)
        return;
    // Text found on the clipboard becomes the source; without text the
    // panes keep what they had. A clipboard that cannot be opened leaves
    // both panes as they were.
    const DWORD parameters = LiveParameters(window);
    buffers->repaired = false;
    const PreviewTextLoad read = fromClipboard || ShowingRepaired ? LoadClipboardText(window, *buffers, parameters)
                                                                  : ClipboardWithoutText;
    if (read == ClipboardTextCopied) {
        lstrcpynA(SourceBytes, buffers->source, SourceTextSize);
        ShowingFile = false;
        ShowingUnconvertible = buffers->unconvertible;
        ShowingRepaired = buffers->repaired;
        if (ShowingUnconvertible || ShowingRepaired)
            SetWindowTextW(SourcePane, buffers->sourceText);
    }
    buffers->unconvertible = ShowingUnconvertible;
    if (read != ClipboardNotOpened) {
        lstrcpynA(buffers->source, SourceBytes, SourceTextSize);
        // Unicode text stays as it was placed; bytes are read anew in the
        // code page they are converted from.
        const bool placedText = ShowingUnconvertible || ShowingRepaired;
        if (placedText)
            GetWindowTextW(SourcePane, buffers->sourceText, SourceTextSize);
        const bool automatic = (parameters & ParamAutoConvert) && !ShowingFile;
        ConvertPreviewText(*buffers, parameters, automatic);
        if (!placedText)
            SetWindowTextW(SourcePane, buffers->sourceText);
        SetWindowTextW(ResultPane, buffers->resultText);
    }
    HeapFree(heap, 0, buffers);
}

void OnRefreshPreview(HWND window, int fromClipboard, const char* text)
{
    if (text) {
        lstrcpynA(SourceBytes, text, SourceTextSize);
        ShowingFile = true;
        ShowingUnconvertible = ShowingRepaired = false;
        // Shown at once, also while no result pane would have it refreshed.
        if (SourcePane) {
            static wchar_t shown[SourceTextSize];
            ReadInCodePage(SourceBytes, SourceOf(LiveParameters(window)), shown, SourceTextSize);
            SetWindowTextW(SourcePane, shown);
        }
    }
    RefreshPreview(window, fromClipboard);
}
