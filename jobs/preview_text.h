// The preview's texts: the clipboard's text for the source pane, and what
// a conversion makes of it for the result pane.
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
    // The source is Unicode text that cp1251 cannot hold, which no
    // conversion touches.
    bool unconvertible;
    // The source is garbled Unicode text, and result already holds it
    // repaired, in the destination code page.
    bool repaired;
};

enum PreviewTextLoad { ClipboardNotOpened, ClipboardWithoutText, ClipboardTextCopied };

// Copies the clipboard's text as a conversion reads it, at most
// SourceTextSize - 2 characters, into buffers.source; without text there,
// source is left as it was. With ParamRepairText in parameters, garbled
// Unicode text is repaired into buffers.result as well.
PreviewTextLoad LoadClipboardText(HWND window, PreviewBuffers& buffers, DWORD parameters);

// buffers.source converted as parameters say, and then into cp1251 when
// ParamPreviewCp1251 is set; returns the NUL-terminated text to show. With
// detection on it shows what a conversion would do: from the page the
// detector finds, or nothing at all for text already in the destination
// page, and for text it cannot tell when it is the clipboard's, converted
// automatically (automatic set).
const char* ConvertPreviewText(PreviewBuffers& buffers, DWORD parameters, bool automatic);
