// The interface in the user's language: run once per language, Wine taking
// the display language from LC_MESSAGES (TARVO_UI_LANGUAGE names the one
// the run was given). Russian runs on a Western system, whose ANSI code
// page has no Cyrillic letters: every text must reach the screen in UTF-16.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <htmlhelp.h>
#include <richedit.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "file_conversion.h"
#include "help.h"
#include "in_place_question.h"
#include "interface_language.h"
#include "main_window.h"
#include "program_test_support.h"
#include "resource_ids.h"
#include "settings.h"
#include "toolbars.h"

namespace {

struct Title {
    unsigned long count;
    const wchar_t* text;
};

struct Language {
    const char* name;  // as TARVO_UI_LANGUAGE gives it
    LANGID id;
    UINT item;        // its item in the Language submenu
    UINT switchTo;    // the item the switching test chooses
    const wchar_t* convertFilesTip;
    const wchar_t* exitItem;
    const wchar_t* detectItem;
    const wchar_t* languageMenu;
    const wchar_t* cantOpenForRead;
    const wchar_t* yesButton;
    const wchar_t* textFiles;
    const wchar_t* cancelled;
    Title standIns[4];
};

const Language Languages[] = {
    {"en", EnglishLanguage, IDM_LANGUAGE_ENGLISH, IDM_LANGUAGE_UKRAINIAN, L"Convert File(s)", L"E&xit",
     L"&Detect source code page", L"&Language", L"Can't open for read", L"&Yes", L"Text files",
     L"Cancelled - Tarvo",
     {{1, L"1 character has no place in KOI8-R and was written as a stand-in - Tarvo"},
      {2, L"2 characters have no place in KOI8-R and were written as stand-ins - Tarvo"},
      {11, L"11 characters have no place in KOI8-R and were written as stand-ins - Tarvo"},
      {21, L"21 characters have no place in KOI8-R and were written as stand-ins - Tarvo"}}},
    {"ru", RussianLanguage, IDM_LANGUAGE_RUSSIAN, IDM_LANGUAGE_ENGLISH, L"Преобразовать файлы", L"В&ыход",
     L"Определять &исходную кодовую страницу", L"&Язык / Language", L"Не удаётся открыть для чтения", L"&Да",
     L"Текстовые файлы", L"Отменено - Tarvo",
     {{1, L"1 символ не помещается в KOI8-R и записан заменяющим знаком - Tarvo"},
      {2, L"2 символа не помещаются в KOI8-R и записаны заменяющими знаками - Tarvo"},
      {11, L"11 символов не помещаются в KOI8-R и записаны заменяющими знаками - Tarvo"},
      {21, L"21 символ не помещается в KOI8-R и записан заменяющим знаком - Tarvo"}}},
    {"uk", UkrainianLanguage, IDM_LANGUAGE_UKRAINIAN, IDM_LANGUAGE_RUSSIAN, L"Перетворити файли", L"&Вихід",
     L"Визн&ачати початкову кодову сторінку", L"&Мова / Language", L"Не вдається відкрити для читання", L"&Так",
     L"Текстові файли", L"Скасовано - Tarvo",
     {{1, L"1 символ не вміщується в KOI8-R і записаний знаком заміни - Tarvo"},
      {2, L"2 символи не вміщуються в KOI8-R і записані знаками заміни - Tarvo"},
      {11, L"11 символів не вміщуються в KOI8-R і записані знаками заміни - Tarvo"},
      {21, L"21 символ не вміщується в KOI8-R і записаний знаком заміни - Tarvo"}}},
};

const Language& ByName(const std::string& name)
{
    for (const Language& language : Languages)
        if (name == language.name)
            return language;
    return Languages[0];
}

const Language& ByItem(UINT item)
{
    for (const Language& language : Languages)
        if (language.item == item)
            return language;
    return Languages[0];
}

// The language this run was started with.
const Language& RunLanguage()
{
    const char* name = std::getenv("TARVO_UI_LANGUAGE");
    return ByName(name ? name : "en");
}

std::wstring WindowText(HWND window)
{
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, sizeof text / sizeof *text);
    return text;
}

std::wstring MenuText(HMENU menu, UINT item, UINT flag = MF_BYCOMMAND)
{
    wchar_t text[256] = L"";
    GetMenuStringW(menu, item, text, sizeof text / sizeof *text, flag);
    return text;
}

// The tooltip as the command bar's own tooltip control gets it: through
// the toolbar, which asks the window in the form the window answers in.
std::wstring Tooltip(int command)
{
    HWND tips = reinterpret_cast<HWND>(SendMessageW(CommandBar, TB_GETTOOLTIPS, 0, 0));
    wchar_t text[512] = L"";
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = CommandBar;
    tool.uId = static_cast<UINT_PTR>(command);
    tool.lpszText = text;
    SendMessageW(tips, TTM_GETTEXTW, sizeof text / sizeof *text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

// Whether the text of a static control or a button has the room it needs
// in the control's font: a static's words wrapped within its width, a
// button's on one line within its face.
bool TextFits(HWND control)
{
    const std::wstring text = WindowText(control);
    if (text.empty())
        return true;
    RECT room;
    GetClientRect(control, &room);
    wchar_t className[16] = L"";
    GetClassNameW(control, className, 16);
    const bool button = lstrcmpiW(className, L"Button") == 0;
    HDC context = GetDC(control);
    HGDIOBJ previous = SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT needed = {0, 0, room.right - (button ? 2 * GetSystemMetrics(SM_CXEDGE) + 4 : 0), 0};
    DrawTextW(context, text.c_str(), -1, &needed, DT_CALCRECT | (button ? DT_SINGLELINE : DT_WORDBREAK));
    SelectObject(context, previous);
    ReleaseDC(control, context);
    return needed.right <= room.right && needed.bottom <= room.bottom;
}

// The texts of a dialog's controls that have not the room they need.
std::vector<std::wstring> CutTexts(HWND dialog)
{
    std::vector<std::wstring> cut;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (!TextFits(child))
            cut.push_back(WindowText(child));
    return cut;
}

class LanguageTest : public testing::Test {
protected:
    void SetUp() override { DeleteTarvoKey(); }
    void TearDown() override
    {
        StopTarvo();
        DeleteTarvoKey();
    }
};

TEST_F(LanguageTest, MenusTooltipsBoxesDialogsAndTitlesSpeakTheDisplayLanguage)
{
    const Language& language = RunLanguage();
    ASSERT_TRUE(StartTarvo(true));
    EXPECT_EQ(InterfaceLanguage, language.id);

    EXPECT_EQ(Tooltip(IDM_CONVERT_FILES), language.convertFilesTip);
    EXPECT_EQ(MenuText(TrayMenu, IDM_EXIT), language.exitItem);
    HMENU systemMenu = GetSystemMenu(MainWindow, FALSE);
    EXPECT_EQ(MenuText(systemMenu, IDM_DETECT_SOURCE), language.detectItem);
    EXPECT_EQ(MenuText(systemMenu, 10, MF_BYPOSITION), language.languageMenu);
    EXPECT_TRUE(GetMenuState(GetSubMenu(systemMenu, 10), language.item, MF_BYCOMMAND) & MF_CHECKED);

    // A message box, the open dialog's filter, the in-place question and
    // the hot keys dialog, each read and closed as it shows.
    std::wstring boxTitle, filter, yes;
    std::vector<std::wstring> cut;
    DialogAnswerer answerer([&](HWND dialog) {
        if (GetDlgItem(dialog, IDC_ACTIVATION_HOTKEY)) {
            for (const std::wstring& text : CutTexts(dialog))
                cut.push_back(text);
            PressButton(dialog, IDCANCEL);
        } else if (HWND types = GetDlgItem(dialog, 1136)) {  // cmb1, the file types
            filter = WindowText(types);
            PressButton(dialog, IDCANCEL);
        } else if (HWND button = GetDlgItem(dialog, IDYES)) {
            yes = WindowText(button);
            for (const std::wstring& text : CutTexts(dialog))
                cut.push_back(text);
            PressButton(dialog, IDNO);
        } else {
            boxTitle = WindowText(dialog);
            PressButton(dialog, IDOK);
        }
        return true;
    });
    TempFolder folder;
    ConvertFile(MainWindow, Wide(folder.File("missing.txt")));
    SendMessageW(MainWindow, WM_COMMAND, IDM_CONVERT_FILES, 0);
    AskInPlaceQuestion(MainWindow, Wide(folder.File("letter.txt")));
    SendMessageW(MainWindow, WM_SYSCOMMAND, IDM_HOTKEYS, 0);
    EXPECT_EQ(answerer.Answered(), 4);
    EXPECT_EQ(boxTitle, language.cantOpenForRead);
    EXPECT_EQ(filter, language.textFiles);
    EXPECT_EQ(yes, language.yesButton);
    EXPECT_TRUE(cut.empty()) << "cut: " << testing::PrintToString(cut);

    SendMessageW(MainWindow, WM_FILEJOB, FILE_JOB_ENDED, 1);
    EXPECT_EQ(WindowText(MainWindow), language.cancelled);
    for (const Title& title : language.standIns) {
        SendMessageW(MainWindow, WM_STANDINS, 2 /* KOI8-R */, static_cast<LPARAM>(title.count));
        EXPECT_EQ(WindowText(MainWindow), title.text) << title.count;
    }
}

TEST_F(LanguageTest, TheSystemMenuSwitchesTheLanguageAtOnceAndTheChoiceIsKept)
{
    const Language& first = RunLanguage();
    const Language& chosen = ByItem(first.switchTo);
    ASSERT_TRUE(StartTarvo(true));
    SendMessageW(MainWindow, WM_COMMAND, IDM_AUTO_CONVERT, 0);
    const bool autoConvert = (GetMenuState(TrayMenu, IDM_AUTO_CONVERT, MF_BYCOMMAND) & MF_CHECKED) != 0;

    // Chosen in the system menu; some systems send a submenu's items there
    // as WM_COMMAND, and that chooses as well.
    const struct {
        UINT message;
        const Language& language;
    } steps[] = {{WM_SYSCOMMAND, chosen}, {WM_COMMAND, first}, {WM_SYSCOMMAND, chosen}};
    for (const auto& step : steps) {
        const Language& expected = step.language;
        SCOPED_TRACE(std::string(step.message == WM_COMMAND ? "WM_COMMAND " : "WM_SYSCOMMAND ") + expected.name);
        SendMessageW(MainWindow, step.message, expected.item, 0);
        HMENU systemMenu = GetSystemMenu(MainWindow, FALSE);
        EXPECT_EQ(MenuText(TrayMenu, IDM_EXIT), expected.exitItem);
        EXPECT_EQ(MenuText(systemMenu, IDM_DETECT_SOURCE), expected.detectItem);
        EXPECT_EQ(MenuText(systemMenu, 10, MF_BYPOSITION), expected.languageMenu);
        EXPECT_TRUE(GetMenuState(GetSubMenu(systemMenu, 10), expected.item, MF_BYCOMMAND) & MF_CHECKED);
        EXPECT_EQ(Tooltip(IDM_CONVERT_FILES), expected.convertFilesTip);
        EXPECT_EQ((GetMenuState(TrayMenu, IDM_AUTO_CONVERT, MF_BYCOMMAND) & MF_CHECKED) != 0, autoConvert)
            << "the checks stay";
        EXPECT_TRUE(GetMenuState(systemMenu, IDM_DETECT_SOURCE, MF_BYCOMMAND) & MF_CHECKED) << "a first start's";
    }

    StopTarvo();
    ASSERT_TRUE(StartTarvo(true));
    EXPECT_EQ(InterfaceLanguage, chosen.id);
    EXPECT_EQ(MenuText(TrayMenu, IDM_EXIT), chosen.exitItem);
    EXPECT_EQ(Settings.Language, chosen.id);
}

// The text the help viewer shows, whatever the ANSI code page. The viewer
// is an ANSI program of its own: WM_GETTEXT would bring its text through
// that page, so its rich edit control (1793) is asked for UTF-8, with the
// request and the answer in the viewer's memory.
BOOL CALLBACK FindPage(HWND child, LPARAM found)
{
    if (GetDlgCtrlID(child) != 1793)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

std::wstring PageText(HWND page)
{
    DWORD id = 0;
    GetWindowThreadProcessId(page, &id);
    HANDLE viewer = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
    if (!viewer)
        return L"";
    const size_t size = 8192;
    char* remote = static_cast<char*>(VirtualAllocEx(viewer, nullptr, sizeof(GETTEXTEX) + size, MEM_COMMIT, PAGE_READWRITE));
    std::vector<char> utf8(size + 1, '\0');
    const GETTEXTEX how = {static_cast<DWORD>(size), GT_DEFAULT, CP_UTF8, nullptr, nullptr};
    DWORD_PTR copied = 0;
    if (remote && WriteProcessMemory(viewer, remote, &how, sizeof how, nullptr) &&
        SendMessageTimeoutW(page, EM_GETTEXTEX, reinterpret_cast<WPARAM>(remote),
                            reinterpret_cast<LPARAM>(remote + sizeof how), SMTO_ABORTIFHUNG, WaitBudgetMs, &copied))
        ReadProcessMemory(viewer, remote + sizeof how, utf8.data(), size, nullptr);
    if (remote)
        VirtualFreeEx(viewer, remote, 0, MEM_RELEASE);
    CloseHandle(viewer);
    std::wstring text(size, L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), -1, &text[0], static_cast<int>(size))));
    return text;
}

std::wstring HelpViewerText()
{
    for (int tries = 0; tries < 250; ++tries) {
        HWND viewer = FindWindowA("MS_WINHELP", nullptr), page = nullptr;
        if (viewer)
            EnumChildWindows(viewer, FindPage, reinterpret_cast<LPARAM>(&page));
        const std::wstring text = page ? PageText(page) : L"";
        if (text.size() > 1)
            return text;
        PumpMessages(20);
    }
    return L"";
}

// A file beside this program, as the help files lie beside tarvo.exe.
std::string Beside(const std::string& name)
{
    char path[MAX_PATH];
    const std::string program(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return program.substr(0, program.find_last_of('\\') + 1) + name;
}

std::vector<std::wstring> OpenedChms;

HWND WINAPI RecordHtmlHelp(HWND, const wchar_t* file, UINT command, DWORD_PTR)
{
    if (command == HH_DISPLAY_TOC && file)
        OpenedChms.push_back(file);
    return nullptr;
}

TEST_F(LanguageTest, F1OpensTheHelpOfTheInterfaceLanguageOrElseTheEnglishOne)
{
    const struct {
        const char* language;
        const char* name;  // of the help files
        const wchar_t* phrase;
    } helps[] = {
        {"en", "tarvo", L"code page"}, {"ru", "tarvo-ru", L"кодовой страницы"}, {"uk", "tarvo-uk", L"кодової сторінки"}};
    const auto& help = *std::find_if(std::begin(helps), std::end(helps),
                                     [](const auto& h) { return std::string(h.language) == RunLanguage().name; });
    ASSERT_TRUE(StartTarvo(true));

    // WinHelp, while no .chm lies beside the program: the text in the
    // help's own code page, whatever the system's.
    SendMessageW(MainWindow, WM_KEYDOWN, VK_F1, 0);
    const std::wstring shown = HelpViewerText();
    EXPECT_NE(shown.find(help.phrase), std::wstring::npos) << help.name << ": " << testing::PrintToString(shown.substr(0, 200));
    StopTarvo();  // closes the viewer
    for (int tries = 0; tries < 100 && FindWindowA("MS_WINHELP", nullptr); ++tries)
        PumpMessages(20);

    // HTML Help, on a system without WinHelp: the .chm of the language,
    // and the English one where that is missing.
    const std::string chm = std::string(help.name) + ".chm";
    for (const std::string& name : {std::string("tarvo.chm"), chm}) {
        std::string built = "Z:" TARVO_HELP_DIRECTORY "/" + name;
        std::replace(built.begin(), built.end(), '/', '\\');
        ASSERT_TRUE(CopyFileA(built.c_str(), Beside(name).c_str(), FALSE)) << built;
    }
    ASSERT_TRUE(StartTarvo(true));
    const HtmlHelpFunction saved = HtmlHelpViewer;
    HtmlHelpViewer = RecordHtmlHelp;
    SendMessageW(MainWindow, WM_KEYDOWN, VK_F1, 0);
    std::vector<std::wstring> expected = {Wide(Beside(chm))};
    if (chm != "tarvo.chm") {
        DeleteFileA(Beside(chm).c_str());
        SendMessageW(MainWindow, WM_KEYDOWN, VK_F1, 0);
        expected.push_back(Wide(Beside("tarvo.chm")));
    }
    HtmlHelpViewer = saved;
    DeleteFileA(Beside(chm).c_str());
    DeleteFileA(Beside("tarvo.chm").c_str());
    EXPECT_EQ(OpenedChms, expected);
}

} // namespace
