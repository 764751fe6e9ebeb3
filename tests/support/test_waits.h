// How long a test waits for the program, a dialog or another process.
//
// Budgets are sized for the slowest place a test runs in: a Wine rig
// brought up cold on a machine whose cores are both busy, where a window
// can take seconds to appear. A wait that succeeds ends the moment its
// condition holds, so only a test that is failing waits this long.
#pragma once

#include <windows.h>

const DWORD WaitBudgetMs = 30000;

// Polls condition until it holds; false when it still does not after the
// budget. Handles no messages: see the pumping waits of the program tests.
template <typename Condition>
bool WaitFor(Condition condition, DWORD milliseconds = WaitBudgetMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(20);
    }
    return true;
}
