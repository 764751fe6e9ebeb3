// The "other program" of the clipboard tests: puts text on the clipboard
// from a hidden window of its own, holds the clipboard open, and as a
// member of the clipboard viewer chain records every notification that
// reaches it, with what the clipboard held at that moment. The tests drive
// it through clipboard_peer_protocol.h.
#include <windows.h>

#include <cstring>

#include "clipboard_peer_protocol.h"

namespace {

PeerRecord* Record;
UINT MarkFormat;
HWND NextViewer;
bool Joined;

// Gives up on its own, so that a test that dies leaves nothing running.
const UINT LifetimeTimer = 1;
const UINT LifetimeMs = 120000;

void PutBlock(UINT format, const void* bytes, DWORD size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    void* data = block ? GlobalLock(block) : nullptr;
    if (!data) {
        if (block)
            GlobalFree(block);
        return;
    }
    std::memcpy(data, bytes, size);
    GlobalUnlock(block);
    if (!SetClipboardData(format, block))
        GlobalFree(block);
}

void Copy(HWND window, bool hold)
{
    if (!OpenClipboard(window))
        return;
    EmptyClipboard();
    const DWORD length = Record->copyLength < PeerTextCapacity ? Record->copyLength : PeerTextCapacity;
    if (length)
        PutBlock(CF_TEXT, Record->copyBytes, length);
    const DWORD mark = 0x4D41524B;
    PutBlock(MarkFormat, &mark, sizeof mark);
    CloseClipboard();
    // Opened again at once: the notification that closing sent is still
    // waiting in the receiver's queue, and finds the clipboard held.
    if (hold && OpenClipboard(window))
        InterlockedExchange(&Record->holding, 1);
}

void Release()
{
    if (InterlockedExchange(&Record->holding, 0))
        CloseClipboard();
}

// While the peer holds the clipboard it reads it as it is; opening and
// closing it again would let go of it.
void See(HWND window, ClipboardView& view)
{
    if (Record->holding)
        ReadOpenClipboard(view);
    else
        ReadClipboard(window, view);
}

// Puts the text it finds back as its own, as a clipboard manager does.
void PutTextBack(HWND window, const ClipboardView& found)
{
    if (!found.hasText || !OpenClipboard(window))
        return;
    EmptyClipboard();
    PutBlock(CF_TEXT, found.text, found.textLength + (found.terminated ? 1 : 0));
    CloseClipboard();
}

void OnDrawClipboard(HWND window, WPARAM wParam, LPARAM lParam)
{
    const LONG depth = InterlockedIncrement(&Record->depth);
    if (depth > Record->deepest)
        InterlockedExchange(&Record->deepest, depth);
    if (Joined) {
        ClipboardView found;
        See(window, found);
        const LONG seen = Record->drawCount;
        if (seen >= 0 && static_cast<unsigned>(seen) < PeerNoticeCapacity)
            Record->drawn[seen] = found;
        InterlockedIncrement(&Record->drawCount);
        if (Record->rewrites > 0 && InterlockedDecrement(&Record->rewrites) >= 0)
            PutTextBack(window, found);
    }
    if (NextViewer)
        SendMessageA(NextViewer, WM_DRAWCLIPBOARD, wParam, lParam);
    InterlockedDecrement(&Record->depth);
}

void OnChangeClipboardChain(HWND removed, HWND next)
{
    const LONG seen = Record->changeCount;
    if (seen >= 0 && static_cast<unsigned>(seen) < PeerNoticeCapacity) {
        Record->changes[seen].removed = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(removed));
        Record->changes[seen].next = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(next));
    }
    InterlockedIncrement(&Record->changeCount);
    if (removed == NextViewer)
        NextViewer = next;
    else if (NextViewer)
        SendMessageA(NextViewer, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(removed), reinterpret_cast<LPARAM>(next));
    InterlockedExchange(&Record->nextViewer, static_cast<LONG>(reinterpret_cast<UINT_PTR>(NextViewer)));
}

void LeaveChain(HWND window)
{
    if (!Joined)
        return;
    Joined = false;
    ChangeClipboardChain(window, NextViewer);
    NextViewer = nullptr;
    InterlockedExchange(&Record->nextViewer, 0);
}

LRESULT CALLBACK PeerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DRAWCLIPBOARD: OnDrawClipboard(window, wParam, lParam); return 0;
    case WM_CHANGECBCHAIN: OnChangeClipboardChain(reinterpret_cast<HWND>(wParam), reinterpret_cast<HWND>(lParam)); return 0;
    case PeerCopy: Copy(window, wParam == PeerCopyAndHold); return 1;
    case PeerRelease: Release(); return 1;
    case PeerRead: See(window, Record->read); return 1;
    case PeerLeaveChain: LeaveChain(window); return 1;
    case WM_TIMER:
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_DESTROY:
        Release();
        LeaveChain(window);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, argv[1]);
    Record = mapping ? static_cast<PeerRecord*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(PeerRecord)))
                     : nullptr;
    if (!Record)
        return 1;
    MarkFormat = RegisterClipboardFormatA(PeerMarkFormatName);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PeerWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TarvoClipboardPeer";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    if (!window)
        return 1;
    SetTimer(window, LifetimeTimer, LifetimeMs, nullptr);
    NextViewer = SetClipboardViewer(window);
    Joined = true;
    InterlockedExchange(&Record->nextViewer, static_cast<LONG>(reinterpret_cast<UINT_PTR>(NextViewer)));
    InterlockedExchange(&Record->window, static_cast<LONG>(reinterpret_cast<UINT_PTR>(window)));

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    UnmapViewOfFile(Record);
    CloseHandle(mapping);
    return 0;
}
