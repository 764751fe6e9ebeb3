#include "preview_text.h"

#include "clipboard_repair.h"
#include "clipboard_text.h"
#include "code_page_tables.h"
#include "conversion_selection.h"
#include "settings.h"
#include "source_detection.h"
#include "stream_converter.h"
#include "unicode_tables.h"

static_assert(2 * (SourceTextSize - 1) < ResultTextSize, "the first result and its NUL fit");

namespace {

const wchar_t NoCharacter = 0xFFFD;

// The first result, length bytes in the destination code page, and then
// into cp1251 when ParamPreviewCp1251 is set, as the result pane shows it.
void SecondPass(PreviewBuffers& buffers, DWORD parameters, int length)
{
    const int resultRoom = sizeof buffers.resultText / sizeof *buffers.resultText;
    if (!(parameters & ParamPreviewCp1251)) {
        ReadInCodePage(reinterpret_cast<const char*>(buffers.result), DestinationOf(parameters), buffers.resultText,
                       resultRoom);
        return;
    }
    // From the destination just used; the line-end rule may add CRs again.
    PageConverter converter = SecondPassConverterFor(parameters);
    int reconverted = converter.ConvertText(buffers.cp1251, buffers.result, length);
    reconverted += converter.Finish(buffers.cp1251 + reconverted);
    buffers.cp1251[reconverted] = '\0';
    ReadInCodePage(reinterpret_cast<const char*>(buffers.cp1251), CodePageCp1251, buffers.resultText, resultRoom);
}

// At most count - 1 characters of text and a NUL.
void CopyText(wchar_t* to, const wchar_t* text, SIZE_T length, int count)
{
    const SIZE_T copied = length < static_cast<SIZE_T>(count - 1) ? length : static_cast<SIZE_T>(count - 1);
    CopyMemory(to, text, copied * sizeof(wchar_t));
    to[copied] = L'\0';
}

// The Unicode text a program placed on the open clipboard, as the source
// pane shows it; false when a program placed bytes.
bool LoadPlacedText(PreviewBuffers& buffers)
{
    ClipboardText text;
    if (!LockPlacedUnicode(text))
        return false;
    CopyText(buffers.sourceText, reinterpret_cast<const wchar_t*>(text.placed), text.placedLength / sizeof(wchar_t),
             SourceTextSize - 1);
    ReleaseClipboardText(text);
    return true;
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

void ReadInCodePage(const char* bytes, int page, wchar_t* text, int count)
{
    int length = 0;
    for (; length < count - 1 && bytes[length]; ++length) {
        const unsigned char byte = static_cast<unsigned char>(bytes[length]);
        const wchar_t character = byte < 0x80 ? byte : static_cast<wchar_t>(UnicodeOfByte[page][byte - 0x80]);
        text[length] = character ? character : NoCharacter;
    }
    text[length] = L'\0';
}

PreviewTextLoad LoadClipboardText(HWND window, PreviewBuffers& buffers, DWORD parameters)
{
    if (!OpenClipboard(window))
        return ClipboardNotOpened;
    buffers.repaired = (parameters & ParamRepairText) && LoadRepairedText(buffers, DestinationOf(parameters));
    ClipboardText text;
    ClipboardTextRead read = buffers.repaired ? TextBeyondCp1251 : ReadClipboardText(text);
    // Text that cp1251 cannot hold, and garbled text, is shown as the
    // program placed it; its bytes as the system gives them stand for it.
    buffers.unconvertible = read == TextBeyondCp1251 && !buffers.repaired;
    if (read == TextBeyondCp1251 && LoadPlacedText(buffers) && LockPlainText(text))
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

void ConvertPreviewText(PreviewBuffers& buffers, DWORD parameters, bool automatic)
{
    if (buffers.unconvertible) {
        CopyText(buffers.resultText, buffers.sourceText, static_cast<SIZE_T>(lstrlenW(buffers.sourceText)),
                 SourceTextSize);
        return;
    }
    if (buffers.repaired) {
        SecondPass(buffers, parameters, lstrlenA(reinterpret_cast<const char*>(buffers.result)));
        return;
    }
    const auto* source = reinterpret_cast<const unsigned char*>(buffers.source);
    const int length = lstrlenA(buffers.source);
    const int detected = DetectPage(parameters, source, static_cast<SIZE_T>(length));
    const bool leftAlone = detected == DestinationOf(parameters) || (automatic && detected == SourceNotDetected);
    if (detected >= 0)
        parameters = (parameters & ~ParamSourceMask) | static_cast<DWORD>(detected);
    ReadInCodePage(buffers.source, SourceOf(parameters), buffers.sourceText, SourceTextSize);
    int converted = length;
    if (leftAlone) {
        lstrcpynA(reinterpret_cast<char*>(buffers.result), buffers.source, length + 1);
    } else {
        PageConverter converter = ConverterFor(parameters);
        converted = converter.ConvertText(buffers.result, source, length);
        converted += converter.Finish(buffers.result + converted);
    }
    buffers.result[converted] = '\0';
    SecondPass(buffers, parameters, converted);
}
