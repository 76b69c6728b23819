#pragma once
// The command line's Stop button. SIGINT and SIGTERM press it, and so does the time
// limit (--time-limit, by SIGALRM); the engine sees each press as a click on Stop the
// next time it processes pending input. A second SIGINT or SIGTERM ends the process at
// once, by that signal.
//
// The signal handlers only change lock-free atomics; everything else happens on the
// main thread.

#include <csignal>
#include <optional>
#include <string>

namespace lumenark::cli {

// Installs the handlers and, with a time limit, starts its clock.
void InstallStopRequests(std::optional<unsigned> timeLimitSeconds);

// Whether Stop was pressed at all.
bool StopWasRequested();

// True once for every press not taken yet: the engine's host turns it into a click.
bool TakeStopRequest();

// What pressed Stop first: "Stopped after N s." or "Stopped by SIGINT." (SIGTERM).
std::string StopMessage();

// The stop signals, blocked outside a wait that a stop should end (see ReadDocument).
sigset_t StopSignals();

}  // namespace lumenark::cli
