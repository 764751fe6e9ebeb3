// The clipboard's text as the bytes a conversion takes, read the way the
// program that copied it wrote it, and the converted bytes as Unicode text
// for the programs that paste.
#pragma once

#include <windows.h>

// The text of the open clipboard. A program that placed Unicode text, in
// whatever order beside its bytes, has it read as Unicode and encoded in
// cp1251, the Cyrillic page of Windows, whatever the system's own ANSI
// page is: there the text's bytes are what CF_TEXT gives on a Russian
// system. A program that placed only bytes (CF_TEXT or CF_OEMTEXT, and at
// most a Unicode text that is their reading in the system's or
// CF_LOCALE's page) has them read as they are, and so has the text that
// the window reading the clipboard put there itself.
struct ClipboardText {
    UINT format;                 // CF_TEXT or CF_UNICODETEXT: how the text was read
    const unsigned char* bytes;  // the bytes to convert; a NUL may end them before size
    SIZE_T size;
    // The text as it lies on the clipboard (up to its NUL), for telling
    // whether it is what this program put there last.
    const unsigned char* placed;
    SIZE_T placedLength;
    // The format's block, locked while the text is read: what goes back
    // should the clipboard refuse the converted text.
    HANDLE block;
    SIZE_T blockSize;
    unsigned char* encoded;  // the heap's: the cp1251 bytes of Unicode text
};

enum ClipboardTextRead {
    NoClipboardText,
    TextToConvert,
    TextBeyondCp1251,  // Unicode text with a character cp1251 has no byte for
    NoMemoryForText,
};

// Reads the open clipboard's text; on TextToConvert the caller ends with
// ReleaseClipboardText while the clipboard is still open.
ClipboardTextRead ReadClipboardText(ClipboardText& text);
void ReleaseClipboardText(ClipboardText& text);

// CF_TEXT as the system gives it, whoever placed what: for showing text
// that ReadClipboardText found beyond cp1251. False when there is none.
bool LockPlainText(ClipboardText& text);

// The Unicode text a program placed, as it is (placed and placedLength,
// in bytes, up to its NUL), whatever cp1251 can hold of it. False when a
// program placed only bytes, or there is no text.
bool LockPlacedUnicode(ClipboardText& text);

// Whether other programs already read the open clipboard's CF_TEXT bytes
// (length of them) as the letters of code page page: they are all ASCII,
// or the system reads them in that page (CF_LOCALE's, else the ANSI page).
// Only then may bytes that a conversion leaves as they are stay without
// the locale that a converted text gets.
bool SystemReadsTextIn(int page, const unsigned char* bytes, SIZE_T length);

// A new block for CF_UNICODETEXT: the bytes up to a NUL (at most count)
// read in code page page, and a NUL. NULL when there is no memory.
HGLOBAL UnicodeBlockOf(const unsigned char* bytes, SIZE_T count, int page);
