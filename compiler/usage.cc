#include "compiler/usage.h"

#include "source/ascii.h"

namespace qelc {

namespace {

constexpr std::string_view kShortUsage =
    "Correct usage : qelc filename \n"
    "where :\n"
    "filename is file name with extension 'daf' or 'ipf'.\n\n";

constexpr std::string_view kLongUsage =
    "Correct usage : qelc filename -d\n"
    "where :\n"
    "filename is file name with extension 'daf' or 'ipf'.\n"
    "-d for debug (optional).\n\n";

}  // namespace

bool HasSourceExtension(std::string_view name) {
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string_view extension = name.substr(dot);
  return StartsWithNoCase(extension, ".daf") || StartsWithNoCase(extension, ".ipf");
}

std::string WrongArgumentCountText() {
  return "\nWrong number of arguments.\n\n" + std::string(kShortUsage);
}

std::string IncorrectExtensionText() {
  return "\nIncorrect file extension.\n\n" + std::string(kShortUsage);
}

std::string IncorrectOptionText() {
  return "\nIncorrect option parameter.\n\n" + std::string(kLongUsage);
}

}  // namespace qelc
