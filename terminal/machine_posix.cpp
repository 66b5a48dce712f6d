// The machine on Linux and other POSIX systems.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "host.h"
#include "machine.h"

namespace {

long long now_in_milliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

bool set_process_variable(const wide& name, const wide& value) {
  return setenv(to_utf8(name).c_str(), to_utf8(value).c_str(), 1) == 0;
}

wide working_folder() {
  char folder[4096];
  return getcwd(folder, sizeof folder) ? from_utf8(folder) : wide();
}

bool is_directory(const wide& path) {
  struct stat info;
  return stat(to_utf8(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// WSL sets the one in every shell; its kernels name Microsoft in their
// release (a /proc file, which tells no size, so read as it comes).
bool inside_wsl() {
  const char* distribution = getenv("WSL_DISTRO_NAME");
  if (distribution && *distribution) return true;
  const int file = open("/proc/sys/kernel/osrelease", O_RDONLY | O_CLOEXEC);
  if (file < 0) return false;
  char release[256] = {};
  const ssize_t got = read(file, release, sizeof release - 1);
  close(file);
  return got > 0 && lower_case(bytes(release)).find("microsoft") != bytes::npos;
}

wide find_on_path(const wide& name) {
  const char* path = getenv("PATH");
  const bytes folders = path ? path : "";
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = std::min(folders.find(':', start), folders.size());
    const bytes folder = start == end ? "." : folders.substr(start, end - start);
    const bytes candidate = folder + "/" + to_utf8(name);
    struct stat info;
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        access(candidate.c_str(), X_OK) == 0)
      return from_utf8(candidate);
    if (end >= folders.size()) return wide();
    start = end + 1;
  }
}

// The program runs in a process group of its own, so that on a timeout
// whatever it started (node, for the npm launcher) ends with it.
program_answer ask_program(const wide& program, const char* arguments, unsigned milliseconds) {
  program_answer answer;
  const bytes file = to_utf8(program);
  bytes words = arguments;  // each space becomes the end of a word
  std::vector<char*> argv{const_cast<char*>(file.c_str())};
  for (std::size_t start = 0; start < words.size();) {
    std::size_t end = words.find(' ', start);
    if (end == bytes::npos) {
      end = words.size();
    } else {
      words[end] = '\0';
    }
    argv.push_back(&words[start]);
    start = end + 1;
  }
  argv.push_back(nullptr);
  int output[2];
  if (pipe(output) != 0) return answer;
  const pid_t child = fork();
  if (child == 0) {
    setpgid(0, 0);
    const int null_device = open("/dev/null", O_RDWR);
    dup2(null_device, 0);
    dup2(output[1], 1);
    dup2(null_device, 2);
    close(output[0]);
    execv(file.c_str(), argv.data());
    _exit(127);
  }
  close(output[1]);
  if (child < 0) {
    close(output[0]);
    return answer;
  }
  const long long deadline = now_in_milliseconds() + milliseconds;
  pollfd ready{output[0], POLLIN, 0};
  for (long long left = milliseconds; left > 0; left = deadline - now_in_milliseconds()) {
    if (poll(&ready, 1, static_cast<int>(left)) <= 0) continue;
    char buffer[4096];
    const ssize_t got = read(output[0], buffer, sizeof buffer);
    if (got <= 0) break;
    answer.output.append(buffer, static_cast<std::size_t>(got));
  }
  close(output[0]);
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (now_in_milliseconds() >= deadline) {
      kill(-child, SIGKILL);
      waitpid(child, &status, 0);
      return answer;
    }
    usleep(10000);
  }
  answer.ended = true;
  answer.answered = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return answer;
}
