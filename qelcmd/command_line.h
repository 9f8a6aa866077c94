#pragma once

#include <functional>

namespace qelc::qelcmd {

// Called by a command that must not be ended half way (a build): from then on
// a stop signal (SIGINT, SIGTERM) no longer ends the program but asks the
// command to stop; the function it returns tells whether one came.
using CatchStopSignals = std::function<std::function<bool()>()>;

// The qel program on an argument vector: its subcommands build, check, show,
// fmt, explain, new and help. Returns the exit status: 0 done, 1 a source
// with errors (or a file fmt would change), 2 a usage error or a PATH that
// does not exist.
int RunQel(int argc, const char* const* argv, const CatchStopSignals& catchStop);

}  // namespace qelc::qelcmd
