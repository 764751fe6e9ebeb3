// The fault matrix, the clipboard and the session: another program holds
// the clipboard, puts odd blocks there, rewrites it or changes it a
// thousand times; memory runs out; the session ends. The user's text is
// there afterwards, as it was or converted exactly once.
#include "fault_matrix.h"

#include <memory>

#include "clipboard_conversion.h"
#include "clipboard_test_support.h"
#include "main_window.h"
#include "program_test_support.h"
#include "resource_ids.h"
#include "settings.h"

namespace {

const std::string Nul(1, '\0');

// The whole text, not only the first bytes that a view records.
std::string ClipboardText()
{
    std::string text;
    if (!OpenClipboard(nullptr))
        return text;
    HANDLE block = GetClipboardData(CF_TEXT);
    const SIZE_T size = block ? GlobalSize(block) : 0;
    const char* data = size ? static_cast<const char*>(GlobalLock(block)) : nullptr;
    if (data) {
        text.assign(data, strnlen(data, size));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}

void Command(int command) { SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(command, 0), 0); }

HANDLE WINAPI RefuseBlock(UINT, HANDLE) { return nullptr; }

class ClipboardFaults;

struct ClipboardFault {
    const char* fault;
    void (ClipboardFaults::*run)();
};

void PrintTo(const ClipboardFault& row, std::ostream* stream) { *stream << row.fault; }

// Automatic conversion is on, as in the defaults; the other program is
// clipboard_peer.exe, after the main window in the viewer chain.
class ClipboardFaults : public ClipboardTest, public testing::WithParamInterface<ClipboardFault> {
public:
    void HeldOpen()
    {
        ASSERT_TRUE(peer->CopyAndHold(Koi8rGreeting + Nul));
        ASSERT_TRUE(WaitUntil([&] { return peer->Record().drawCount == 1; }));
        Command(IDM_CONVERT_CLIPBOARD);  // cannot open it either
        peer->Release();
        ExpectKept("the copied text", Koi8rGreeting, ClipboardText());
    }

    void WithoutNul()
    {
        CopierWindow copier;
        copier.Copy(Koi8rGreeting);
        ExpectKept("the text, converted", Cp1251Greeting, ClipboardText());
    }

    // Only the conversion runs short of memory: the copy comes first, with
    // automatic conversion off.
    void NoMemory()
    {
        Command(IDM_AUTO_CONVERT);
        const SIZE_T oneMegabyte = 1 << 20;
        const std::string large(oneMegabyte + oneMegabyte / 2, '\xC1');
        CopierWindow copier;  // the peer takes only short texts
        copier.Copy(large + Nul);
        {
            AddressSpaceFiller filler(oneMegabyte);
            Command(IDM_CONVERT_CLIPBOARD);
        }
        ExpectKept("the copied text", large, ClipboardText());
    }

    void Rewriting()
    {
        peer->RewriteOnNotifications(5);
        peer->Copy(Koi8rGreeting + Nul);
        ASSERT_TRUE(WaitUntil([&] { return peer->Record().drawCount == 6; }));
        ExpectKept("the text, converted once", Cp1251Greeting, ClipboardText());
        EXPECT_EQ(peer->Record().deepest, 1);
    }

    // Each text waits for its conversion before the next comes, so that
    // every one can be checked: converted once, none missed.
    void ThousandChanges()
    {
        for (int n = 0; n < 1000; ++n) {
            const std::string number = std::to_string(n);
            peer->Copy(Koi8rGreeting + number + Nul);
            const std::string expected = Cp1251Greeting + number;
            if (!WaitUntil([&] { return GetClipboardOwner() == MainWindow && ClipboardText() == expected; })) {
                ExpectKept("change " + number + ", converted once", expected, ClipboardText());
                return;
            }
        }
    }

    void Refused()
    {
        PutClipboardData = RefuseBlock;
        peer->Copy(Koi8rGreeting + Nul);
        // Refusing until the change has gone along the chain: a busy system
        // may bring the main window its notification only after the copy.
        EXPECT_TRUE(WaitUntil([&] { return peer->Record().drawCount >= 1; }));
        PutClipboardData = SetClipboardData;
        ExpectKept("the copied text", Koi8rGreeting, ClipboardText());
    }

    void SessionEnds()
    {
        Command(IDM_CONVERT_NEWLINES);
        Command(IDM_SOURCE_FIRST + 0);
        EXPECT_TRUE(SendMessageA(MainWindow, WM_QUERYENDSESSION, 0, 0));
        SendMessageA(MainWindow, WM_ENDSESSION, TRUE, 0);
        DWORD stored = 0, size = sizeof stored;
        RegGetValueA(HKEY_CURRENT_USER, SettingsKey, "Parameters", RRF_RT_REG_DWORD, nullptr, &stored, &size);
        EXPECT_EQ(stored, (DefaultParameters & ~ParamSourceMask) | ParamConvertNewlines);
    }

    // With detection on, a text whose code page the detector cannot tell
    // is not converted automatically (cp1251 "Da" with the source on
    // KOI8-R); asked for, it is converted from the page on the button.
    void UndecidedTextWithDetection()
    {
        SendMessageA(MainWindow, WM_SYSCOMMAND, IDM_DETECT_SOURCE, 0);
        peer->Copy(std::string("\xC4\xE0") + Nul);
        ASSERT_TRUE(WaitUntil([&] { return peer->Record().drawCount == 1; }));
        ExpectKept("the copied text, left alone", "\xC4\xE0", ClipboardText());
        Command(IDM_AUTO_CONVERT);
        Command(IDM_CONVERT_CLIPBOARD);
        EXPECT_EQ(ClipboardText(), "\xE4\xDE") << "asked for: from KOI8-R, as the button shows";
    }

    // A Unicode program copies Cyrillic text on a system whose ANSI code
    // page has none (the matrix runs with 1252): every letter arrives and
    // is converted, from KOI8-R as in the defaults.
    void UnicodeOnAWesternSystem()
    {
        CopierWindow copier;
        copier.CopyUnicode(L"Привет, мир");
        ASSERT_TRUE(WaitUntil([] { return GetClipboardOwner() == MainWindow; }));
        ExpectKept("the text, converted", "\xEE\xCF\xD5\xC1\xC5\xD0, \xCB\xD5\xCF", ClipboardText());
    }

    // Started by the test, after the clipboard was emptied: it must not
    // count that as a change.
    std::unique_ptr<Peer> peer;
};

const ClipboardFault Faults[] = {
    {"clipboard held open by another program", &ClipboardFaults::HeldOpen},
    {"text without NUL", &ClipboardFaults::WithoutNul},
    {"no memory for the converted text", &ClipboardFaults::NoMemory},
    {"a viewer that puts the text back on every notification", &ClipboardFaults::Rewriting},
    {"1000 quick changes by another program", &ClipboardFaults::ThousandChanges},
    {"the clipboard refuses the converted text", &ClipboardFaults::Refused},
    {"the session ends with changed settings", &ClipboardFaults::SessionEnds},
    {"detection on, a text the detector cannot tell", &ClipboardFaults::UndecidedTextWithDetection},
    {"Unicode text copied on a system whose ANSI page is 1252", &ClipboardFaults::UnicodeOnAWesternSystem},
};

TEST_P(ClipboardFaults, LeavesNothingLostOrStranded)
{
    peer.reset(new Peer);
    ASSERT_TRUE(peer->Running());
    ASSERT_TRUE(StartTarvo());
    (this->*GetParam().run)();
    CountRow();
}


INSTANTIATE_TEST_SUITE_P(Clipboard, ClipboardFaults, testing::ValuesIn(Faults), RowNameOf<ClipboardFault>);

} // namespace
