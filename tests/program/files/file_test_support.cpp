#include "file_test_support.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "file_conversion.h"
#include "main_window.h"
#include "preview.h"
#include "resource_ids.h"
#include "settings.h"

const std::string Koi8Line = "\xF0\xD2\xC9\xD7\xC5\xD4, \xCD\xC9\xD2\n";
const std::string Cp1251Line = "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0\n";
const std::string Cp866Line = "\x8F\xE0\xA8\xA2\xA5\xE2, \xAC\xA8\xE0\n";

std::string Repeat(const std::string& unit, size_t size)
{
    std::string text;
    while (text.size() < size)
        text += unit;
    return text.substr(0, size);
}

namespace {

struct Script {
    const std::vector<Answer>* answers;
    std::vector<BoxText> shown;
    volatile LONG jobEnded;
};

DWORD WINAPI AnswerInTurn(void* parameter)
{
    Script& script = *static_cast<Script*>(parameter);
    std::set<HWND> seen;
    size_t turn = 0;
    DWORD lastAnswer = GetTickCount();
    while (!script.jobEnded) {
        const std::vector<HWND> open = VisibleWindows(GetCurrentProcessId(), "#32770");
        const auto fresh = std::find_if(open.begin(), open.end(), [&](HWND dialog) { return !seen.count(dialog); });
        if (fresh == open.end()) {
            // A dialog that did not take its answer would keep the job
            // waiting for ever.
            if (GetTickCount() - lastAnswer > WaitBudgetMs) {
                for (HWND dialog : open) {
                    script.shown.push_back(BoxText{"left open", ReadBox(dialog).title});
                    PressButton(dialog, IDCANCEL);
                }
                lastAnswer = GetTickCount();
            }
            Sleep(10);
            continue;
        }
        seen.insert(*fresh);
        Sleep(50);  // let it finish its WM_INITDIALOG
        script.shown.push_back(ReadBox(*fresh));
        if (turn < script.answers->size())
            (*script.answers)[turn](*fresh);
        else
            PressButton(*fresh, IDCANCEL);
        ++turn;
        lastAnswer = GetTickCount();
    }
    return 0;
}

} // namespace

std::vector<BoxText> AnswerDialogs(const std::vector<Answer>& answers, const std::function<void()>& job)
{
    Script script = {&answers, {}, 0};
    HANDLE thread = CreateThread(nullptr, 0, AnswerInTurn, &script, 0, nullptr);
    job();
    InterlockedExchange(&script.jobEnded, 1);
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        PumpMessages();
    CloseHandle(thread);
    return script.shown;
}

Answer Press(int button)
{
    return [button](HWND dialog) { PressButton(dialog, button); };
}

Answer EnterFileName(const std::string& text)
{
    return EnterFileName(Wide(text));
}

Answer EnterFileName(const std::wstring& text)
{
    return [text](HWND dialog) { ::EnterFileName(dialog, text); };
}

HDROP MakeDrop(const std::vector<std::string>& paths)
{
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths)
        size += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    char* list = reinterpret_cast<char*>(drop + 1);
    for (const std::string& path : paths) {
        std::memcpy(list, path.c_str(), path.size() + 1);
        list += path.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

void DropFiles(const std::vector<std::string>& paths)
{
    SendMessageA(MainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
}

void FileConversionTest::SetUp()
{
    GetCurrentDirectoryA(sizeof startDirectory, startDirectory);
    AskConfirmation = 1;  // as after the program's start; tests may turn it off
    StoreDefaultSettings();
    ASSERT_TRUE(StartTarvo());
    Command(IDM_SOURCE_FIRST + 2);
    Command(IDM_DESTINATION_FIRST + 1);
    SetOverwrite(false);
    if (Settings.Parameters & ParamConvertNewlines)
        Command(IDM_CONVERT_NEWLINES);
}

void FileConversionTest::TearDown()
{
    SourcePane = nullptr;
    if (pane)
        DestroyWindow(pane);
    StopTarvo();
    DeleteTarvoKey();
    // The file dialogs move the current directory into the folder they
    // returned, which could then not be removed.
    SetCurrentDirectoryA(startDirectory);
}

void FileConversionTest::Command(int command)
{
    SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void FileConversionTest::SetOverwrite(bool on)
{
    if (((Settings.Parameters & ParamOverwriteInput) != 0) != on)
        Command(IDM_OVERWRITE_INPUT);
}

void FileConversionTest::ShowSourcePane()
{
    pane = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | ES_MULTILINE, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                           nullptr);
    SourcePane = pane;
}

int FileConversionTest::Convert(const std::string& path, const std::vector<Answer>& answers,
                                std::vector<BoxText>* shown)
{
    int converted = -1;
    std::vector<BoxText> boxes = AnswerDialogs(answers, [&] { converted = ConvertFile(MainWindow, Wide(path)); });
    if (shown)
        *shown = boxes;
    else
        EXPECT_EQ(boxes.size(), 0u) << "unexpected dialog: " << boxes[0].title << " / " << boxes[0].text;
    return converted;
}
