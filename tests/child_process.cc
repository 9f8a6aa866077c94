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

struct Pipe {
  int read = -1;
  int write = -1;
};

bool OpenPipe(Pipe& pipe) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return false;
  pipe.read = ends[0];
  pipe.write = ends[1];
  return true;
}

void Close(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

std::vector<std::string> Environment(const std::vector<std::string>& defaults) {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry; ++entry) environment.emplace_back(*entry);
  for (const std::string& setting : defaults) {
    std::string name = setting.substr(0, setting.find('='));
    if (!std::getenv(name.c_str())) environment.push_back(setting);
  }
  return environment;
}

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

std::string StartProblem(int report, const std::string& program, const std::string& directory) {
  int error = 0;
  ssize_t got;
  do {
    got = read(report, &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  if (got != ssize_t(sizeof error)) return {};
  return "cannot run " + program + " in " + directory + ": " + std::strerror(error);
}

void Collect(Pipe& out, Pipe& err, ChildRun& run, Clock::time_point deadline) {
  pollfd fds[2] = {{out.read, POLLIN, 0}, {err.read, POLLIN, 0}};
  std::string* sinks[2] = {&run.out, &run.err};
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      run.timedOut = true;
      return;
    }
    int ready = poll(fds, 2, int(left.count()));
    if (ready < 0 && errno != EINTR) return;
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
  std::vector<char*> argv = Pointers(argvTexts);
  std::vector<std::string> environmentTexts = Environment(defaults);
  std::vector<char*> envp = Pointers(environmentTexts);

  Pipe out, err, report;
  if (!OpenPipe(out) || !OpenPipe(err) || !OpenPipe(report)) {
    run.problem = std::string("cannot create pipes: ") + std::strerror(errno);
    return run;
  }
  Clock::time_point deadline = Clock::now() + limit;
  pid_t pid = fork();
  if (pid == 0) {
    StartChild(program.c_str(), argv.data(), envp.data(), directory.c_str(), limits, out.write,
               err.write, report.write);
  }
  Close(out.write);
  Close(err.write);
  Close(report.write);
  if (pid < 0) {
    run.problem = std::string("cannot fork: ") + std::strerror(errno);
  } else {
    run.problem = StartProblem(report.read, program, directory);
    Collect(out, err, run, deadline);
  }
  Close(out.read);
  Close(err.read);
  Close(report.read);
  if (pid < 0) return run;

  int status = 0;
  while (true) {
    if (run.timedOut) {
      kill(-pid, SIGKILL);
      kill(pid, SIGKILL);
    }
    pid_t done = waitpid(pid, &status, run.timedOut ? 0 : WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return run;
    if (done == 0) {
      // The output is closed but the program still runs.
      if (Clock::now() >= deadline) {
        run.timedOut = true;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    }
  }
  if (WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
  return run;
}

}  // namespace qelc::test
