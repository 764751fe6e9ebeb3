// The fault matrix: faults a user can meet, one row each, with what the
// user sees and what is checked afterwards: the files, the clipboard, the
// registry, and that the program still runs and answers. Every row adds to
// the totals printed at the end of the run: rows, faults survived (every
// check of the row held) and bytes lost (user data found neither as it was
// nor correctly converted; it must stay 0).
#pragma once

#include <gtest/gtest.h>

#include <string>

// Checks that data the user must not lose is there; counts its bytes as
// lost when it is not.
void ExpectKept(const std::string& what, const std::string& expected, const std::string& found);

// The main window exists and answers a message within a second.
bool ProgramAnswers();

// Counts the running test as a row of the matrix. Call at its end.
void CountRow(bool programMustAnswer = true);

// A drive of the rig's own whose disk is small, for a full disk; empty when
// the rig could not make one (mounting not allowed).
std::string SmallDisk();

// A row's fault as a test's name: letters and digits, '_' for the rest.
std::string RowName(const char* fault);

template <typename Row>
std::string RowNameOf(const testing::TestParamInfo<Row>& info)
{
    return RowName(info.param.fault);
}
