// Check marks of menu items that stand for an option.
#pragma once

#include <windows.h>

// Flips the check mark of a menu item (by command); 1 when now checked.
int ToggleMenuCheck(HMENU menu, UINT item);
