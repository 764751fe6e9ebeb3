// What the preview tests share: the clipboard filled from a window of the
// test's own, the panes' text, the system menu, the engine's conversion of
// a text, and the font dialog answered as a user would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "shell/shell_test_support.h"

// Puts text on the clipboard as CF_TEXT, or with no text just empties it,
// from a hidden window of the test: the main window must not be the owner.
void PutClipboardText(const std::string& text);
void EmptyTheClipboard();

// A pane's text, as Unicode.
std::wstring PaneText(HWND pane);
// bytes as a Russian system shows them in code page page (0..4), read by
// the system's own tables.
std::wstring Shown(const std::string& bytes, int page);
// text in code page page, by the system's own tables.
std::string InPage(const std::wstring& text, int page);
// The bytes of a file's beginning in the source pane, as a job puts them
// there, without the refresh that follows.
void ShowFileText(const std::string& bytes);
SIZE OuterSize(HWND window);

// The items of the main window's system menu.
void SystemCommand(UINT item);
bool SystemMenuChecked(UINT item);

// text converted by the engine from source to destination, with the line
// end rule of "Convert NewLines" when newlines is set, and after that into
// cp1251 when intoCp1251 is set.
std::string Converted(const std::string& text, int source, int destination, bool newlines, bool intoCp1251 = false);

// The icon title font as the system describes it.
LOGFONTA IconTitleFont();
// The same description, whatever follows the face name's NUL.
bool SameFont(const LOGFONTA& a, const LOGFONTA& b);

// What the font dialog showed and what was chosen in it.
struct FontDialogVisit {
    std::string initialFace;         // the face selected when it came up
    std::vector<std::string> faces;  // the faces offered
    std::string chosenFace;          // "" when cancelled
    std::vector<int> sizes;          // the point sizes offered for it
};

// Item 352, its dialog answered by a user who presses Cancel, or who picks
// a face at 12 points and presses OK: the first offered in that size after
// the first one offered (where an uninitialised dialog may start) and other
// than avoid.
FontDialogVisit ChooseFontThroughTheMenu(bool pressOk, const std::string& avoid = "");

// A first start with "Auto convert Clipboard" off: the tests' own clipboard
// text must stay as they put it.
class PreviewTest : public TarvoWindowTest {
protected:
    void SetUp() override;
};
