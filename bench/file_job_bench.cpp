// Times the real window's file job on one file, in place (KOI8-R to
// cp1251), and shows what the user would feel meanwhile: how long the
// window went without a repaint, and how soon it noticed Esc and was idle
// again.
//
//   file_job_bench.exe FILE [damage] [cancel MS]
//
// With "damage" a second thread invalidates the window every few
// milliseconds, so that a repaint is always due: the gaps between the
// repaints are then the gaps between the job's looks at its messages.
// Without it nothing but the job's own title asks for a repaint, as when
// nobody touches the window: the time is the job's. "cancel MS" posts Esc
// that long after the job began. bench/compare_file_job_iconv.sh runs it
// beside the iconv command.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>

#include "file_conversion.h"
#include "main_window.h"
#include "settings.h"

namespace {

LARGE_INTEGER Frequency;

double Now()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(Frequency.QuadPart);
}

enum { BeforeJob, InJob, AfterJob };
volatile LONG Stage = BeforeJob;
bool Damage;
int CancelAfterMs;
double JobStart, EscPosted = -1, CancelledShown = -1;
double LastPaint = -1, LargestPaintGap, FinalGap;
int Paints;
WNDPROC WindowProc;

LRESULT CALLBACK TimedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT && Stage == InJob && !lstrcmpA(reinterpret_cast<const char*>(lParam), "Cancelled - Tarvo"))
        CancelledShown = Now();
    if (message == WM_PAINT && Stage == InJob) {
        const double now = Now();
        const double gap = now - (LastPaint < 0 ? JobStart : LastPaint);
        if (gap > LargestPaintGap)
            LargestPaintGap = gap;
        LastPaint = now;
        ++Paints;
    }
    return CallWindowProcA(WindowProc, window, message, wParam, lParam);
}

DWORD WINAPI Meanwhile(void*)
{
    while (Stage == BeforeJob)
        Sleep(1);
    while (Stage == InJob) {
        if (Damage)
            InvalidateRect(MainWindow, nullptr, FALSE);
        if (CancelAfterMs && EscPosted < 0 && Now() - JobStart >= CancelAfterMs / 1000.0) {
            EscPosted = Now();
            PostMessageA(MainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
        }
        Sleep(5);
    }
    return 0;
}

void Pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

double MiB(SIZE_T bytes) { return static_cast<double>(bytes) / (1 << 20); }

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: file_job_bench FILE [damage] [cancel MS]\n");
        return 2;
    }
    for (int n = 2; n < argc; ++n) {
        if (!lstrcmpA(argv[n], "damage"))
            Damage = true;
        else if (!lstrcmpA(argv[n], "cancel") && n + 1 < argc)
            CancelAfterMs = std::atoi(argv[++n]);
    }
    QueryPerformanceFrequency(&Frequency);

    // The program's first start, but converting in place: no dialog, and
    // nothing read from or written to the registry.
    Instance = GetModuleHandleA(nullptr);
    InitCommonControls();
    Initializing = 1;
    Settings = SettingsRecord();
    Settings.Parameters = DefaultParameters | ParamOverwriteInput;
    Settings.X = Settings.Y = 100;
    if (!RegisterMainWindowClass(Instance) || !CreateMainWindow(Instance))
        return 1;
    ShowWindow(MainWindow, SW_SHOWNOACTIVATE);
    UpdateWindow(MainWindow);
    WindowProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(MainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TimedWindowProc)));
    Pump();

    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (!GetFileAttributesExA(argv[1], GetFileExInfoStandard, &attributes))
        return 1;
    const double size = (static_cast<double>(attributes.nFileSizeHigh) * 4294967296.0 + attributes.nFileSizeLow);

    HANDLE thread = CreateThread(nullptr, 0, Meanwhile, nullptr, 0, nullptr);
    JobStart = Now();
    InterlockedExchange(&Stage, InJob);
    wchar_t path[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, argv[1], -1, path, MAX_PATH))
        return 1;
    const int converted = ConvertFile(MainWindow, path);
    const double end = Now();
    InterlockedExchange(&Stage, AfterJob);
    // From the last repaint to the job's end: the last blocks, the flush to
    // disk and the rename.
    FinalGap = end - (LastPaint < 0 ? JobStart : LastPaint);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);

    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);

    const double seconds = end - JobStart;
    std::printf("job: %.1f MiB in place, %s, %.3f s, %.0f MiB/s\n", size / (1 << 20),
                converted ? "converted" : "not converted", seconds, size / (1 << 20) / seconds);
    std::printf("peak working set %.1f MiB, peak private bytes %.1f MiB\n", MiB(memory.PeakWorkingSetSize),
                MiB(memory.PeakPagefileUsage));
    std::printf("repaints during the job: %d, largest gap %.0f ms, from the last to the end %.0f ms\n", Paints,
                LargestPaintGap * 1000, FinalGap * 1000);
    // Between the two the job deletes what it wrote.
    if (EscPosted >= 0 && CancelledShown >= 0)
        std::printf("Esc at %.0f ms, \"Cancelled\" in the title %.0f ms later, idle again %.0f ms later\n",
                    (EscPosted - JobStart) * 1000, (CancelledShown - EscPosted) * 1000, (end - EscPosted) * 1000);
    DestroyWindow(MainWindow);
    Pump();
    return 0;
}
