#include "context_help.h"

#include "commands.h"

void OnLeftButtonDown(HWND, int, int)
{
    if (!ContextHelpMode)
        return;
    ContextHelpMode = 0;
    ReleaseCapture();
}
