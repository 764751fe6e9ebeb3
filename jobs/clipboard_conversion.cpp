#include "clipboard_conversion.h"

void ConvertClipboard(HWND)
{
}
