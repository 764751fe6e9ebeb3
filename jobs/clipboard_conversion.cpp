#include "clipboard_conversion.h"

#include <cstring>

#include "clipboard_repair.h"
#include "clipboard_text.h"
#include "conversion_selection.h"
#include "job_pump.h"
#include "resource_ids.h"
#include "settings.h"
#include "source_detection.h"
#include "window_requests.h"

HWND NextViewer;
HANDLE(WINAPI* PutClipboardData)(UINT format, HANDLE block) = SetClipboardData;

namespace {

// Russian, whatever the destination code page: it is what lets other
// programs turn the 8-bit text into the right Unicode characters.
const DWORD RussianLocale = 1049;

// Set while SetClipboardViewer runs: the notification that joining brings
// (and the one of a conversion it sets off) come before the next window
// of the chain is known.
bool JoiningChain;
bool WithheldWhileJoining;

// How deep this window is in its own sends of WM_DRAWCLIPBOARD along the
// chain. A window further on that changes the clipboard while it hears of
// a change brings the next notification here while the first is still on
// the stack; it waits in the queue instead, so that the stack stays flat
// whatever the other program does.
int PassingOn;

// A change of the clipboard heard while a file job had the engine, still
// to be acted on.
bool ChangeHeardDuringJob;

void PassDrawClipboardOn(WPARAM wParam, LPARAM lParam)
{
    if (JoiningChain) {
        WithheldWhileJoining = true;
        return;
    }
    if (!NextViewer)
        return;
    ++PassingOn;
    SendMessageA(NextViewer, WM_DRAWCLIPBOARD, wParam, lParam);
    --PassingOn;
}

// The text this window last put on the clipboard, as a length and a hash,
// once as bytes (CF_TEXT) and once as Unicode (CF_UNICODETEXT). A program
// that puts that very text back (clipboard managers do) must not have it
// converted a second time, which would garble it.
struct TextPrint {
    SIZE_T length;
    unsigned long long hash;
};
TextPrint LastConverted, LastConvertedUnicode;

TextPrint PrintOf(const unsigned char* bytes, SIZE_T length)
{
    TextPrint print = {length, 14695981039346656037ull};
    for (SIZE_T n = 0; n < length; ++n)
        print.hash = (print.hash ^ bytes[n]) * 1099511628211ull;
    return print;
}

bool IsLastConverted(const ClipboardText& text)
{
    const TextPrint print = PrintOf(text.placed, text.placedLength);
    const TextPrint& last = text.format == CF_UNICODETEXT ? LastConvertedUnicode : LastConverted;
    return print.length == last.length && print.hash == last.hash;
}

// The bytes up to a NUL (at most size), converted into a new block that
// the clipboard can own and ending in a NUL; NULL when no block can be
// had. written is set to the bytes before the NUL, standIns to how many
// characters had no place in the destination code page.
HGLOBAL ConvertIntoNewBlock(DWORD parameters, const unsigned char* text, unsigned size, SIZE_T& written,
                            unsigned& standIns)
{
    static const unsigned char Nul = 0;
    // Text from a careless program may fill its block without a NUL: the
    // converter then stops at the block's end and is handed the NUL on its
    // own, as the same stream, so a CR pending at the end is still written.
    // With a NUL in the block the estimate never reads past it, and sizes
    // the result for the whole block and one byte more.
    const void* nul = std::memchr(text, 0, size);
    const bool terminated = nul != nullptr;
    PageConverter converter = ConverterFor(parameters);
    const unsigned textLength =
        terminated ? static_cast<unsigned>(static_cast<const unsigned char*>(nul) - text) : size;
    standIns = converter.CountStandIns(text, textLength);
    const unsigned outputSize = terminated ? converter.Estimate(text, size + 1)
                                           : converter.Estimate(text, size) + converter.Estimate(&Nul, 1);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, outputSize);
    if (!block)
        return nullptr;
    unsigned char* output = static_cast<unsigned char*>(GlobalLock(block));
    if (!output) {
        GlobalFree(block);
        return nullptr;
    }
    int length = converter.ConvertText(output, text, size);
    if (!terminated)
        length += converter.ConvertText(output + length, &Nul, 1);
    written = static_cast<SIZE_T>(length) - 1;
    GlobalUnlock(block);
    return block;
}

// Whether the conversion gave back the very bytes it was given (length of
// them before the NUL): English, numbers, text already in the destination
// code page. The clipboard then stays as the program left it, with every
// format beside the text (the formatting of a browser or a word
// processor) and its owner, which a conversion would throw away.
bool LeavesTextAsItWas(HGLOBAL converted, SIZE_T written, const unsigned char* text, SIZE_T length)
{
    if (written != length)
        return false;
    const void* bytes = GlobalLock(converted);
    const bool same = bytes && std::memcmp(bytes, text, length) == 0;
    if (bytes)
        GlobalUnlock(converted);
    return same;
}

// The user's text as it was, for the clipboard should it refuse the
// converted one after it has been emptied.
HGLOBAL CopyOfBlock(const void* bytes, SIZE_T size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    void* copy = block ? GlobalLock(block) : nullptr;
    if (!copy) {
        if (block)
            GlobalFree(block);
        return nullptr;
    }
    std::memcpy(copy, bytes, size);
    GlobalUnlock(block);
    return block;
}

void AddRussianLocale()
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof RussianLocale);
    if (!block)
        return;
    DWORD* locale = static_cast<DWORD*>(GlobalLock(block));
    if (!locale) {
        GlobalFree(block);
        return;
    }
    *locale = RussianLocale;
    GlobalUnlock(block);
    if (!SetClipboardData(CF_LOCALE, block))
        GlobalFree(block);
}

// The converted text for the programs that paste Unicode: the bytes read in
// the destination code page, so that they get the letters the page shows.
// NULL when there is no memory for it; the system then makes the Unicode
// text from the bytes and CF_LOCALE.
HGLOBAL UnicodeTextOf(HGLOBAL converted, int destination)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(GlobalLock(converted));
    HGLOBAL unicode = bytes ? UnicodeBlockOf(bytes, GlobalSize(converted), destination) : nullptr;
    if (bytes)
        GlobalUnlock(converted);
    return unicode;
}

// The clipboard's new text: the bytes (CF_TEXT, length of them before
// the NUL) and their Unicode form (CF_UNICODETEXT, or NULL for none), and
// the user's text as it was (in format), to go back should the clipboard
// refuse the new one.
struct NewText {
    HGLOBAL bytes;
    SIZE_T length;
    HGLOBAL unicode;
    UINT format;
    HGLOBAL original;
};

TextPrint PrintOfBlock(HGLOBAL block, SIZE_T length)
{
    TextPrint print = {};
    if (const unsigned char* data = block ? static_cast<const unsigned char*>(GlobalLock(block)) : nullptr) {
        print = PrintOf(data, length);
        GlobalUnlock(block);
    }
    return print;
}

// Replaces the open clipboard's contents with text, or puts the user's
// text back when the clipboard refuses it; every block goes to the
// clipboard or is freed. True when the new text went in.
bool PutNewText(const NewText& text)
{
    const TextPrint printed = PrintOfBlock(text.bytes, text.length);
    const TextPrint printedUnicode =
        text.unicode ? PrintOfBlock(text.unicode, GlobalSize(text.unicode) - sizeof(wchar_t)) : TextPrint();
    EmptyClipboard();
    // Bytes first, as ever: old programs, and this one, read those.
    if (PutClipboardData(CF_TEXT, text.bytes)) {
        GlobalFree(text.original);
        LastConverted = printed;
        AddRussianLocale();
        LastConvertedUnicode = printedUnicode;
        if (text.unicode && !PutClipboardData(CF_UNICODETEXT, text.unicode))
            GlobalFree(text.unicode);
        return true;
    } else {
        GlobalFree(text.bytes);
        if (text.unicode)
            GlobalFree(text.unicode);
        if (!SetClipboardData(text.format, text.original))
            GlobalFree(text.original);
        return false;
    }
}

// "Repair garbled text": the open clipboard's Unicode text, repaired when
// it reads as garbled; true when the clipboard got the repaired text.
bool ReplaceGarbledText(DWORD parameters, bool automatic)
{
    ClipboardText text;
    if (!LockPlacedUnicode(text))
        return false;
    NewText repaired = {nullptr, 0, nullptr, CF_UNICODETEXT, nullptr};
    const bool done = !(automatic && IsLastConverted(text)) &&
                      RepairedBlocks(reinterpret_cast<const wchar_t*>(text.placed), text.placedLength / sizeof(wchar_t),
                                     DestinationOf(parameters), repaired.unicode, repaired.bytes, repaired.length);
    repaired.original = done ? CopyOfBlock(text.placed, text.blockSize) : nullptr;
    ReleaseClipboardText(text);
    if (!done)
        return false;
    // Without the way back, emptying the clipboard could throw the user's
    // text away.
    if (!repaired.original) {
        GlobalFree(repaired.bytes);
        GlobalFree(repaired.unicode);
        return false;
    }
    PutNewText(repaired);
    return true;
}

// ConvertClipboard's work, with the code pages and switches of parameters;
// true when it replaced the clipboard's contents, which brings a
// notification of its own along the chain. An automatic conversion leaves
// alone the text this window itself put there last, and, with detection
// on, text whose code page the detector cannot tell: only a conversion the
// user asks for takes the code page on the button for it. Unicode text
// with a character that cp1251 cannot hold is never converted: it would
// come back with a '?' for it. Nor is text that the conversion would give
// back byte for byte: the clipboard keeps it as the program put it.
bool ReplaceClipboardText(HWND window, DWORD parameters, bool automatic)
{
    if (!OpenClipboard(window))
        return false;
    if ((parameters & ParamRepairText) && ReplaceGarbledText(parameters, automatic)) {
        CloseClipboard();
        return true;
    }
    ClipboardText text;
    if (ReadClipboardText(text) != TextToConvert) {
        CloseClipboard();
        return false;
    }
    if (automatic && IsLastConverted(text)) {
        ReleaseClipboardText(text);
        CloseClipboard();
        return false;
    }
    // Text that is already in the destination code page stays as it is.
    const void* end = std::memchr(text.bytes, 0, text.size);
    const SIZE_T length = end ? static_cast<SIZE_T>(static_cast<const unsigned char*>(end) - text.bytes) : text.size;
    const int detected = DetectSource(window, parameters, text.bytes, length);
    if (detected == DestinationOf(parameters) || (automatic && detected == SourceNotDetected)) {
        ReleaseClipboardText(text);
        CloseClipboard();
        return false;
    }
    NewText converted = {nullptr, 0, nullptr, text.format, nullptr};
    unsigned standIns = 0;
    converted.bytes =
        ConvertIntoNewBlock(parameters, text.bytes, static_cast<unsigned>(text.size), converted.length, standIns);
    // Bytes of an 8-bit program that the system reads in another page than
    // the destination (cp1251 on a Western system) still gain the locale
    // and the Unicode text that make other programs read them right.
    const bool readRight = text.format != CF_TEXT || SystemReadsTextIn(DestinationOf(parameters), text.bytes, length);
    const bool changed = converted.bytes &&
                         !(readRight && LeavesTextAsItWas(converted.bytes, converted.length, text.bytes, length));
    converted.original = changed ? CopyOfBlock(text.placed, text.blockSize) : nullptr;
    ReleaseClipboardText(text);
    // Nothing to change, or no blocks for the result and for the way back,
    // without which emptying the clipboard could throw the user's text away.
    if (!converted.original) {
        if (converted.bytes)
            GlobalFree(converted.bytes);
        CloseClipboard();
        return false;
    }
    converted.unicode = UnicodeTextOf(converted.bytes, DestinationOf(parameters));
    const bool put = PutNewText(converted);
    CloseClipboard();
    // The program cannot ask in the middle of a paste: it says afterwards.
    if (put)
        TellStandIns(window, DestinationOf(parameters), standIns);
    return true;
}

bool ClipboardHasText() { return IsClipboardFormatAvailable(CF_TEXT) != 0; }

// A notification of a change, or one held back during a file job and
// already passed on (passOn false).
void ActOnClipboardChange(HWND window, WPARAM wParam, LPARAM lParam, bool passOn)
{
    const DWORD parameters = AskParameters(window);
    // Only the main window's own changes are kept from a second conversion;
    // text copied from a preview pane comes from another window.
    const bool foreignText = ClipboardHasText() && GetClipboardOwner() != window;
    if ((parameters & ParamAutoConvert) && foreignText) {
        AskForPreview(window, 1);
        // The windows after this one hear of the converted text only, from
        // the notification that the conversion itself brings. When nothing
        // was converted, that one never comes: this one goes on instead.
        if (!ReplaceClipboardText(window, parameters, true) && passOn)
            PassDrawClipboardOn(wParam, lParam);
        return;
    }
    if ((parameters & ParamPreview) && foreignText)
        AskForPreview(window, 1);
    if (passOn)
        PassDrawClipboardOn(wParam, lParam);
}

} // namespace

void ConvertClipboard(HWND window)
{
    // The engine's one conversion is the file job's until it ends.
    if (FileJobConverting()) {
        MessageBeep(MB_OK);
        return;
    }
    ReplaceClipboardText(window, AskParameters(window), false);
}

void JoinClipboardChain(HWND window)
{
    JoiningChain = true;
    WithheldWhileJoining = false;
    NextViewer = SetClipboardViewer(window);
    JoiningChain = false;
    // Text converted the moment this window joined is news to the rest of
    // the chain, which hears of it once. Any other notification of the
    // join was this window's alone.
    if (WithheldWhileJoining && GetClipboardOwner() == window)
        PassDrawClipboardOn(0, 0);
}

void OnDrawClipboard(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (PassingOn) {
        PostMessageA(window, WM_DEFERRED_DRAWCLIPBOARD, wParam, lParam);
        return;
    }
    // The rest of the chain must not wait for a file job; this window acts
    // on the change once the job has let go of the engine.
    if (FileJobConverting()) {
        ChangeHeardDuringJob = true;
        PassDrawClipboardOn(wParam, lParam);
        return;
    }
    ActOnClipboardChange(window, wParam, lParam, true);
}

void CatchUpWithClipboard(HWND window)
{
    if (!ChangeHeardDuringJob)
        return;
    ChangeHeardDuringJob = false;
    ActOnClipboardChange(window, 0, 0, false);
}

void OnChangeClipboardChain(HWND, HWND removed, HWND next)
{
    if (removed == NextViewer)
        NextViewer = next;
    if (NextViewer)
        SendMessageA(NextViewer, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(removed), reinterpret_cast<LPARAM>(next));
}
