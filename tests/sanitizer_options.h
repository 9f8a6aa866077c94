#pragma once

// How the sanitizers report in the test programs and in the compiler runs they
// start: every report ends the process with status 86, a status no test
// expects, so a report cannot pass for a run that should end with status 1.
namespace qelc::test {

constexpr char kAddressSanitizerOptions[] =
    "exitcode=86:abort_on_error=0:detect_leaks=1:strict_string_checks=1";
constexpr char kUndefinedSanitizerOptions[] = "exitcode=86:halt_on_error=1:print_stacktrace=1";

}  // namespace qelc::test
