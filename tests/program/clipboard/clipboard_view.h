// What a program finds on the clipboard, in a fixed-size record that the
// helper program can share with the tests as it is.
#pragma once

#include <windows.h>

const unsigned ClipboardViewTextCapacity = 512;
const unsigned ClipboardViewFormatCapacity = 16;

struct ClipboardView {
    DWORD owner;           // the owner window's handle, as a number
    DWORD hasText;         // CF_TEXT could be read
    DWORD blockSize;       // GlobalSize of the CF_TEXT block
    DWORD terminated;      // a NUL ends the text within the block
    DWORD textLength;      // bytes before the NUL, or the block's size
    DWORD locale;          // the CF_LOCALE value; 0 when there is none
    DWORD formatCount;     // how many formats EnumClipboardFormats gives
    DWORD formats[ClipboardViewFormatCapacity];  // the first of them
    char text[ClipboardViewTextCapacity];        // the first textLength bytes
};

// Fills view from the clipboard, which the caller holds open.
void ReadOpenClipboard(ClipboardView& view);

// Opens the clipboard with window (which may be NULL), reads it and closes
// it; false when it cannot be opened.
bool ReadClipboard(HWND window, ClipboardView& view);
