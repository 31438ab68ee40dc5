// The signals that ask a program to end: SIGHUP (the terminal it runs in
// was closed), SIGTERM (a session or service manager stops it) and SIGINT
// (Ctrl-C). Caught, they end the program the normal way, saving what the
// player would lose: the handler only notes the signal, and the main run
// loop, which asks takePending() at the end of every turn, terminates the
// application. Repeats while that is under way change nothing, except a
// second Ctrl-C, which ends the process at once as if nothing had been
// caught, so a stuck shutdown can still be stopped.
//
// SIGPIPE is ignored: a log reader that went away (`game 2>&1 | head`)
// must not kill the game. Programs started from here get the default
// action back (see Application::openURL).
#pragma once

namespace host {

class TerminationSignals {
public:
    // Installs the handlers (again after restoreDefaults()).
    static void install();
    // The signal that arrived since the last call, or 0; main thread.
    static int takePending();
    // The default actions again, for every signal install() took.
    static void restoreDefaults();
    // "SIGHUP", "SIGTERM", "SIGINT" (or "a signal").
    static const char* name(int signal);
};

}  // namespace host
