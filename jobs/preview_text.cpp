#include "preview_text.h"

#include "conversion_selection.h"
#include "settings.h"
#include "source_detection.h"
#include "stream_converter.h"

static_assert(2 * (SourceTextSize - 1) < ResultTextSize, "the first result and its NUL fit");

ClipboardTextRead ReadClipboardText(HWND window, char* source)
{
    if (!OpenClipboard(window))
        return ClipboardNotOpened;
    HANDLE data = GetClipboardData(CF_TEXT);
    const SIZE_T size = data ? GlobalSize(data) : 0;
    const char* text = size ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (text) {
        // At most 2046 characters, and nothing read past a block that
        // lacks its NUL.
        const SIZE_T limit = size < SourceTextSize - 1 ? size + 1 : SourceTextSize - 1;
        lstrcpynA(source, text, static_cast<int>(limit));
        source[SourceTextSize - 1] = '\0';
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text ? ClipboardTextCopied : ClipboardWithoutText;
}

const char* ConvertPreviewText(PreviewBuffers& buffers, DWORD parameters, bool automatic)
{
    const auto* source = reinterpret_cast<const unsigned char*>(buffers.source);
    const int length = lstrlenA(buffers.source);
    const int detected = DetectPage(parameters, source, static_cast<SIZE_T>(length));
    const bool leftAlone = detected == DestinationOf(parameters) || (automatic && detected == SourceNotDetected);
    if (detected >= 0)
        parameters = (parameters & ~ParamSourceMask) | static_cast<DWORD>(detected);
    int converted = length;
    if (leftAlone) {
        lstrcpynA(reinterpret_cast<char*>(buffers.result), buffers.source, length + 1);
    } else {
        SelectConversion(parameters);
        converted = ConvertChunk(buffers.result, source, length, 1);
        converted += FinishStream(buffers.result + converted);
    }
    buffers.result[converted] = '\0';
    if (!(parameters & ParamPreviewCp1251))
        return reinterpret_cast<const char*>(buffers.result);

    // From the destination just used; the line-end rule may add CRs again.
    SelectSecondPass(parameters);
    int reconverted = ConvertChunk(buffers.cp1251, buffers.result, converted, 1);
    reconverted += FinishStream(buffers.cp1251 + reconverted);
    buffers.cp1251[reconverted] = '\0';
    return reinterpret_cast<const char*>(buffers.cp1251);
}
