#include "qelcmd/format_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "qelc/qelc.h"
#include "qelcmd/write_whole.h"

namespace qelc::qelcmd {

namespace fs = std::filesystem;

int FormatFiles(const std::vector<std::string>& files, bool checkOnly, FILE* out, FILE* errors) {
  int status = 0;
  auto fail = [&](const std::string& file, const std::string& why, int fileStatus) {
    std::fprintf(errors, "qel: %s: %s\n", file.c_str(), why.c_str());
    status = std::max(status, fileStatus);
  };
  for (const std::string& file : files) {
    struct stat info;
    std::ifstream in(file, std::ios::binary);
    if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || !in) {
      fail(file, "no such file", 2);
      continue;
    }
    std::ostringstream text;
    text << in.rdbuf();
    // Named as qelc run in the file's folder names it.
    fs::path folder = fs::path(file).parent_path();
    DirectoryResolver includes(folder.empty() ? "." : folder.string());
    std::string original = std::move(text).str();
    FormatResult formatted = Format({fs::path(file).filename().string(), original}, &includes);
    if (!formatted.text) {
      fail(file, formatted.refusal, 1);
    } else if (*formatted.text == original) {
      continue;
    } else if (checkOnly) {
      std::fprintf(out, "%s\n", file.c_str());
      status = std::max(status, 1);
    } else if (std::string problem = WriteWhole(file, *formatted.text, info.st_mode & 07777);
               !problem.empty()) {
      fail(file, "cannot be written: " + problem, 2);
    }
  }
  return status;
}

}  // namespace qelc::qelcmd
