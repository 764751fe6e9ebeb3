// What a context-help click asks help for.
#include "shell_test_support.h"

#include "help.h"
#include "resource_ids.h"

namespace {

using HelpTest = TarvoWindowTest;

POINT CentreOf(HWND toolbar, int position)
{
    RECT item;
    SendMessageA(toolbar, TB_GETITEMRECT, position, reinterpret_cast<LPARAM>(&item));
    POINT centre = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(toolbar, &centre);
    return centre;
}

TEST_F(HelpTest, ButtonsGiveTheirCommandAndEverythingElseNothing)
{
    const int commandBar[] = {101, 102, 0, 108, 104, 103, 0, 109};
    for (int position = 0; position < 8; ++position)
        EXPECT_EQ(HelpContextAt(CentreOf(CommandBar, position)), commandBar[position]) << position;
    const int codePageBar[] = {105, 0, 107, 0, 106};
    for (int position = 0; position < 5; ++position)
        EXPECT_EQ(HelpContextAt(CentreOf(CodePageBar, position)), codePageBar[position]) << position;
    EXPECT_EQ(HelpContextAt(POINT{0, 0}), 0);

    // After an exchange the left button carries the destination's command.
    Command(IDM_EXCHANGE);
    EXPECT_EQ(HelpContextAt(CentreOf(CodePageBar, 0)), 106);
    EXPECT_EQ(HelpContextAt(CentreOf(CodePageBar, 4)), 105);
}

} // namespace
