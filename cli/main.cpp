#include <csignal>
#include <cstdio>

#include "signal_cleanup.h"
#include "tarvoconv.h"
#include "translation.h"

#ifdef _WIN32

#include <fcntl.h>
#include <io.h>

#include <string>
#include <vector>

#include "file_names.h"

// The wide command line (linked with -municode): the ANSI one has a '?' for
// every character outside the ANSI code page, and a file with one in its
// name could not be named. tarvoconv takes its arguments in UTF-8.
int wmain(int argc, wchar_t** argv)
{
    // Text mode would turn CR LF into LF on the way in and back on the way
    // out, and stop reading at the first Ctrl-Z.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    std::setvbuf(stdin, nullptr, _IONBF, 0);  // input_stream.h: read straight into the caller's block
    UseUserLanguage();
    std::vector<std::string> arguments;
    for (int n = 0; n < argc; ++n)
        arguments.push_back(Utf8FromWide(argv[n]));
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(&argument[0]);
    pointers.push_back(nullptr);
    return RunTarvoconv(argc, pointers.data(), stdin, stdout, stderr);
}

#else

int main(int argc, char** argv)
{
#ifdef SIGXFSZ
    // Past a file size limit the write fails with EFBIG, which is reported
    // and cleaned up after, rather than killing the process mid-file and
    // leaving its temporary file behind.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    CatchEndingSignals();
    std::setvbuf(stdin, nullptr, _IONBF, 0);  // input_stream.h: read straight into the caller's block
    UseUserLanguage();
    return RunTarvoconv(argc, argv, stdin, stdout, stderr);
}

#endif
