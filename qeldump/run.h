#pragma once

namespace qelc::dump {

// The qeldump program on an argument vector (argv[0] is not read): its output
// on standard output and standard error; returns the exit status.
int RunQeldump(int argc, const char* const* argv);

}  // namespace qelc::dump
