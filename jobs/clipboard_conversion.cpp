#include "clipboard_conversion.h"

#include <commctrl.h>

#include <cstring>

#include "conversion_selection.h"
#include "main_window.h"
#include "preview.h"
#include "resource_ids.h"
#include "settings.h"
#include "stream_converter.h"
#include "toolbars.h"

HWND NextViewer;

namespace {

// Russian, whatever the destination code page: it is what lets other
// programs turn the 8-bit text into the right Unicode characters.
const DWORD RussianLocale = 1049;

void PassDrawClipboardOn(WPARAM wParam, LPARAM lParam)
{
    if (NextViewer)
        SendMessageA(NextViewer, WM_DRAWCLIPBOARD, wParam, lParam);
}

// The text of the size-byte block at text, up to its NUL, converted into a
// new block that the clipboard can own and ending in a NUL; NULL when no
// block can be had.
HGLOBAL ConvertIntoNewBlock(const unsigned char* text, unsigned size)
{
    static const unsigned char Nul = 0;
    // Text from a careless program may fill its block without a NUL: the
    // converter then stops at the block's end and is handed the NUL on its
    // own, as the same stream, so a CR pending at the end is still written.
    // With a NUL in the block the estimate never reads past it, and sizes
    // the result for the whole block and one byte more.
    const bool terminated = std::memchr(text, 0, size) != nullptr;
    SelectConversion(0);
    const unsigned outputSize = terminated ? EstimateOutputSize(text, size + 1, 1)
                                           : EstimateOutputSize(text, size, 1) + EstimateOutputSize(&Nul, 1, 0);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, outputSize);
    if (!block)
        return nullptr;
    unsigned char* output = static_cast<unsigned char*>(GlobalLock(block));
    if (!output) {
        GlobalFree(block);
        return nullptr;
    }
    const int written = ConvertChunk(output, text, size, 1);
    if (!terminated)
        ConvertChunk(output + written, &Nul, 1, 0);
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

// ConvertClipboard's work; true when it replaced the clipboard's contents,
// which brings a notification of its own along the chain.
bool ReplaceClipboardText(HWND window)
{
    if (!OpenClipboard(window))
        return false;
    HANDLE source = GetClipboardData(CF_TEXT);
    const SIZE_T size = source ? GlobalSize(source) : 0;
    const unsigned char* text = size ? static_cast<const unsigned char*>(GlobalLock(source)) : nullptr;
    if (!text) {
        CloseClipboard();
        return false;
    }
    HGLOBAL converted = ConvertIntoNewBlock(text, static_cast<unsigned>(size));
    GlobalUnlock(source);
    // Without a block for the result, emptying the clipboard would only
    // throw the user's text away.
    if (!converted) {
        CloseClipboard();
        return false;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_TEXT, converted))
        GlobalFree(converted);
    AddRussianLocale();
    CloseClipboard();
    return true;
}

bool ClipboardHasText() { return IsClipboardFormatAvailable(CF_TEXT) != 0; }

} // namespace

void ConvertClipboard(HWND window)
{
    ReplaceClipboardText(window);
}

void OnDrawClipboard(HWND window, WPARAM wParam, LPARAM lParam)
{
    const bool automatic = SendMessageA(CommandBar, TB_ISBUTTONCHECKED, IDM_AUTO_CONVERT, 0) != 0;
    const bool text = ClipboardHasText();
    // Only the main window's own changes are kept from a second conversion;
    // text copied from a preview pane comes from another window.
    const bool foreignText = text && GetClipboardOwner() != window;
    if (!automatic) {
        SendMessageA(CommandBar, TB_ENABLEBUTTON, IDM_CONVERT_CLIPBOARD, MAKELPARAM(text ? 1 : 0, 0));
        EnableMenuItem(CommandMenu, IDM_CONVERT_CLIPBOARD, MF_BYCOMMAND | (text ? MF_ENABLED : MF_GRAYED));
    } else if (foreignText) {
        RefreshPreview(window, 1);
        // The windows after this one hear of the converted text only, from
        // the notification that the conversion itself brings. When nothing
        // was converted, that one never comes: this one goes on instead.
        if (!ReplaceClipboardText(window))
            PassDrawClipboardOn(wParam, lParam);
        return;
    }
    if ((Settings.Parameters & ParamPreview) && foreignText)
        RefreshPreview(window, 1);
    PassDrawClipboardOn(wParam, lParam);
}

void OnChangeClipboardChain(HWND, HWND removed, HWND next)
{
    if (removed == NextViewer)
        NextViewer = next;
    if (NextViewer)
        SendMessageA(NextViewer, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(removed), reinterpret_cast<LPARAM>(next));
}
