// The temporary file of an output that a signal must not leave behind:
// Ctrl-C, kill, a terminal closed or a reader gone from a pipe would end the
// process and leave it on the disk, hidden, as large as the text written so
// far.
#pragma once

#ifndef _WIN32
#include <signal.h>
#endif

// Catches SIGINT, SIGTERM, SIGHUP and SIGPIPE, but those ignored already (a
// signal ignored when tarvoconv starts stays ignored, as nohup and the
// shells mean it): the handler removes the file named by RemoveOnSignal,
// then ends the process by the signal's default action, as it would have
// ended. Nothing where there are no such signals.
void CatchEndingSignals();

// Holds those signals back for as long as it lives, so that a step and the
// record of it happen together: a temporary file made and named, renamed and
// forgotten.
class EndingSignalsHeld {
public:
    EndingSignalsHeld();
    ~EndingSignalsHeld();
    EndingSignalsHeld(const EndingSignalsHeld&) = delete;
    EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

private:
#ifndef _WIN32
    sigset_t previous_;
#endif
};

// The file a signal removes from now on (a copy of path is kept)...
void RemoveOnSignal(const char* path);

// ...until it is renamed or removed.
void ForgetOnSignal();
