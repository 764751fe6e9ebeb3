// Fixes the engine's conversion from a Parameters word: its code pages and
// its "Convert NewLines" switch.
#pragma once

#include <windows.h>

void SelectConversion(DWORD parameters);

// The preview's second pass: from the destination just converted into, to
// cp1251, with the same line-end rule.
void SelectSecondPass(DWORD parameters);
