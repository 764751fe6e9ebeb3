// Keeps the test rig's Wine desktop up from the rig's start to its stop.
//
// Wine closes a desktop, and ends the explorer.exe that manages it (and
// the clipboard and the tray with it), a second after the last program on
// it has ended. Between two tests there is no program, so each test would
// bring the desktop up anew, cold, while it waits for its first window; a
// program started while the old desktop is still going away lands on a
// desktop of its own. This program stays on the desktop the whole time,
// does nothing and shows nothing.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // The desktop comes up now, at the rig's start, not in the first test.
    if (!GetDesktopWindow())
        return 1;
    // The rig waits for this line before it reports itself started.
    std::printf("desktop up\n");
    std::fflush(stdout);
    Sleep(INFINITE);
    return 0;
}
