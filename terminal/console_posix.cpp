// The terminal on Linux and other POSIX systems.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "console.h"

namespace {

int descriptor(out_stream stream) {
  return stream == out_stream::output ? 1 : 2;
}

// Reads what is there, up to limit + 1 bytes, so that too much shows; stops
// at a line feed when `one_line`.
input_result read_from(int fd, bool one_line, bytes& out) {
  out.clear();
  char chunk[4096];
  for (;;) {
    const ssize_t got = read(fd, chunk, one_line ? 1 : sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return input_result::unreadable;
    if (got == 0) break;
    if (one_line && chunk[0] == '\n') break;
    out.append(chunk, static_cast<std::size_t>(got));
    if (out.size() > max_key_input) return input_result::too_large;
  }
  return input_result::read;
}

}  // namespace

void prepare_standard_streams() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int null_device = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (null_device >= 0 && null_device != fd) {
      dup2(null_device, fd);
      close(null_device);
    }
  }
  signal(SIGPIPE, SIG_IGN);
}

bool input_is_terminal() {
  return isatty(0) == 1;
}

bool is_terminal(out_stream stream) {
  return isatty(descriptor(stream)) == 1;
}

bool shows_colour(out_stream stream) {
  const char* term = getenv("TERM");
  const char* no_colour = getenv("NO_COLOR");
  return is_terminal(stream) && (no_colour == nullptr || *no_colour == '\0') &&
         (term == nullptr || strcmp(term, "dumb") != 0);
}

bool write_text(out_stream stream, const bytes& utf8) {
  std::size_t done = 0;
  while (done < utf8.size()) {
    const ssize_t put = write(descriptor(stream), utf8.data() + done, utf8.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

namespace {

// The terminal as it was before typing was hidden, for a signal that ends
// the program at the prompt (Ctrl-C, a closed terminal, kill) to put back.
termios shown_terminal;
const int ending_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void show_typing_and_end(int signal_number) {
  tcsetattr(0, TCSANOW, &shown_terminal);
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

void on_ending_signals(void (*handler)(int)) {
  for (const int signal_number : ending_signals) signal(signal_number, handler);
}

}  // namespace

input_result read_input_line(bytes& line, const bytes& secret_prompt) {
  const bool hide = !secret_prompt.empty() && isatty(0) == 1 && tcgetattr(0, &shown_terminal) == 0;
  if (hide) {
    on_ending_signals(show_typing_and_end);
    termios quiet = shown_terminal;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(0, TCSANOW, &quiet);  // keeps what was typed ahead
    write_text(out_stream::error, secret_prompt);
  }
  const input_result result = read_from(0, true, line);
  if (hide) {
    tcsetattr(0, TCSANOW, &shown_terminal);
    on_ending_signals(SIG_DFL);
    write_text(out_stream::error, "\n");  // the line feed the user typed was not shown
  }
  return result;
}

input_result read_key_file(const std::string& path, bytes& content, int& error) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return input_result::unreadable;
  }
  struct stat info;
  input_result result = input_result::unreadable;
  error = EISDIR;
  if (fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode)) {
    result = read_from(fd, false, content);
    error = result == input_result::unreadable ? errno : 0;
  }
  close(fd);
  return result;
}

bool user_prefers_vietnamese() {
  // The first of these that is set decides, as for every POSIX program.
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = getenv(name);
    if (value != nullptr && *value != '\0') return strncmp(value, "vi", 2) == 0;
  }
  return false;
}
