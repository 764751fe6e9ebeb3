// The preview's texts: the clipboard's text for the source pane, and what
// a conversion makes of it for the result pane, both as the Unicode text a
// Russian system shows for their bytes, whatever the system's own code
// page is.
#pragma once

#include <windows.h>

#include "preview_text_sizes.h"

// One refresh's scratch space, taken whole or not at all.
struct PreviewBuffers {
    char source[SourceTextSize];
    unsigned char result[ResultTextSize];
    // The second pass converts the whole first result, and a conversion
    // that adds CRs may double what it is given.
    unsigned char cp1251[2 * ResultTextSize];
    // What the panes show: the source's bytes read in the code page they
    // are converted from, or the Unicode text as a program placed it; the
    // result's bytes read in the code page they are in.
    wchar_t sourceText[SourceTextSize];
    wchar_t resultText[2 * ResultTextSize];
    // The source is Unicode text that cp1251 cannot hold, which no
    // conversion touches: sourceText holds it, and the result is the same.
    bool unconvertible;
    // The source is garbled Unicode text (sourceText), and result already
    // holds it repaired, in the destination code page.
    bool repaired;
};

enum PreviewTextLoad { ClipboardNotOpened, ClipboardWithoutText, ClipboardTextCopied };

// Copies the clipboard's text as a conversion reads it, at most
// SourceTextSize - 2 characters, into buffers.source, and Unicode text that
// is shown as it was placed into buffers.sourceText; without text there,
// both are left as they were. With ParamRepairText in parameters, garbled
// Unicode text is repaired into buffers.result as well.
PreviewTextLoad LoadClipboardText(HWND window, PreviewBuffers& buffers, DWORD parameters);

// buffers.source converted as parameters say, and then into cp1251 when
// ParamPreviewCp1251 is set, into buffers.resultText; buffers.sourceText
// gets the source's bytes as they read in the page converted from, unless
// the source is Unicode text shown as placed. With detection on it shows
// what a conversion would do: from the page the detector finds, or nothing
// at all for text already in the destination page, and for text it cannot
// tell when it is the clipboard's, converted automatically (automatic set).
void ConvertPreviewText(PreviewBuffers& buffers, DWORD parameters, bool automatic);

// The bytes up to a NUL as Unicode text in code page page, at most count
// - 1 characters and a NUL; a byte that is no character of that page
// shows as U+FFFD.
void ReadInCodePage(const char* bytes, int page, wchar_t* text, int count);
