#include "commands.h"

#include <commctrl.h>

#include "clipboard_conversion.h"
#include "file_conversion.h"
#include "job_pump.h"
#include "language_menu.h"
#include "main_window.h"
#include "preview.h"
#include "resource_ids.h"
#include "settings.h"
#include "toolbars.h"

int ContextHelpMode;

namespace {

// "Convert Clipboard", on the command bar and in the tray menu.
void EnableClipboardCommand(bool enable)
{
    SendMessageA(CommandBar, TB_ENABLEBUTTON, IDM_CONVERT_CLIPBOARD, MAKELPARAM(enable ? 1 : 0, 0));
    EnableMenuItem(CommandMenu, IDM_CONVERT_CLIPBOARD, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}

// The option switches: the bit decides, the button and the menu item follow
// it, whether the command came from the button (which has already flipped
// itself) or from a menu.
void ToggleOption(HWND window, int command, DWORD bit)
{
    Settings.Parameters ^= bit;
    const BOOL on = (Settings.Parameters & bit) != 0;
    SendMessageA(CommandBar, TB_CHECKBUTTON, command, MAKELPARAM(on, 0));
    CheckMenuItem(CommandMenu, command, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    if (command == IDM_AUTO_CONVERT)
        EnableClipboardCommand(!on);
    if (command != IDM_OVERWRITE_INPUT)
        RefreshPreview(window, 0);
}

// item is 211..215 (source) or 201..205 (destination); the preview shows
// what the new code page does.
void ChooseCodePage(HWND window, int item)
{
    if (item >= IDM_SOURCE_FIRST)
        SetSourceCodePage(item);
    else
        SetDestinationCodePage(item);
    RefreshPreview(window, 0);
}

// The face of a code page button: the next code page, after the last the
// first (also from an image index that is out of range).
void CycleCodePage(HWND window, int command)
{
    unsigned next = static_cast<unsigned>(SendMessageA(CodePageBar, TB_GETBITMAP, command, 0)) + 1;
    if (next > 4)
        next = 0;
    ChooseCodePage(window, (command == IDM_SOURCE_CODEPAGE ? IDM_SOURCE_FIRST : IDM_DESTINATION_FIRST) + next);
}

// The buttons stay where they are with their pictures; only the commands
// they carry trade places, and the arrow turns round.
void ExchangeCodePages(HWND window)
{
    Settings.Parameters ^= ParamExchanged;
    const LRESULT old = SendMessageA(CodePageBar, TB_GETBITMAP, IDM_EXCHANGE, 0);
    const int arrow = old == IMAGE_ARROW_RIGHT ? IMAGE_ARROW_LEFT : IMAGE_ARROW_RIGHT;
    SendMessageA(CodePageBar, TB_CHANGEBITMAP, IDM_EXCHANGE, MAKELPARAM(arrow, 0));
    const bool exchanged = arrow == IMAGE_ARROW_LEFT;
    SendMessageA(CodePageBar, TB_SETCMDID, 0, exchanged ? IDM_DESTINATION_CODEPAGE : IDM_SOURCE_CODEPAGE);
    SendMessageA(CodePageBar, TB_SETCMDID, 4, exchanged ? IDM_SOURCE_CODEPAGE : IDM_DESTINATION_CODEPAGE);

    const int source = GetSourceIndex(), destination = GetDestinationIndex();
    Settings.Parameters = (Settings.Parameters & ~(ParamSourceMask | ParamDestinationMask)) |
                          (destination << ParamDestinationShift) | source;
    CheckCodePageItems(IDM_SOURCE_FIRST, source);
    CheckCodePageItems(IDM_DESTINATION_FIRST, destination);
    RefreshPreview(window, 0);
}

// Until the next left click, which says what it hit.
void EnterContextHelpMode(HWND window)
{
    SetCapture(window);
    ContextHelpMode = 1;
    SetCursor(HelpCursor);
}

} // namespace

void OnClipboardChange(HWND window, WPARAM wParam, LPARAM lParam)
{
    // With automatic conversion off, the command is there while there is
    // text to convert.
    if (!SendMessageA(CommandBar, TB_ISBUTTONCHECKED, IDM_AUTO_CONVERT, 0))
        EnableClipboardCommand(IsClipboardFormatAvailable(CF_TEXT) != 0);
    OnDrawClipboard(window, wParam, lParam);
}

void CloseMainWindow(HWND window)
{
    if (!PutOffCloseUntilJobsEnd())
        DestroyWindow(window);
}

int OnCommand(HWND window, int command, HWND, int)
{
    switch (command) {
    case IDM_EXIT: CloseMainWindow(window); break;
    case IDM_CONVERT_FILES: OpenAndConvertFiles(window); break;
    case IDM_CONVERT_CLIPBOARD: ConvertClipboard(window); break;
    case IDM_OVERWRITE_INPUT: ToggleOption(window, command, ParamOverwriteInput); break;
    case IDM_CONVERT_NEWLINES: ToggleOption(window, command, ParamConvertNewlines); break;
    case IDM_SOURCE_CODEPAGE: CycleCodePage(window, command); break;
    case IDM_DESTINATION_CODEPAGE: CycleCodePage(window, command); break;
    case IDM_EXCHANGE: ExchangeCodePages(window); break;
    case IDM_AUTO_CONVERT: ToggleOption(window, command, ParamAutoConvert); break;
    case IDM_CONTEXT_HELP: EnterContextHelpMode(window); break;
    // Items of a submenu of the system menu, which some systems send as
    // WM_COMMAND rather than WM_SYSCOMMAND.
    case IDM_LANGUAGE_ENGLISH:
    case IDM_LANGUAGE_RUSSIAN:
    case IDM_LANGUAGE_UKRAINIAN: OnLanguageItem(window, command); break;
    default:
        if ((command >= IDM_DESTINATION_FIRST && command < IDM_DESTINATION_FIRST + 5) ||
            (command >= IDM_SOURCE_FIRST && command < IDM_SOURCE_FIRST + 5))
            ChooseCodePage(window, command);
        break;
    }
    return 1;
}
