// Reading the state of the main window's toolbars and menus, and giving it
// commands, as the shell tests do.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>

#include "main_window.h"
#include "program_test_support.h"
#include "toolbars.h"

inline bool Checked(HMENU menu, UINT item) { return (GetMenuState(menu, item, MF_BYCOMMAND) & MF_CHECKED) != 0; }
inline bool Grayed(HMENU menu, UINT item) { return (GetMenuState(menu, item, MF_BYCOMMAND) & MF_GRAYED) != 0; }
inline bool ButtonChecked(int command) { return SendMessageA(CommandBar, TB_ISBUTTONCHECKED, command, 0) != 0; }
inline bool ButtonEnabled(int command) { return SendMessageA(CommandBar, TB_ISBUTTONENABLED, command, 0) != 0; }
inline void Command(int command) { SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(command, 0), 0); }

// The first popup menu that action opens on the main window, closed again
// as soon as it shows; NULL when none opens.
HMENU MenuOpenedBy(const std::function<void()>& action);

// Each test starts with the default settings and the real main window and
// leaves no settings behind.
class TarvoWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        StoreDefaultSettings();
        ASSERT_TRUE(StartTarvo());
    }
    void TearDown() override
    {
        StopTarvo();
        DeleteTarvoKey();
    }
};
