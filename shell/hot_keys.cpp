#include "hot_keys.h"

#include <commctrl.h>

#include "interface_language.h"
#include "main_window.h"
#include "resource_ids.h"
#include "settings.h"
#include "tray.h"

namespace {

// Which of the two keys are registered: bit 0 for 1, bit 1 for 2.
int RegisteredKeys;

// key: the low word of a hot key control's value.
bool Register(HWND window, int id, WORD key)
{
    return RegisterHotKey(window, id, HotKeyModifiers(HIBYTE(key)), LOBYTE(key)) != 0;
}

} // namespace

UINT HotKeyModifiers(BYTE controlFlags)
{
    UINT modifiers = 0;
    if (controlFlags & HOTKEYF_SHIFT)
        modifiers |= MOD_SHIFT;
    if (controlFlags & HOTKEYF_CONTROL)
        modifiers |= MOD_CONTROL;
    if (controlFlags & HOTKEYF_ALT)
        modifiers |= MOD_ALT;
    return modifiers;  // HOTKEYF_EXT only tells the key apart; it is no modifier
}

int InstallHotKeys(HWND window, DWORD word)
{
    RemoveHotKeys(window);
    int failures = 0;
    const WORD activation = LOWORD(word), convert = HIWORD(word);
    if (activation) {
        if (Register(window, ActivationHotKey, activation))
            RegisteredKeys |= 1;
        else
            failures |= 1;
    }
    if (convert) {
        if (Register(window, ConvertClipboardHotKey, convert))
            RegisteredKeys |= 2;
        else
            failures |= 2;
    }
    return failures;
}

void RemoveHotKeys(HWND window)
{
    if (RegisteredKeys & 1)
        UnregisterHotKey(window, ActivationHotKey);
    if (RegisteredKeys & 2)
        UnregisterHotKey(window, ConvertClipboardHotKey);
    RegisteredKeys = 0;
}

INT_PTR CALLBACK HotKeysDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        const DWORD word = *reinterpret_cast<const DWORD*>(lParam);
        // An activation key typed alone becomes Ctrl plus that key.
        SendDlgItemMessageA(dialog, IDC_ACTIVATION_HOTKEY, HKM_SETRULES, HKCOMB_NONE, HOTKEYF_CONTROL);
        if (LOWORD(word))
            SendDlgItemMessageA(dialog, IDC_ACTIVATION_HOTKEY, HKM_SETHOTKEY, LOWORD(word), 0);
        if (HIWORD(word))
            SendDlgItemMessageA(dialog, IDC_CLIPBOARD_HOTKEY, HKM_SETHOTKEY, HIWORD(word), 0);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            const DWORD activation = LOWORD(SendDlgItemMessageA(dialog, IDC_ACTIVATION_HOTKEY, HKM_GETHOTKEY, 0, 0));
            const DWORD convert = LOWORD(SendDlgItemMessageA(dialog, IDC_CLIPBOARD_HOTKEY, HKM_GETHOTKEY, 0, 0));
            DWORD* word = reinterpret_cast<DWORD*>(GetWindowLongPtrA(dialog, DWLP_USER));
            *word = (convert << 16) | activation;
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void OnHotKeysItem(HWND window)
{
    DWORD copy = HotKeys1;
    if (ShowLanguageDialog(IDD_HOTKEYS, window, HotKeysDialogProc, reinterpret_cast<LPARAM>(&copy)) != IDOK)
        return;
    HotKeys1 = copy;
    const int failures = InstallHotKeys(window, HotKeys1);
    if (!failures)
        return;
    // A key that failed stays chosen: it is saved and tried again, silently,
    // at the next start.
    MessageBoxW(window, LoadText(IDS_HOTKEYS_FAILED + failures).c_str(), L"Tarvo", MB_ICONERROR);
}

void OnHotKey(HWND window, int id)
{
    if (id == ActivationHotKey) {
        if (!IsWindowVisible(window)) {
            RemoveTrayIcon(window);
            ShowWindow(window, SW_SHOW);
        }
        SetForegroundWindow(window);
    } else if (id == ConvertClipboardHotKey) {
        SendMessageA(window, WM_COMMAND, IDM_CONVERT_CLIPBOARD, 0);
        MessageBeep(0);
    }
}
