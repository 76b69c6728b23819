#include "StopRequests.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace lumenark::cli {
namespace {

static_assert(std::atomic<int>::is_always_lock_free, "a signal handler may only touch lock-free atomics");

std::atomic<int> presses{0};          // times Stop was pressed
std::atomic<int> firstCause{0};       // the signal that pressed it first; SIGALRM is the time limit
std::atomic<int> stopSignalsSeen{0};  // SIGINT and SIGTERM received
int pressesTaken = 0;                 // main thread only
unsigned timeLimit = 0;

void OnStopSignal(int signal) {
  const int savedErrno = errno;
  if (signal != SIGALRM && stopSignalsSeen.fetch_add(1) > 0) {
    // The second one: the process ends by it, as it would without a handler.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);  // delivered as soon as this handler returns and unblocks it
  } else {
    int none = 0;
    firstCause.compare_exchange_strong(none, signal);
    presses.fetch_add(1);
  }
  errno = savedErrno;
}

}  // namespace

void InstallStopRequests(std::optional<unsigned> timeLimitSeconds) {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a wait for input ends with the press
  for (int signal : {SIGINT, SIGTERM}) {
    struct sigaction previous {};
    sigaction(signal, nullptr, &previous);
    // A signal ignored by whoever started the program (nohup, a background job) stays
    // ignored.
    if (previous.sa_handler != SIG_IGN) sigaction(signal, &action, nullptr);
  }
  if (timeLimitSeconds) {
    timeLimit = *timeLimitSeconds;
    sigaction(SIGALRM, &action, nullptr);
    alarm(timeLimit);
  }
}

bool StopWasRequested() { return presses.load() > 0; }

bool TakeStopRequest() {
  const int now = presses.load();
  if (now == pressesTaken) return false;
  pressesTaken = now;
  return true;
}

std::string StopMessage() {
  switch (firstCause.load()) {
    case SIGALRM:
      return "Stopped after " + std::to_string(timeLimit) + " s.";
    case SIGINT:
      return "Stopped by SIGINT.";
    case SIGTERM:
      return "Stopped by SIGTERM.";
    default:
      return {};
  }
}

sigset_t StopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : {SIGINT, SIGTERM, SIGALRM}) sigaddset(&signals, signal);
  return signals;
}

}  // namespace lumenark::cli
