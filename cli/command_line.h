// What tarvoconv's arguments ask for, and the usage text that explains them.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "encoding_names.h"

// -f auto: the input's encoding is detected from its first bytes.
const int AutoEncoding = -2;

struct CommandLine {
    int source = -1;       // encoding of the input: CodePageIndex, a UnicodeEncoding or AutoEncoding
    int destination = -1;  // encoding of the output
    int sourceOrder = Utf16ByMark;       // of UTF-16 input
    int destinationOrder = Utf16ByMark;  // of UTF-16 output
    bool convertNewlines = false;
    bool substitute = false;  // -c, or -t DST//TRANSLIT
    bool omit = false;        // -t DST//IGNORE: leave out what cannot be converted, and go on
    bool inPlace = false;
    bool force = false;   // --force: convert in place also what is refused or skipped by default
    bool detect = false;  // --detect: only say what each input is in
    bool repair = false;  // --repair: undo wrong decodings rather than convert
    bool explain = false; // --explain: with repair, say what was undone in each input
    bool verbose = false; // -v: with repair, say it for each line too
    std::string output;   // -o: empty or "-" for standard output
    // The inputs, converted (or repaired) one after another into the
    // output, each empty or "-" for standard input; with inPlace, the files
    // to convert; with detect, the inputs to look at.
    std::vector<std::string> files;
};

enum CommandLineRequest {
    RequestConversion,
    RequestHelp,
    RequestVersion,
    RequestList,
    RequestDetect,
    RequestInvalid,  // problem says what is wrong
};

CommandLineRequest ParseCommandLine(int argc, char** argv, CommandLine& line, std::string& problem);

void PrintUsage(std::FILE* stream);

// What follows the one line that says what is wrong with the arguments.
extern const char UsageHint[];
