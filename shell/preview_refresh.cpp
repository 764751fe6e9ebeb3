// Recomputing the result pane from the source pane, whose text is first
// taken from the clipboard where the caller asks for it.
#include "preview.h"

#include "job_pump.h"
#include "live_parameters.h"
#include "preview_text.h"
#include "settings.h"

namespace {

// The source pane shows the beginning of a file being converted, not the
// clipboard's text.
bool ShowingFile;
// It shows the clipboard's Unicode text that no conversion touches.
bool ShowingUnconvertible;
// It shows garbled text, whose repair comes from the clipboard's Unicode
// text, not from the pane's bytes.
bool ShowingRepaired;

} // namespace

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
    // Text found on the clipboard becomes the source pane's; without text
    // the pane keeps what it had. A clipboard that cannot be opened leaves
    // both panes as they were.
    const DWORD parameters = LiveParameters(window);
    buffers->repaired = false;
    const PreviewTextLoad read = fromClipboard || ShowingRepaired ? LoadClipboardText(window, *buffers, parameters)
                                                                  : ClipboardWithoutText;
    if (read == ClipboardTextCopied) {
        SetWindowTextA(SourcePane, buffers->source);
        ShowingFile = false;
        ShowingUnconvertible = buffers->unconvertible;
        ShowingRepaired = buffers->repaired;
    }
    buffers->unconvertible = ShowingUnconvertible;
    if (read != ClipboardNotOpened) {
        GetWindowTextA(SourcePane, buffers->source, SourceTextSize);
        buffers->source[SourceTextSize - 1] = '\0';
        const bool automatic = (parameters & ParamAutoConvert) && !ShowingFile;
        SetWindowTextA(ResultPane, ConvertPreviewText(*buffers, parameters, automatic));
    }
    HeapFree(heap, 0, buffers);
}

void OnRefreshPreview(HWND window, int fromClipboard, const char* text)
{
    if (text && SourcePane) {
        SetWindowTextA(SourcePane, text);
        ShowingFile = true;
        ShowingUnconvertible = ShowingRepaired = false;
    }
    RefreshPreview(window, fromClipboard);
}
