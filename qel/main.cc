// qel: the everyday command over the compiler's library (build, check, show,
// fmt, explain, new).
#include <atomic>
#include <csignal>

#include "qelcmd/command_line.h"

namespace {

// The signal that asked a build to stop, 0 while none did.
std::atomic<int> stopSignal = 0;

void AskToStop(int signal) { stopSignal = signal; }

std::function<bool()> CatchStopSignals() {
  static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");
  struct sigaction action = {};
  action.sa_handler = AskToStop;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
  return [] { return stopSignal != 0; };
}

}  // namespace

int main(int argc, char** argv) {
  int status = qelc::qelcmd::RunQel(argc, argv, CatchStopSignals);
  if (int signal = stopSignal) {
    // Ended as the signal ends a program, once the build has stopped cleanly,
    // so that the shell sees why.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
  }
  return status;
}
