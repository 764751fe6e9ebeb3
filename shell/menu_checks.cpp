#include "menu_checks.h"

int ToggleMenuCheck(HMENU menu, UINT item)
{
    if (GetMenuState(menu, item, MF_BYCOMMAND) & MF_CHECKED) {
        CheckMenuItem(menu, item, MF_BYCOMMAND | MF_UNCHECKED);
        return 0;
    }
    CheckMenuItem(menu, item, MF_BYCOMMAND | MF_CHECKED);
    return 1;
}
