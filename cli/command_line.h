// What tarvoconv's arguments ask for, and the usage text that explains them.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// -f auto: the input's encoding is detected from its first bytes.
const int AutoEncoding = -2;

struct CommandLine {
    int source = -1;       // encoding of the input: CodePageIndex, EncodingUtf8, EncodingUtf16 or AutoEncoding
    int destination = -1;  // encoding of the output
    bool convertNewlines = false;
    bool substitute = false;  // -c
    bool inPlace = false;
    bool detect = false;  // --detect: only say what each input is in
    // INPUT and OUTPUT, each empty or "-" for the standard streams; with
    // inPlace, the files to convert.
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
