#include "screen_scale.h"

int WindowDpi = USER_DEFAULT_SCREEN_DPI;

namespace {

// Looked up at run time: Windows 10 (1607) has the per-window calls,
// Windows 8.1 the per-monitor one in shcore.dll, older systems neither.
typedef UINT(WINAPI* GetDpiForWindowCall)(HWND);
typedef BOOL(WINAPI* AdjustWindowRectExForDpiCall)(RECT*, DWORD, BOOL, DWORD, UINT);
typedef HRESULT(WINAPI* GetDpiForMonitorCall)(HMONITOR, int, UINT*, UINT*);
const int EffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

template <typename Call>
Call User32Call(const char* name)
{
    return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

int MonitorDpi(HWND window)
{
    // From the system folder only, never one a file of that name was put
    // in: every system that has shcore.dll knows the flag.
    static HMODULE shcore = LoadLibraryExA("shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!shcore)
        return 0;
    auto call = reinterpret_cast<GetDpiForMonitorCall>(
        reinterpret_cast<void (*)()>(GetProcAddress(shcore, "GetDpiForMonitor")));
    UINT x = 0, y = 0;
    if (!call || call(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), EffectiveDpi, &x, &y) != S_OK)
        return 0;
    return static_cast<int>(y);
}

} // namespace

int DpiOfWindow(HWND window)
{
    static const auto forWindow = User32Call<GetDpiForWindowCall>("GetDpiForWindow");
    int dpi = forWindow ? static_cast<int>(forWindow(window)) : MonitorDpi(window);
    return dpi > 0 ? dpi : SystemDpi();
}

int ImageMultiple(int dpi)
{
    const int multiple = (dpi + USER_DEFAULT_SCREEN_DPI / 2) / USER_DEFAULT_SCREEN_DPI;
    return multiple > 1 ? multiple : 1;
}

void AdjustFrameForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi)
{
    static const auto forDpi = User32Call<AdjustWindowRectExForDpiCall>("AdjustWindowRectExForDpi");
    if (!forDpi || !forDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}
