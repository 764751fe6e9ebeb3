#include <csignal>
#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "tarvoconv.h"

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Text mode would turn CR LF into LF on the way in and back on the way
    // out, and stop reading at the first Ctrl-Z.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
#ifdef SIGXFSZ
    // Past a file size limit the write fails with EFBIG, which is reported
    // and cleaned up after, rather than killing the process mid-file and
    // leaving its temporary file behind.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    return RunTarvoconv(argc, argv, stdin, stdout, stderr);
}
