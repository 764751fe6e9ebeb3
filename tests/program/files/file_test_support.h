// What the file conversion tests share: answering a job's dialogs in turn,
// dropping files on the main window, and a line of text in three code pages.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "program_test_support.h"

// "Привет, мир" and a line feed, in KOI8-R, cp1251 and cp866.
extern const std::string Koi8Line;
extern const std::string Cp1251Line;
extern const std::string Cp866Line;

// unit repeated and cut to size bytes.
std::string Repeat(const std::string& unit, size_t size);

using Answer = std::function<void(HWND dialog)>;

// Runs job on this thread while a second thread hands the dialogs and
// message boxes that it shows, in turn, to answers. A dialog beyond the
// answers is cancelled, so a job that shows one too many still ends.
// Returns the title and text of every dialog shown.
std::vector<BoxText> AnswerDialogs(const std::vector<Answer>& answers, const std::function<void()>& job);

Answer Press(int button);
// Types text into the file name box of an open or save dialog and presses OK.
Answer EnterFileName(const std::string& text);
Answer EnterFileName(const std::wstring& text);

// A drop block as the shell makes it; the program frees it.
HDROP MakeDrop(const std::vector<std::string>& paths);
void DropFiles(const std::vector<std::string>& paths);

// The real main window with KOI8-R as the source and cp1251 as the
// destination, "Overwrite input file" and "Convert NewLines" off, a first
// start's settings otherwise, and folders of its own.
class FileConversionTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Command(int command);
    void SetOverwrite(bool on);
    // Makes the jobs behave as with the preview shown, with a pane of the
    // test's own as the source pane (a Unicode control, as the program's).
    void ShowSourcePane();
    // ConvertFile with the dialogs it shows answered in turn.
    int Convert(const std::string& path, const std::vector<Answer>& answers = {},
                std::vector<BoxText>* shown = nullptr);

    TempFolder folder;
    TempFolder outputs;  // for tests that write elsewhere
    HWND pane = nullptr;
    char startDirectory[MAX_PATH] = "";
};

using Names = std::vector<std::string>;
