#include "qelcmd/write_whole.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace qelc::qelcmd {

namespace {

std::string Reason(int error) { return std::generic_category().message(error); }

// Writes all of `bytes`, through interrupted and partial writes.
bool WriteAll(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(size_t(written));
  }
  return true;
}

}  // namespace

std::string WriteWhole(const std::filesystem::path& path, std::string_view bytes,
                       std::optional<mode_t> mode) {
  std::string prefix = "." + path.filename().string() + "." + std::to_string(::getpid()) + "-";
  std::filesystem::path temporary;
  int descriptor = -1;
  // Another program (or an earlier run killed outright) may hold a name.
  for (int attempt = 0; descriptor < 0; ++attempt) {
    temporary = path.parent_path() / (prefix + std::to_string(attempt) + ".tmp");
    descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0 && (errno != EEXIST || attempt == 100)) return Reason(errno);
  }
  bool written = WriteAll(descriptor, bytes) && (!mode || ::fchmod(descriptor, *mode) == 0);
  int error = errno;
  if (::close(descriptor) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && ::rename(temporary.c_str(), path.c_str()) == 0) return {};
  if (written) error = errno;
  ::unlink(temporary.c_str());
  return Reason(error);
}

}  // namespace qelc::qelcmd
