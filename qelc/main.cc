// qelc: the command line over the compiler library.

#include <cstdio>
#include <string>
#include <string_view>

#include "qelc/qelc.h"
#include "source/ascii.h"
#include "source/compile_run.h"

namespace {

constexpr int kStatusBadExtension = 2;
constexpr int kStatusBadOption = 3;
constexpr int kStatusBadArgumentCount = 4;

void PrintShortUsage() {
  std::fputs("Correct usage : qelc filename \n", stderr);
  std::fputs("where :\n", stderr);
  std::fputs("filename is file name with extension 'daf' or 'ipf'.\n\n", stderr);
}

void PrintLongUsage() {
  std::fputs("Correct usage : qelc filename -d\n", stderr);
  std::fputs("where :\n", stderr);
  std::fputs("filename is file name with extension 'daf' or 'ipf'.\n", stderr);
  std::fputs("-d for debug (optional).\n\n", stderr);
}

bool HasSourceExtension(std::string_view name) {
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string_view extension = name.substr(dot);
  return qelc::StartsWithNoCase(extension, ".daf") || qelc::StartsWithNoCase(extension, ".ipf");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fputs("\nWrong number of arguments.\n\n", stderr);
    PrintShortUsage();
    return kStatusBadArgumentCount;
  }
  if (!HasSourceExtension(argv[1])) {
    std::fputs("\nIncorrect file extension.\n\n", stderr);
    PrintShortUsage();
    return kStatusBadExtension;
  }
  std::string option = argc == 3 ? argv[2] : "";
  if (argc == 3 && !qelc::IsDebugOption(option)) {
    std::fputs("\nIncorrect option parameter.\n\n", stderr);
    PrintLongUsage();
    return kStatusBadOption;
  }
  return qelc::CompileInWorkingDirectory(argv[1], option);
}
