#include "preview_text.h"

#include "clipboard_repair.h"
#include "clipboard_text.h"
#include "conversion_selection.h"
#include "settings.h"
#include "source_detection.h"

static_assert(2 * (SourceTextSize - 1) < ResultTextSize, "the first result and its NUL fit");

namespace {

// The first result, length bytes in the destination code page, and then
// into cp1251 when ParamPreviewCp1251 is set.
const char* SecondPass(PreviewBuffers& buffers, DWORD parameters, int length)
{
    if (!(parameters & ParamPreviewCp1251))
        return reinterpret_cast<const char*>(buffers.result);
    // From the destination just used; the line-end rule may add CRs again.
    PageConverter converter = SecondPassConverterFor(parameters);
    int reconverted = converter.ConvertText(buffers.cp1251, buffers.result, length);
    reconverted += converter.Finish(buffers.cp1251 + reconverted);
    buffers.cp1251[reconverted] = '\0';
    return reinterpret_cast<const char*>(buffers.cp1251);
}

// The open clipboard's Unicode text, repaired, into buffers.result (as much
// of it as the pane takes); false when it needs no repair.
bool LoadRepairedText(PreviewBuffers& buffers, int destination)
{
    ClipboardText text;
    if (!LockPlacedUnicode(text))
        return false;
    HGLOBAL unicode = nullptr, bytes = nullptr;
    SIZE_T length = 0;
    const bool repaired = RepairedBlocks(reinterpret_cast<const wchar_t*>(text.placed),
                                         text.placedLength / sizeof(wchar_t), destination, unicode, bytes, length);
    ReleaseClipboardText(text);
    if (!repaired)
        return false;
    const char* data = static_cast<const char*>(GlobalLock(bytes));
    lstrcpynA(reinterpret_cast<char*>(buffers.result), data ? data : "", SourceTextSize - 1);
    GlobalUnlock(bytes);
    GlobalFree(bytes);
    GlobalFree(unicode);
    return true;
}

} // namespace

PreviewTextLoad LoadClipboardText(HWND window, PreviewBuffers& buffers, DWORD parameters)
{
    if (!OpenClipboard(window))
        return ClipboardNotOpened;
    buffers.repaired = (parameters & ParamRepairText) && LoadRepairedText(buffers, DestinationOf(parameters));
    ClipboardText text;
    ClipboardTextRead read = buffers.repaired ? TextBeyondCp1251 : ReadClipboardText(text);
    // Text that cp1251 cannot hold, and garbled text, is shown as the system
    // gives it in bytes.
    buffers.unconvertible = read == TextBeyondCp1251 && !buffers.repaired;
    if (read == TextBeyondCp1251 && LockPlainText(text))
        read = TextToConvert;
    if (read == TextToConvert) {
        // At most 2046 characters, and nothing read past a block that
        // lacks its NUL.
        const SIZE_T limit = text.size < SourceTextSize - 1 ? text.size + 1 : SourceTextSize - 1;
        lstrcpynA(buffers.source, reinterpret_cast<const char*>(text.bytes), static_cast<int>(limit));
        buffers.source[SourceTextSize - 1] = '\0';
        ReleaseClipboardText(text);
    }
    CloseClipboard();
    return read == TextToConvert ? ClipboardTextCopied : ClipboardWithoutText;
}

const char* ConvertPreviewText(PreviewBuffers& buffers, DWORD parameters, bool automatic)
{
    if (buffers.repaired)
        return SecondPass(buffers, parameters, lstrlenA(reinterpret_cast<const char*>(buffers.result)));
    const auto* source = reinterpret_cast<const unsigned char*>(buffers.source);
    const int length = lstrlenA(buffers.source);
    const int detected = DetectPage(parameters, source, static_cast<SIZE_T>(length));
    const bool leftAlone = buffers.unconvertible || detected == DestinationOf(parameters) ||
                           (automatic && detected == SourceNotDetected);
    if (detected >= 0)
        parameters = (parameters & ~ParamSourceMask) | static_cast<DWORD>(detected);
    int converted = length;
    if (leftAlone) {
        lstrcpynA(reinterpret_cast<char*>(buffers.result), buffers.source, length + 1);
    } else {
        PageConverter converter = ConverterFor(parameters);
        converted = converter.ConvertText(buffers.result, source, length);
        converted += converter.Finish(buffers.result + converted);
    }
    buffers.result[converted] = '\0';
    return SecondPass(buffers, parameters, converted);
}
