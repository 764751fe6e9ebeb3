#include "in_place_question.h"

#include <initializer_list>

#include "interface_language.h"
#include "resource_ids.h"

namespace {

// The width of a title in the caption's font, its buttons and margins
// beside it.
int TitleWidth(HWND dialog, const wchar_t* title)
{
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return 0;
    HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont);
    HDC context = GetDC(dialog);
    HGDIOBJ previous = SelectObject(context, font);
    SIZE size = {};
    GetTextExtentPoint32W(context, title, lstrlenW(title), &size);
    SelectObject(context, previous);
    ReleaseDC(dialog, context);
    DeleteObject(font);
    return size.cx + 2 * metrics.iCaptionWidth + 4 * GetSystemMetrics(SM_CXFRAME);
}

// As a message box does, the question grows to show the whole path in its
// title, up to three quarters of the screen; its buttons stay centred.
void WidenForTitle(HWND dialog, const wchar_t* title)
{
    RECT frame;
    GetWindowRect(dialog, &frame);
    const int widest = GetSystemMetrics(SM_CXSCREEN) * 3 / 4;
    int wanted = TitleWidth(dialog, title);
    if (wanted > widest)
        wanted = widest;
    const int added = wanted - (frame.right - frame.left);
    if (added <= 0)
        return;
    SetWindowPos(dialog, nullptr, frame.left - added / 2, frame.top, wanted, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (const int button : {IDYES, IDNO, IDC_YES_ASK_NO_MORE}) {
        HWND control = GetDlgItem(dialog, button);
        RECT place;
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        SetWindowPos(control, nullptr, place.left + added / 2, place.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// A message box gives Esc and its close box the answer of its Cancel
// button; this question is a dialog of its own so that they can mean No.
INT_PTR CALLBACK QuestionProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextW(dialog, reinterpret_cast<const FilePath*>(lParam)->c_str());
        WidenForTitle(dialog, reinterpret_cast<const FilePath*>(lParam)->c_str());
        SetDlgItemTextW(dialog, IDC_QUESTION_TEXT, LoadText(IDS_IN_PLACE_QUESTION).c_str());
        SendDlgItemMessageW(dialog, IDC_QUESTION_ICON, STM_SETICON,
                            reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_QUESTION)), 0);
        MessageBeep(MB_ICONQUESTION);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDYES: EndDialog(dialog, ConvertInPlace); return TRUE;
        case IDC_YES_ASK_NO_MORE: EndDialog(dialog, ConvertAndAskNoMore); return TRUE;
        case IDNO:
        case IDCANCEL: EndDialog(dialog, KeepFile); return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

InPlaceAnswer AskInPlaceQuestion(HWND window, const FilePath& path)
{
    const INT_PTR answer =
        ShowLanguageDialog(IDD_IN_PLACE_QUESTION, window, QuestionProcedure, reinterpret_cast<LPARAM>(&path));
    return answer == ConvertInPlace || answer == ConvertAndAskNoMore ? static_cast<InPlaceAnswer>(answer) : KeepFile;
}
