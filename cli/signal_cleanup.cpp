#include "signal_cleanup.h"

#ifdef _WIN32

void CatchEndingSignals()
{
}

EndingSignalsHeld::EndingSignalsHeld()
{
}

EndingSignalsHeld::~EndingSignalsHeld()
{
}

void RemoveOnSignal(const char*)
{
}

void ForgetOnSignal()
{
}

#else

#include <unistd.h>

#include <atomic>
#include <cstring>

namespace {

const int EndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// Read by the handler, which may come at any moment: a pointer it can load
// whole, to a name that stays until the pointer no longer leads to it.
std::atomic<char*> PendingFile(nullptr);
static_assert(ATOMIC_POINTER_LOCK_FREE == 2, "the handler must read the name without a lock");

sigset_t EndingSignalSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (int signal : EndingSignals)
        sigaddset(&set, signal);
    return set;
}

// Only calls that are safe in a handler: unlink, sigaction, sigprocmask,
// raise.
extern "C" void RemoveAndEnd(int signal)
{
    const char* path = PendingFile.load();
    if (path != nullptr)
        unlink(path);
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal);
}

} // namespace

void CatchEndingSignals()
{
    for (int signal : EndingSignals) {
        struct sigaction previous = {};
        if (sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction catching = {};
        catching.sa_handler = RemoveAndEnd;
        catching.sa_mask = EndingSignalSet();  // one handler at a time
        sigaction(signal, &catching, nullptr);
    }
}

EndingSignalsHeld::EndingSignalsHeld()
{
    const sigset_t ending = EndingSignalSet();
    sigprocmask(SIG_BLOCK, &ending, &previous_);
}

EndingSignalsHeld::~EndingSignalsHeld()
{
    sigprocmask(SIG_SETMASK, &previous_, nullptr);
}

void RemoveOnSignal(const char* path)
{
    const size_t length = std::strlen(path);
    char* copy = new char[length + 1];
    std::memcpy(copy, path, length + 1);
    delete[] PendingFile.exchange(copy);
}

void ForgetOnSignal()
{
    delete[] PendingFile.exchange(nullptr);
}

#endif
