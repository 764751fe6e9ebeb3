// How the clipboard tests drive clipboard_peer.exe, the "other program":
// a record in named shared memory, and commands posted or sent to its
// hidden window. The tests write the text to copy into the record before
// the command; the peer writes what it saw into it.
#pragma once

#include <windows.h>

#include "clipboard_view.h"

const unsigned PeerTextCapacity = 4096;
const unsigned PeerNoticeCapacity = 8;

struct PeerChainNotice {
    DWORD removed;  // WM_CHANGECBCHAIN's wParam
    DWORD next;     // and lParam
};

struct PeerRecord {
    volatile LONG window;        // set once the peer is up and in the chain
    volatile LONG nextViewer;    // the peer's own next window in the chain
    volatile LONG holding;       // the peer keeps the clipboard open
    volatile LONG drawCount;     // WM_DRAWCLIPBOARD notifications since joining
    volatile LONG changeCount;   // WM_CHANGECBCHAIN notices since joining
    volatile LONG rewrites;      // notifications still to answer by putting the text back, as clipboard managers do
    volatile LONG depth;         // notifications being handled, one inside the other
    volatile LONG deepest;       // the most of them at once
    ClipboardView drawn[PeerNoticeCapacity];       // the clipboard as the first notifications found it
    PeerChainNotice changes[PeerNoticeCapacity];   // the first notices
    ClipboardView read;          // the clipboard as PeerRead found it
    DWORD copyLength;            // the CF_TEXT block for PeerCopy: exactly these bytes
    char copyBytes[PeerTextCapacity];
};

// The commands, as messages to the peer's window. Post them when the test
// must not handle messages meanwhile; SendMessageTimeout them otherwise.
const UINT PeerCopy = WM_APP + 1;      // wParam PeerCopyAndHold: keep the clipboard open after
const UINT PeerRelease = WM_APP + 2;   // closes the clipboard it holds
const UINT PeerRead = WM_APP + 3;      // fills read
const UINT PeerLeaveChain = WM_APP + 4;

// PeerCopy puts copyBytes as CF_TEXT (none when copyLength is 0) and a
// block of the format PeerMarkFormatName, which a conversion must remove.
const WPARAM PeerCopyAndHold = 1;
const char PeerMarkFormatName[] = "Tarvo test mark";

// clipboard_peer.exe NAME: NAME is the shared record's name.
