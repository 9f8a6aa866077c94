#include "tests/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;

namespace qelc::test {

namespace {

using Clock = std::chrono::steady_clock;

// The texts as a null-terminated array of pointers into them.
std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Lowers the file-size limit and ignores SIGXFSZ, whose disposition survives
// exec: a write past the limit then fails with EFBIG. Async-signal-safe.
bool LimitFileSize(rlim_t bytes) {
  struct rlimit limit = {bytes, bytes};
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  return setrlimit(RLIMIT_FSIZE, &limit) == 0 && sigaction(SIGXFSZ, &ignore, nullptr) == 0;
}

// In the child, between fork and exec: only async-signal-safe calls. A failure
// sends errno through `report` and ends the child.
[[noreturn]] void StartChild(const char* program, char* const* argv, char* const* envp,
                             const char* directory, const ChildLimits& limits, int out,
                             int err, int report) {
  setpgid(0, 0);
  int input = open("/dev/null", O_RDONLY);
  bool ready = input >= 0 && dup2(input, 0) == 0 && dup2(out, 1) == 1 && dup2(err, 2) == 2 &&
               chdir(directory) == 0 && (!limits.fileSize || LimitFileSize(*limits.fileSize));
  if (ready) execve(program, argv, envp);
  int error = errno;
  ssize_t ignored = write(report, &error, sizeof error);
  (void)ignored;
  _exit(127);
}

// Reads both outputs until the child closes them or the deadline passes.
void Collect(int out, int err, ChildRun& run, Clock::time_point deadline) {
  pollfd fds[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
  std::string* sinks[2] = {&run.out, &run.err};
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      run.timedOut = true;
      return;
    }
    if (poll(fds, 2, int(left.count())) < 0 && errno != EINTR) return;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[65536];
      ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, size_t(got));
      } else if (got == 0 || errno != EINTR) {
        fds[i].fd = -1;  // closed by the child (or unreadable): stop polling it
      }
    }
  }
}

}  // namespace

ChildRun RunChild(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& directory, std::chrono::milliseconds limit,
                  const std::vector<std::string>& defaults, const ChildLimits& limits) {
  ChildRun run;
  std::vector<std::string> argvTexts = {program};
  argvTexts.insert(argvTexts.end(), arguments.begin(), arguments.end());
  std::vector<std::string> environmentTexts;
  for (char** entry = environ; *entry; ++entry) environmentTexts.emplace_back(*entry);
  for (const std::string& setting : defaults) {
    if (!std::getenv(setting.substr(0, setting.find('=')).c_str())) {
      environmentTexts.push_back(setting);
    }
  }
  std::vector<char*> argv = Pointers(argvTexts), envp = Pointers(environmentTexts);

  // Read and write ends of standard output, standard error and the start report.
  int out[2] = {-1, -1}, err[2] = {-1, -1}, report[2] = {-1, -1};
  auto closeAll = [&](int end) {
    for (int* pipe : {out, err, report}) {
      if (pipe[end] >= 0) close(pipe[end]);
    }
  };
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0 || pipe2(report, O_CLOEXEC) != 0) {
    run.problem = std::string("cannot create pipes: ") + std::strerror(errno);
    closeAll(0);
    closeAll(1);
    return run;
  }
  Clock::time_point deadline = Clock::now() + limit;
  pid_t pid = fork();
  if (pid == 0) {
    StartChild(program.c_str(), argv.data(), envp.data(), directory.c_str(), limits, out[1],
               err[1], report[1]);
  }
  closeAll(1);
  if (pid < 0) {
    run.problem = std::string("cannot fork: ") + std::strerror(errno);
    closeAll(0);
    return run;
  }
  int error = 0;
  ssize_t got;
  do {
    got = read(report[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  if (got == ssize_t(sizeof error)) {
    run.problem = "cannot run " + program + " in " + directory + ": " + std::strerror(error);
  }
  Collect(out[0], err[0], run, deadline);
  closeAll(0);

  int status = 0;
  while (true) {
    if (run.timedOut) {
      kill(-pid, SIGKILL);
      kill(pid, SIGKILL);
    }
    pid_t done = waitpid(pid, &status, run.timedOut ? 0 : WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return run;
    // The output is closed but the program still runs.
    if (done == 0 && Clock::now() >= deadline) run.timedOut = true;
    if (done == 0 && !run.timedOut) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
  return run;
}

}  // namespace qelc::test
