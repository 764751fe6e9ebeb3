// Converting the text on the clipboard in place, on command or, as a member
// of the clipboard viewer chain, whenever another program puts text there.
#pragma once

#include <windows.h>

// The next window of the clipboard viewer chain; NULL when this is the last.
extern HWND NextViewer;

// SetClipboardData; a test puts a refusing one in its place, since the
// real clipboard cannot be made to refuse a block.
extern HANDLE(WINAPI* PutClipboardData)(UINT format, HANDLE block);

// Command 102: converts CF_TEXT from the source to the destination code
// page and adds CF_LOCALE 1049, leaving the window the clipboard's owner.
// When it cannot (the clipboard is held by another program, holds no text,
// or there is no memory for the result) the clipboard stays as it was.
// Refused with a beep while a file job converts.
void ConvertClipboard(HWND window);

// Joins the clipboard viewer chain and sets NextViewer.
void JoinClipboardChain(HWND window);

// WM_DRAWCLIPBOARD (also as WM_DEFERRED_DRAWCLIPBOARD, a notification that
// arrived while an earlier one was being passed on) and WM_CHANGECBCHAIN;
// the window procedure returns 1. During a file job the notification is
// passed on at once and acted on by CatchUpWithClipboard, after the job.
// The window's own commands follow the clipboard before this is called.
void OnDrawClipboard(HWND window, WPARAM wParam, LPARAM lParam);
void CatchUpWithClipboard(HWND window);
void OnChangeClipboardChain(HWND window, HWND removed, HWND next);
