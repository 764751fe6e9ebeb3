#include "clipboard_test_support.h"

#include <cstring>

#include "main_window.h"
#include "program_test_support.h"
#include "settings.h"

const std::string Koi8rGreeting = "\xF0\xD2\xC9\xD7\xC5\xD4, \xCD\xC9\xD2! \xB3\xD6";
const std::string Cp1251Greeting = "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0! \xA8\xE6";
const wchar_t UnicodeGreeting[] = L"Привет, мир! Ёж";

UINT MarkFormat()
{
    return RegisterClipboardFormatA(PeerMarkFormatName);
}

std::string UnicodeBytes(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
}

std::string TextOf(const ClipboardView& view)
{
    const DWORD kept = view.textLength < ClipboardViewTextCapacity ? view.textLength : ClipboardViewTextCapacity;
    return std::string(view.text, kept);
}

bool HasFormat(const ClipboardView& view, UINT format)
{
    for (DWORD n = 0; n < view.formatCount && n < ClipboardViewFormatCapacity; ++n)
        if (view.formats[n] == format)
            return true;
    return false;
}

HWND OwnerOf(const ClipboardView& view)
{
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(view.owner));
}

DWORD HandleNumber(HWND window)
{
    return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(window));
}

ClipboardView ReadNow()
{
    ClipboardView view = {};
    EXPECT_TRUE(ReadClipboard(nullptr, view)) << "the clipboard could not be opened";
    return view;
}

std::wstring UnicodeTextNow()
{
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return text;
    HANDLE block = GetClipboardData(CF_UNICODETEXT);
    const SIZE_T size = block ? GlobalSize(block) / sizeof(wchar_t) : 0;
    const wchar_t* data = size ? static_cast<const wchar_t*>(GlobalLock(block)) : nullptr;
    if (data) {
        SIZE_T length = 0;
        while (length < size && data[length])
            ++length;
        text.assign(data, length);
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (condition())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

namespace {

void PutBlock(UINT format, const void* bytes, SIZE_T size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    void* data = block ? GlobalLock(block) : nullptr;
    ASSERT_TRUE(data);
    std::memcpy(data, bytes, size);
    GlobalUnlock(block);
    ASSERT_TRUE(SetClipboardData(format, block));
}

// Made larger and shrunk in place, the block is followed by a few bytes
// of 'X' that the heap keeps as slack: reading past the end of a block
// without a NUL then shows in the result.
void PutText(const std::string& bytes)
{
    const SIZE_T slack = 7;
    HGLOBAL larger = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + slack);
    char* data = larger ? static_cast<char*>(GlobalLock(larger)) : nullptr;
    ASSERT_TRUE(data);
    std::memcpy(data, bytes.data(), bytes.size());
    std::memset(data + bytes.size(), 'X', slack);
    GlobalUnlock(larger);
    HGLOBAL block = GlobalReAlloc(larger, bytes.size(), GMEM_MOVEABLE);
    if (!block)
        block = larger;
    ASSERT_TRUE(SetClipboardData(CF_TEXT, block));

    // Wine ends every CF_TEXT block with a NUL as it is set, over its last
    // byte; elsewhere the block stays as the program made it. This process
    // keeps reading the very block it set, so the byte can be put back.
    data = static_cast<char*>(GlobalLock(block));
    ASSERT_TRUE(data);
    data[bytes.size() - 1] = bytes.back();
    GlobalUnlock(block);
}

HWND CreateHiddenWindow()
{
    return CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

} // namespace

CopierWindow::CopierWindow() : window_(CreateHiddenWindow()) {}

CopierWindow::~CopierWindow()
{
    DestroyWindow(window_);
}

void CopierWindow::Copy(const std::string& block)
{
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(OpenClipboard(window_));
    EmptyClipboard();
    PutText(block);
    const DWORD mark = 1;
    PutBlock(MarkFormat(), &mark, sizeof mark);
    CloseClipboard();
}

void CopierWindow::CopyUnicode(const std::wstring& text)
{
    ASSERT_TRUE(OpenClipboard(window_));
    EmptyClipboard();
    PutBlock(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    const DWORD mark = 1;
    PutBlock(MarkFormat(), &mark, sizeof mark);
    CloseClipboard();
}

void CopierWindow::CopyBlocks(const std::vector<ClipboardBlock>& blocks)
{
    ASSERT_TRUE(OpenClipboard(window_));
    EmptyClipboard();
    for (const ClipboardBlock& block : blocks)
        PutBlock(block.format, block.bytes.data(), block.bytes.size());
    CloseClipboard();
}

namespace {

std::string PeerExe()
{
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string exe(path, length < sizeof path ? length : 0);
    return exe.substr(0, exe.find_last_of('\\') + 1) + "clipboard_peer.exe";
}

} // namespace

Peer::Peer()
{
    static int counter;
    const std::string name =
        "TarvoClipboardPeer-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(PeerRecord), name.c_str());
    if (mapping_)
        record_ = static_cast<PeerRecord*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(PeerRecord)));
    if (!record_)
        return;

    std::string command = "\"" + PeerExe() + "\" " + name;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    WaitUntil([this] { return Running() || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; });
}

Peer::~Peer()
{
    if (process_) {
        if (Running())
            PostMessageA(Window(), WM_CLOSE, 0, 0);
        // Leaving the chain sends a notice to the main window, which this
        // thread must handle.
        if (!WaitUntil([this] { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }))
            TerminateProcess(process_, 1);
        CloseHandle(process_);
    }
    if (record_)
        UnmapViewOfFile(record_);
    if (mapping_)
        CloseHandle(mapping_);
}

void Peer::RewriteOnNotifications(LONG count)
{
    InterlockedExchange(&record_->rewrites, count);
}

HWND Peer::Window() const
{
    return record_ ? reinterpret_cast<HWND>(static_cast<UINT_PTR>(record_->window)) : nullptr;
}

void Peer::Send(UINT command, WPARAM wParam)
{
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutA(Window(), command, wParam, 0, SMTO_NORMAL, WaitBudgetMs, &result)) << command;
}

void Peer::SetBlock(const std::string& block)
{
    ASSERT_LE(block.size(), PeerTextCapacity);
    std::memcpy(record_->copyBytes, block.data(), block.size());
    record_->copyLength = static_cast<DWORD>(block.size());
}

void Peer::Copy(const std::string& block)
{
    SetBlock(block);
    Send(PeerCopy);
}

void Peer::CopyLater(const std::string& block)
{
    SetBlock(block);
    PostMessageA(Window(), PeerCopy, 0, 0);
}

bool Peer::CopyAndHold(const std::string& block)
{
    SetBlock(block);
    PostMessageA(Window(), PeerCopy, PeerCopyAndHold, 0);
    const DWORD start = GetTickCount();
    while (!record_->holding) {
        if (GetTickCount() - start > WaitBudgetMs)
            return false;
        Sleep(5);
    }
    return true;
}

void Peer::Release()
{
    Send(PeerRelease);
}

ClipboardView Peer::Read()
{
    Send(PeerRead);
    return record_->read;
}

void Peer::LeaveChain()
{
    Send(PeerLeaveChain);
}

AddressSpaceFiller::AddressSpaceFiller(SIZE_T minimum)
{
    // Set aside first: growing the list later could need the space it takes.
    reserved_.reserve(16384);
    for (SIZE_T size = SIZE_T(1) << 30; size >= minimum; size /= 2)
        while (reserved_.size() < reserved_.capacity()) {
            void* stretch = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS);
            if (!stretch)
                break;
            reserved_.push_back(stretch);
        }
}

AddressSpaceFiller::~AddressSpaceFiller()
{
    for (void* stretch : reserved_)
        VirtualFree(stretch, 0, MEM_RELEASE);
}

void ClipboardTest::SetUp()
{
    StoreDefaultSettings();
    // Emptied by a window that goes away at once, the clipboard has no
    // owner that a later change would have to tell.
    HWND window = CreateHiddenWindow();
    ASSERT_TRUE(OpenClipboard(window));
    EmptyClipboard();
    CloseClipboard();
    DestroyWindow(window);
}

void ClipboardTest::TearDown()
{
    StopTarvo();
    DeleteTarvoKey();
}
