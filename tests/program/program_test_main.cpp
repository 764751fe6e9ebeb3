#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "child_process.h"
#include "main_window.h"

int main(int argc, char** argv)
{
    EndChildrenWithThisProcess();
    testing::InitGoogleTest(&argc, argv);
    Instance = GetModuleHandleA(nullptr);
    InitCommonControls();
    if (!RegisterMainWindowClass(Instance)) {
        fprintf(stderr, "cannot register the window class\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
