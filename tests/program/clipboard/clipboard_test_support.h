// What the clipboard tests share: a clean clipboard for each test, text put
// there by a window of the test's own, clipboard_peer.exe as the other
// program, waiting while this thread handles messages, and an address
// space too full for a large allocation.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "clipboard_peer_protocol.h"
#include "clipboard_view.h"
#include "test_waits.h"

// KOI8-R and cp1251 forms of the same Cyrillic text (used by several tests).
extern const std::string Koi8rGreeting;   // "Привет, мир! Ёж"
extern const std::string Cp1251Greeting;
extern const wchar_t UnicodeGreeting[];

// The format that every copy of the tests puts beside CF_TEXT.
UINT MarkFormat();

// A block as a program puts it on the clipboard: exactly these bytes.
struct ClipboardBlock {
    UINT format;
    std::string bytes;
};
// Unicode text and its NUL as a block holds them.
std::string UnicodeBytes(const std::wstring& text);

// The bytes of the text a view found, and whether it holds a format.
std::string TextOf(const ClipboardView& view);
bool HasFormat(const ClipboardView& view, UINT format);
HWND OwnerOf(const ClipboardView& view);
DWORD HandleNumber(HWND window);  // as the records hold window handles

// The clipboard as it is now, read from this thread.
ClipboardView ReadNow();
// CF_UNICODETEXT as the system derives it from CF_TEXT and CF_LOCALE.
std::wstring UnicodeTextNow();

// Handles this thread's messages until condition() holds; false when it
// still does not after the timeout.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = WaitBudgetMs);

// A hidden window of this thread that puts block (exactly these bytes, a
// NUL only when it holds one) as CF_TEXT, with a mark block beside it.
class CopierWindow {
public:
    CopierWindow();
    ~CopierWindow();
    CopierWindow(const CopierWindow&) = delete;
    CopierWindow& operator=(const CopierWindow&) = delete;
    HWND Handle() const { return window_; }
    void Copy(const std::string& block);
    // As a Unicode program copies: CF_UNICODETEXT alone (with the mark).
    void CopyUnicode(const std::wstring& text);
    // As a program copies in several formats: these, in this order.
    void CopyBlocks(const std::vector<ClipboardBlock>& blocks);

private:
    HWND window_;
};

// clipboard_peer.exe, started and joined to the viewer chain: it follows
// every window that joins after it.
class Peer {
public:
    Peer();
    ~Peer();  // closes it; it leaves the chain on its way out
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;
    bool Running() const { return record_ && record_->window != 0; }
    HWND Window() const;
    const PeerRecord& Record() const { return *record_; }

    // The peer puts block as CF_TEXT ("" for none) with its mark; this
    // thread handles messages meanwhile.
    void Copy(const std::string& block);
    // The same, posted: returns at once, having handled no message.
    void CopyLater(const std::string& block);
    // The same, and the peer keeps the clipboard open. Returns once it
    // does, without having handled a message of this thread.
    bool CopyAndHold(const std::string& block);
    void Release();
    ClipboardView Read();
    void LeaveChain();
    // The peer answers the next count notifications by putting the text it
    // finds back as its own.
    void RewriteOnNotifications(LONG count);

private:
    void Send(UINT command, WPARAM wParam = 0);
    void SetBlock(const std::string& block);
    HANDLE mapping_ = nullptr;
    PeerRecord* record_ = nullptr;
    HANDLE process_ = nullptr;
};

// Reserves, without using memory, every free stretch of this process's
// address space of at least minimum bytes, until destroyed: a block larger
// than that cannot be allocated meanwhile.
class AddressSpaceFiller {
public:
    explicit AddressSpaceFiller(SIZE_T minimum);
    ~AddressSpaceFiller();
    AddressSpaceFiller(const AddressSpaceFiller&) = delete;
    AddressSpaceFiller& operator=(const AddressSpaceFiller&) = delete;

private:
    std::vector<void*> reserved_;
};

// Each test starts without settings and with an empty clipboard that no
// window owns; the main window is started by the test, after any peer
// that is to follow it in the chain.
class ClipboardTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
