// tarvoconv, the command line converter, callable in-process.
#pragma once

#include <cstdio>

// Runs tarvoconv with the given arguments (argv[0] is the program name) and
// returns its exit code: 0 converted, 1 a file or stream failed, 2 the
// arguments were wrong. On Windows the arguments are in UTF-8 (wmain makes
// them so), elsewhere as the system passes them. in and out stand for
// standard input and output; they must be in binary mode. Messages go to err.
int RunTarvoconv(int argc, char** argv, std::FILE* in, std::FILE* out, std::FILE* err);
