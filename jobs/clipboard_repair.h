// "Repair garbled text": Unicode text on the clipboard that was decoded
// wrongly on its way ("РџСЂРёРІРµС‚") is put back as the text it was.
#pragma once

#include <windows.h>

// Garbled text longer than this is left to the usual conversion: its repair
// would keep the window waiting too long.
const SIZE_T LongestRepairedText = 1 << 20;

// When length UTF-16 units at text read as garbled Cyrillic that the
// repair can undo: new clipboard blocks for the repaired text, as Unicode
// (unicode) and in the destination code page (bytes, bytesLength without
// the NUL; a character that page cannot hold becomes its nearest byte or
// '?'). False when the text needs no repair, or there is no memory for it.
bool RepairedBlocks(const wchar_t* text, SIZE_T length, int destination, HGLOBAL& unicode, HGLOBAL& bytes,
                    SIZE_T& bytesLength);
