#pragma once

namespace qelc::lint {

// The whole program on an argument vector; returns the exit status: 0 clean,
// 1 errors (or warnings under -Werror), 2 trouble (a bad option, a file that
// cannot be read).
int RunQellint(int argc, const char* const* argv);

}  // namespace qelc::lint
