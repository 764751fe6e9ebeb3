// What tarvoconv's arguments ask for, and the usage text that explains them.
#pragma once

#include <cstdio>
#include <string>

struct CommandLine {
    int source = -1;       // CodePageIndex of the input
    int destination = -1;  // CodePageIndex of the output
    bool convertNewlines = false;
    std::string inputPath;   // empty or "-": standard input
    std::string outputPath;  // empty or "-": standard output
};

enum CommandLineRequest {
    RequestConversion,
    RequestHelp,
    RequestInvalid,  // problem says what is wrong
};

CommandLineRequest ParseCommandLine(int argc, char** argv, CommandLine& line, std::string& problem);

void PrintUsage(std::FILE* stream);
