// Recomputing the result pane from the source pane, whose text is first
// taken from the clipboard where the caller asks for it.
#include "preview.h"

#include "conversion_selection.h"
#include "job_pump.h"
#include "preview_text_sizes.h"
#include "settings.h"
#include "stream_converter.h"

namespace {

// One refresh's scratch space, taken whole or not at all: a refresh that
// cannot have it leaves both panes as they were.
struct RefreshBuffers {
    char source[SourceTextSize];
    unsigned char result[ResultTextSize];
    // The second pass converts the whole first result, and a conversion
    // that adds CRs may double what it is given.
    unsigned char cp1251[2 * ResultTextSize];
};

static_assert(2 * (SourceTextSize - 1) < ResultTextSize, "the first result and its NUL fit");

// 0 when the clipboard cannot be opened. Text found there becomes the
// source pane's; without text the pane keeps what it had.
int LoadClipboardText(HWND window, char* source)
{
    if (!OpenClipboard(window))
        return 0;
    HANDLE data = GetClipboardData(CF_TEXT);
    const SIZE_T size = data ? GlobalSize(data) : 0;
    const char* text = size ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (text) {
        // At most 2046 characters, and nothing read past a block that
        // lacks its NUL.
        const SIZE_T limit = size < SourceTextSize - 1 ? size + 1 : SourceTextSize - 1;
        lstrcpynA(source, text, static_cast<int>(limit));
        source[SourceTextSize - 1] = '\0';
        SetWindowTextA(SourcePane, source);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return 1;
}

// The source text converted as the toolbars say, and then into cp1251 when
// asked; returns the NUL-terminated text to show.
const char* ConvertSourceText(RefreshBuffers& buffers, bool intoCp1251)
{
    SelectConversion(0);
    const int length = lstrlenA(buffers.source);
    int converted = ConvertChunk(buffers.result, reinterpret_cast<const unsigned char*>(buffers.source), length, 1);
    converted += FinishStream(buffers.result + converted);
    buffers.result[converted] = '\0';
    if (!intoCp1251)
        return reinterpret_cast<const char*>(buffers.result);

    // From the destination just used; the line-end rule may add CRs again.
    SelectConversion(1);
    int reconverted = ConvertChunk(buffers.cp1251, buffers.result, converted, 1);
    reconverted += FinishStream(buffers.cp1251 + reconverted);
    buffers.cp1251[reconverted] = '\0';
    return reinterpret_cast<const char*>(buffers.cp1251);
}

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
    auto* buffers = static_cast<RefreshBuffers*>(HeapAlloc(heap, 0, sizeof(RefreshBuffers)));
    if (!buffers)
        return;
    if (!fromClipboard || LoadClipboardText(window, buffers->source)) {
        GetWindowTextA(SourcePane, buffers->source, SourceTextSize);
        buffers->source[SourceTextSize - 1] = '\0';
        SetWindowTextA(ResultPane, ConvertSourceText(*buffers, (Settings.Parameters & ParamPreviewCp1251) != 0));
    }
    HeapFree(heap, 0, buffers);
}
