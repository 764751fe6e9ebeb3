#include "stored_scale.h"

int SystemDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int ToScreen(int value96, int dpi)
{
    return MulDiv(value96, dpi, USER_DEFAULT_SCREEN_DPI);
}

int ToStored(int pixels, int dpi)
{
    return MulDiv(pixels, USER_DEFAULT_SCREEN_DPI, dpi);
}
