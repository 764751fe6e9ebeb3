// The main window as a member of the clipboard viewer chain, with
// clipboard_peer.exe as the other program: it copies, and as the window
// after the main window in the chain it records what reaches it.
#include "clipboard_conversion.h"
#include "clipboard_test_support.h"
#include "file_conversion.h"
#include "resource_ids.h"
#include "shell/shell_test_support.h"

#include <atomic>
#include <thread>

namespace {

const std::string Nul(1, '\0');

// Whatever a notification set off has happened by then.
const DWORD SettleMs = 100;

using ClipboardChainTest = ClipboardTest;

// A window that joins the chain becomes its head, so the peer that is to
// follow the main window joins before it.
TEST_F(ClipboardChainTest, CopiedTextIsConvertedOnceAndTheNextViewerHearsOnlyOfTheResult)
{
    Peer other;
    ASSERT_TRUE(other.Running());
    ASSERT_TRUE(StartTarvo());
    ASSERT_TRUE(ButtonChecked(IDM_AUTO_CONVERT)) << "on in the defaults";
    ASSERT_EQ(NextViewer, other.Window());

    // The second copy replaces the main window's own text.
    for (LONG copies = 1; copies <= 2; ++copies) {
        other.Copy(Koi8rGreeting + Nul);
        ASSERT_TRUE(WaitUntil([&] { return other.Record().drawCount >= copies; })) << copies;
        PumpMessages(SettleMs);
        ASSERT_EQ(other.Record().drawCount, copies) << "one notification for each copy";

        const ClipboardView& told = other.Record().drawn[copies - 1];
        EXPECT_EQ(OwnerOf(told), MainWindow);
        EXPECT_EQ(TextOf(told), Cp1251Greeting);
        EXPECT_EQ(told.locale, 1049u);
        EXPECT_FALSE(HasFormat(told, MarkFormat()));
        const ClipboardView found = other.Read();
        EXPECT_EQ(TextOf(found), Cp1251Greeting) << "converted exactly once";
        EXPECT_EQ(found.locale, 1049u);
    }
}

TEST_F(ClipboardChainTest, TextConvertedOnJoiningIsAnnouncedToTheRestOfTheChainOnce)
{
    Peer other;
    ASSERT_TRUE(other.Running());
    other.Copy(Koi8rGreeting + Nul);
    ASSERT_TRUE(WaitUntil([&] { return other.Record().drawCount == 1; })) << "its own copy";
    ASSERT_TRUE(StartTarvo());
    ASSERT_TRUE(WaitUntil([&] { return other.Record().drawCount >= 2; }));
    PumpMessages(SettleMs);
    EXPECT_EQ(other.Record().drawCount, 2);
    EXPECT_EQ(OwnerOf(other.Record().drawn[1]), MainWindow);
    EXPECT_EQ(TextOf(other.Record().drawn[1]), Cp1251Greeting);
}

// A viewer that puts the text back whenever it hears of a change (some
// clipboard managers do) must neither have it converted again nor drive
// the two programs into ever deeper calls.
TEST_F(ClipboardChainTest, AViewerThatPutsTheTextBackGetsItConvertedOnceAndNoDeeperCalls)
{
    for (LONG rewrites : {1, 6}) {
        SCOPED_TRACE(rewrites);
        Peer other;
        ASSERT_TRUE(other.Running());
        ASSERT_TRUE(StartTarvo());
        other.RewriteOnNotifications(rewrites);
        other.Copy(Koi8rGreeting + Nul);
        ASSERT_TRUE(WaitUntil([&] { return other.Record().drawCount == rewrites + 1; }));
        PumpMessages(SettleMs);
        EXPECT_EQ(other.Record().drawCount, rewrites + 1) << "every change heard, once";
        for (LONG n = 0; n <= rewrites; ++n)
            EXPECT_EQ(TextOf(other.Record().drawn[n]), Cp1251Greeting) << n;
        EXPECT_EQ(TextOf(ReadNow()), Cp1251Greeting);
        EXPECT_EQ(other.Record().deepest, 1);
        StopTarvo();
    }
}

TEST_F(ClipboardChainTest, WhenNothingIsConvertedTheNotificationIsPassedOn)
{
    Peer other;
    ASSERT_TRUE(other.Running());
    ASSERT_TRUE(StartTarvo());
    ASSERT_EQ(NextViewer, other.Window());

    other.Copy("");
    ASSERT_TRUE(WaitUntil([&] { return other.Record().drawCount == 1; })) << "no text";
    EXPECT_EQ(OwnerOf(other.Record().drawn[0]), other.Window());
    EXPECT_TRUE(HasFormat(other.Record().drawn[0], MarkFormat()));

    // The notification waits in this thread's queue until the peer has the
    // clipboard open again.
    ASSERT_TRUE(other.CopyAndHold(Koi8rGreeting + Nul));
    ASSERT_TRUE(WaitUntil([&] { return other.Record().drawCount == 2; })) << "the clipboard held open";
    EXPECT_EQ(TextOf(other.Record().drawn[1]), Koi8rGreeting);
    other.Release();
    PumpMessages(SettleMs);
    const ClipboardView view = ReadNow();
    EXPECT_EQ(OwnerOf(view), other.Window());
    EXPECT_EQ(TextOf(view), Koi8rGreeting) << "no retry";
    EXPECT_EQ(other.Record().drawCount, 2);
}

TEST_F(ClipboardChainTest, WithAutomaticConversionOffButtonAndMenuItemFollowTheText)
{
    Peer other;
    ASSERT_TRUE(other.Running());
    ASSERT_TRUE(StartTarvo());
    Command(IDM_AUTO_CONVERT);

    other.Copy("");
    ASSERT_TRUE(WaitUntil([&] { return other.Record().drawCount == 1; }));
    EXPECT_FALSE(ButtonEnabled(IDM_CONVERT_CLIPBOARD));
    EXPECT_TRUE(Grayed(CommandMenu, IDM_CONVERT_CLIPBOARD));

    other.Copy(Koi8rGreeting + Nul);
    ASSERT_TRUE(WaitUntil([&] { return other.Record().drawCount == 2; }));
    EXPECT_TRUE(ButtonEnabled(IDM_CONVERT_CLIPBOARD));
    EXPECT_FALSE(Grayed(CommandMenu, IDM_CONVERT_CLIPBOARD));
    EXPECT_EQ(TextOf(other.Record().drawn[1]), Koi8rGreeting) << "left as it is";
    EXPECT_EQ(OwnerOf(other.Record().drawn[1]), other.Window());

    // Switched on again, the command is disabled, and copies leave both
    // as they are while they are converted.
    Command(IDM_AUTO_CONVERT);
    other.Copy(Koi8rGreeting + Nul);
    ASSERT_TRUE(WaitUntil([&] { return other.Record().drawCount == 3; }));
    EXPECT_EQ(TextOf(other.Record().drawn[2]), Cp1251Greeting);
    EXPECT_FALSE(ButtonEnabled(IDM_CONVERT_CLIPBOARD));
    EXPECT_TRUE(Grayed(CommandMenu, IDM_CONVERT_CLIPBOARD));
}

// Esc is pressed once the peer has heard of its copy: only a job that
// passed the notification on while it ran is cancelled.
TEST_F(ClipboardChainTest, TextCopiedDuringAFileJobIsPassedOnAtOnceAndConvertedWhenTheJobEnds)
{
    Peer other;
    ASSERT_TRUE(other.Running());
    ASSERT_TRUE(StartTarvo());
    Command(IDM_OVERWRITE_INPUT);
    TempFolder folder;
    const std::string input = folder.File("big.txt");
    WriteLargeFile(input, LongJobSize, "", "");

    std::atomic<bool> jobEnded(false);
    std::thread esc([&] {
        while (!jobEnded && other.Record().drawCount < 1)
            Sleep(5);
        PostMessageA(MainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    other.CopyLater(Koi8rGreeting + Nul);
    const int converted = ConvertFile(MainWindow, Wide(input));
    jobEnded = true;
    esc.join();
    EXPECT_EQ(converted, 0);
    ASSERT_GE(other.Record().drawCount, 1);
    EXPECT_EQ(TextOf(other.Record().drawn[0]), Koi8rGreeting);

    ASSERT_TRUE(WaitUntil([&] { return other.Record().drawCount >= 2; }));
    EXPECT_EQ(OwnerOf(other.Record().drawn[1]), MainWindow);
    EXPECT_EQ(TextOf(other.Record().drawn[1]), Cp1251Greeting);
    PumpMessages(SettleMs);
    EXPECT_EQ(other.Record().drawCount, 2);
}

TEST_F(ClipboardChainTest, WhenTheNextViewerLeavesItsSuccessorTakesItsPlaceAndIsTold)
{
    Peer last;
    Peer next;
    ASSERT_TRUE(last.Running() && next.Running());
    ASSERT_TRUE(StartTarvo());
    ASSERT_EQ(NextViewer, next.Window());

    next.LeaveChain();
    EXPECT_EQ(NextViewer, last.Window());
    ASSERT_EQ(last.Record().changeCount, 1);
    EXPECT_EQ(last.Record().changes[0].removed, HandleNumber(next.Window()));
    EXPECT_EQ(last.Record().changes[0].next, HandleNumber(last.Window()));

    next.Copy(Koi8rGreeting + Nul);
    ASSERT_TRUE(WaitUntil([&] { return last.Record().drawCount == 1; })) << "the chain goes on to the successor";
    EXPECT_EQ(TextOf(last.Record().drawn[0]), Cp1251Greeting);
}

TEST_F(ClipboardChainTest, WhenAWindowFurtherOnLeavesTheNoticeIsPassedOnUnchanged)
{
    Peer last;
    Peer next;
    ASSERT_TRUE(last.Running() && next.Running());
    ASSERT_TRUE(StartTarvo());
    ASSERT_EQ(next.Record().nextViewer, static_cast<LONG>(HandleNumber(last.Window())));

    last.LeaveChain();
    EXPECT_EQ(NextViewer, next.Window());
    ASSERT_EQ(next.Record().changeCount, 1);
    EXPECT_EQ(next.Record().changes[0].removed, HandleNumber(last.Window()));
    EXPECT_EQ(next.Record().changes[0].next, 0u);
}

} // namespace
