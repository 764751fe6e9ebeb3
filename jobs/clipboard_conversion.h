// Converting the text on the clipboard in place.
#pragma once

#include <windows.h>

void ConvertClipboard(HWND window);
