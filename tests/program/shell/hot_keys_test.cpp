// The two global hot keys and their dialog.
#include "shell_test_support.h"

#include "hot_keys.h"
#include "resource_ids.h"
#include "settings.h"

namespace {

using HotKeysTest = TarvoWindowTest;

const WORD CtrlAltZ = MAKEWORD('Z', HOTKEYF_CONTROL | HOTKEYF_ALT);
const WORD ShiftF5 = MAKEWORD(VK_F5, HOTKEYF_SHIFT);

// Whether a key combination is free: taken by a test window for a moment.
bool IsFree(UINT modifiers, UINT key)
{
    HWND probe = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    const bool free = RegisterHotKey(probe, 77, modifiers, key) != 0;
    if (free)
        UnregisterHotKey(probe, 77);
    DestroyWindow(probe);
    return free;
}

// Runs the "Hot Keys" item; answer fills in the dialog's two controls.
std::vector<BoxText> RunHotKeysDialog(const std::function<void(HWND dialog)>& answer)
{
    std::vector<BoxText> shown;
    DialogAnswerer answerer([&](HWND dialog) {
        shown.push_back(ReadBox(dialog));
        if (shown.size() == 1)
            answer(dialog);
        else
            PressButton(dialog, IDOK);  // an error box
        return true;
    });
    SendMessageA(MainWindow, WM_SYSCOMMAND, IDM_HOTKEYS, 0);
    return shown;
}

void SetKeys(HWND dialog, WORD activation, WORD convert)
{
    SendDlgItemMessageA(dialog, IDC_ACTIVATION_HOTKEY, HKM_SETHOTKEY, activation, 0);
    SendDlgItemMessageA(dialog, IDC_CLIPBOARD_HOTKEY, HKM_SETHOTKEY, convert, 0);
}

TEST(HotKeyModifiers, TranslateTheControlsFlags)
{
    EXPECT_EQ(HotKeyModifiers(HOTKEYF_CONTROL | HOTKEYF_ALT), static_cast<UINT>(MOD_CONTROL | MOD_ALT));
    EXPECT_EQ(HotKeyModifiers(HOTKEYF_SHIFT), static_cast<UINT>(MOD_SHIFT));
    EXPECT_EQ(HotKeyModifiers(HOTKEYF_EXT | HOTKEYF_CONTROL), static_cast<UINT>(MOD_CONTROL)) << "an extended key";
    EXPECT_EQ(HotKeyModifiers(0), 0u);
}

TEST_F(HotKeysTest, InstalledKeysAreRegisteredUntilRemovedOrTheWindowEnds)
{
    ASSERT_TRUE(IsFree(MOD_CONTROL | MOD_ALT, 'Z'));
    EXPECT_EQ(InstallHotKeys(MainWindow, MAKELONG(CtrlAltZ, ShiftF5)), 0);
    EXPECT_FALSE(IsFree(MOD_CONTROL | MOD_ALT, 'Z'));
    EXPECT_FALSE(IsFree(MOD_SHIFT, VK_F5));
    RemoveHotKeys(MainWindow);
    EXPECT_TRUE(IsFree(MOD_CONTROL | MOD_ALT, 'Z'));
    EXPECT_TRUE(IsFree(MOD_SHIFT, VK_F5));

    EXPECT_EQ(InstallHotKeys(MainWindow, CtrlAltZ), 0);
    StopTarvo();
    EXPECT_TRUE(IsFree(MOD_CONTROL | MOD_ALT, 'Z')) << "released with the window";
    ASSERT_TRUE(StartTarvo());
}

TEST_F(HotKeysTest, TheDialogStoresWhatOkChoosesAndCancelChangesNothing)
{
    HotKeys1 = MAKELONG(ShiftF5, 0);
    WORD shownActivation = 0;
    std::vector<BoxText> shown = RunHotKeysDialog([&](HWND dialog) {
        shownActivation = LOWORD(SendDlgItemMessageA(dialog, IDC_ACTIVATION_HOTKEY, HKM_GETHOTKEY, 0, 0));
        SetKeys(dialog, CtrlAltZ, ShiftF5);
        PressButton(dialog, IDCANCEL);
    });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "Tarvo Hot Keys");
    EXPECT_EQ(shownActivation, ShiftF5) << "the dialog starts with the stored keys";
    EXPECT_EQ(HotKeys1, static_cast<DWORD>(MAKELONG(ShiftF5, 0)));

    shown = RunHotKeysDialog([](HWND dialog) {
        SetKeys(dialog, CtrlAltZ, ShiftF5);
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(shown.size(), 1u) << "no error box";
    EXPECT_EQ(HotKeys1, static_cast<DWORD>(MAKELONG(CtrlAltZ, ShiftF5)));
    EXPECT_FALSE(IsFree(MOD_CONTROL | MOD_ALT, 'Z'));

    // Both cleared: nothing registered, nothing said.
    shown = RunHotKeysDialog([](HWND dialog) {
        SetKeys(dialog, 0, 0);
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(HotKeys1, 0u);
    EXPECT_TRUE(IsFree(MOD_CONTROL | MOD_ALT, 'Z'));
}

TEST_F(HotKeysTest, AnActivationKeyTypedAloneGetsCtrl)
{
    WORD activation = 0, convert = 0;
    RunHotKeysDialog([&](HWND dialog) {
        HWND first = GetDlgItem(dialog, IDC_ACTIVATION_HOTKEY), second = GetDlgItem(dialog, IDC_CLIPBOARD_HOTKEY);
        SendMessageA(first, WM_KEYDOWN, 'Q', 0);
        SendMessageA(first, WM_KEYUP, 'Q', 0xC0000000);
        SendMessageA(second, WM_KEYDOWN, 'Q', 0);
        SendMessageA(second, WM_KEYUP, 'Q', 0xC0000000);
        activation = LOWORD(SendMessageA(first, HKM_GETHOTKEY, 0, 0));
        convert = LOWORD(SendMessageA(second, HKM_GETHOTKEY, 0, 0));
        SetKeys(dialog, 0, 0);
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(activation, MAKEWORD('Q', HOTKEYF_CONTROL));
    EXPECT_EQ(convert, MAKEWORD('Q', 0));
}

TEST_F(HotKeysTest, KeysTakenElsewhereAreNamedInOneMessageAndStayChosen)
{
    HWND other = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 1, MOD_CONTROL | MOD_ALT, 'Z'));
    ASSERT_TRUE(RegisterHotKey(other, 2, MOD_SHIFT, VK_F5));

    std::vector<BoxText> shown = RunHotKeysDialog([](HWND dialog) {
        SetKeys(dialog, CtrlAltZ, ShiftF5);
        PressButton(dialog, IDOK);
    });
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].title, "Tarvo");
    EXPECT_EQ(shown[1].text, "Hot Key(s) for Activation and Convert Clipboard Not installed, please, select another one.");
    EXPECT_EQ(HotKeys1, static_cast<DWORD>(MAKELONG(CtrlAltZ, ShiftF5)));

    UnregisterHotKey(other, 2);
    shown = RunHotKeysDialog([](HWND dialog) { PressButton(dialog, IDOK); });
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "Hot Key(s) for Activation Not installed, please, select another one.");
    DestroyWindow(other);
}

} // namespace
