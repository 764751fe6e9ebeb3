// The two global hot keys: 1 brings the window to the front (also out of
// the tray), 2 converts the clipboard from anywhere.
#pragma once

#include <windows.h>

const int ActivationHotKey = 1;
const int ConvertClipboardHotKey = 2;

// The RegisterHotKey modifiers for the flags a hot key control gives.
UINT HotKeyModifiers(BYTE controlFlags);

// Registers the keys of word (HotKeys1 layout) anew; returns the failures:
// bit 0 the activation key, bit 1 the "Convert Clipboard" key.
int InstallHotKeys(HWND window, DWORD word);
void RemoveHotKeys(HWND window);

// Dialog 1; started with the address of a HotKeys1 word, which it reads at
// the start and writes at the end.
INT_PTR CALLBACK HotKeysDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// System-menu item 368 "&Hot Keys".
void OnHotKeysItem(HWND window);

// WM_HOTKEY.
void OnHotKey(HWND window, int id);
