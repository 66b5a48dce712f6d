// The host on Linux and other POSIX systems: the home directory stands in
// for the Windows profile folder, a systemd-style environment file for the
// user's registry environment, and there is no broadcast or system proxy.
#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

#include "host.h"
#include "input_file.h"
#include "write_faults.h"

namespace {

std::size_t write_fault_after = SIZE_MAX;
unsigned temp_counter = 0;

std::string native_path(const wide& path) {
  return to_utf8(path);
}

bytes home_directory() {
  const char* home = getenv("HOME");
  if (home && *home) return home;
  const passwd* entry = getpwuid(getuid());
  if (entry && entry->pw_dir && *entry->pw_dir) return entry->pw_dir;
  return bytes();
}

std::string parent_directory(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Whole regular file of at most `ceiling` bytes; false when it cannot be
// read or is larger.
bool read_whole_file(const std::string& path, std::size_t ceiling, bytes& out) {
  out.clear();
  input_file file(from_utf8(path));
  if (!file.is_open() || file.size() > ceiling) return false;
  out.assign(static_cast<std::size_t>(file.size()), '\0');
  const std::int64_t got = out.empty() ? 0 : file.read_some(&out[0], out.size());
  if (got < 0) {
    out.clear();
    return false;
  }
  out.resize(static_cast<std::size_t>(got));
  return true;
}

// Writes all bytes, honouring the test fault; false on any short write.
bool write_all(int fd, const bytes& content) {
  std::size_t limit = content.size() < write_fault_after ? content.size() : write_fault_after;
  std::size_t done = 0;
  while (done < limit) {
    ssize_t put = write(fd, content.data() + done, limit - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return done == content.size();
}

// Files the tool writes may hold the API key, or a copy of the user's own
// configuration: they are for the user alone. An existing file keeps a
// stricter mode of its own, but never a wider one.
constexpr mode_t private_mode = 0600;

// The new content goes into "mvn..." beside the target and is renamed over
// it, so the old file stays whole until the new one is complete on disk.
// The temporary file is private from the moment it exists. `mode` is the
// mode wanted (a copy passes its source's); negative means that of the
// file being replaced, if any.
bool write_file_atomically(const std::string& path, const bytes& content, int mode) {
  std::string directory = parent_directory(path);
  struct stat target;
  if (mode < 0 && stat(path.c_str(), &target) == 0 && S_ISREG(target.st_mode))
    mode = static_cast<int>(target.st_mode);
  const mode_t final_mode = mode < 0 ? private_mode : static_cast<mode_t>(mode) & private_mode;
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    char name[64];
    snprintf(name, sizeof name, "/mvn%ld-%u.tmp", static_cast<long>(getpid()), ++temp_counter);
    temp = directory + name;
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, private_mode);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  bool ok = write_all(fd, content);
  if (ok) ok = fchmod(fd, final_mode) == 0;
  if (ok) ok = fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  if (ok) ok = rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  // Makes the rename itself durable; a failure here no longer loses data.
  int dir_fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd >= 0) {
    fsync(dir_fd);
    close(dir_fd);
  }
  return true;
}

bool make_directory(const std::string& path) {
  if (mkdir(path.c_str(), 0777) == 0) return true;
  struct stat info;
  return errno == EEXIST && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool make_directories(const std::string& path) {
  if (path.empty()) return false;
  struct stat info;
  if (stat(path.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  std::string parent = parent_directory(path);
  if (parent != path && !make_directories(parent)) return false;
  return make_directory(path);
}

// --- User environment store ----------------------------------------------
// One KEY=VALUE line per value in the systemd user-environment directory, so
// a login session picks the values up as Windows does from the registry.
// Backslash and line feed in values are written \\ and \n, so every value
// reads back exactly as it was set.

std::string environment_directory() {
  const char* config = getenv("XDG_CONFIG_HOME");
  std::string base;
  if (config && config[0] == '/') {
    base = config;
  } else {
    bytes home = home_directory();
    if (home.empty()) return std::string();
    base = home + "/.config";
  }
  return base + "/environment.d";
}

std::string environment_file(const std::string& directory) {
  return directory + "/60-morvane.conf";
}

bytes escape_value(const bytes& value) {
  bytes out;
  for (char c : value) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

bytes unescape_value(const bytes& value) {
  bytes out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      ++i;
      out += value[i] == 'n' ? '\n' : value[i];
    } else {
      out += value[i];
    }
  }
  return out;
}

// Calls visit(line_start, line_end) for every line of the store.
template <typename Visit>
void for_each_line(const bytes& text, Visit visit) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == bytes::npos) end = text.size();
    visit(start, end);
    start = end + 1;
  }
}

bool line_names(const bytes& text, std::size_t start, std::size_t end, const bytes& name) {
  return end - start > name.size() && text.compare(start, name.size(), name) == 0 &&
         text[start + name.size()] == '=';
}

}  // namespace

struct input_file::platform_file {
  int fd;
  ~platform_file() { close(fd); }
};

// Opened non-blocking, so that a named pipe in a file's place is refused
// instead of waiting for a writer; regular files ignore the flag.
input_file::input_file(const wide& path) {
  const int fd = open(native_path(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return;
  file_.reset(new platform_file{fd});
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    file_.reset();
    return;
  }
  size_ = static_cast<std::uint64_t>(info.st_size);
}

input_file::~input_file() = default;

std::int64_t input_file::read_some(char* buffer, std::size_t want) {
  std::size_t done = 0;
  while (done < want) {
    ssize_t got = read(file_->fd, buffer + done, want - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<std::int64_t>(done);
}

wide codex_home() {
  bytes home = home_directory();
  if (home.empty()) return wide();
  return from_utf8(home + "/.codex");
}

// Suffixes are written with Windows backslashes ("\\auth.json"); here they
// become slashes. The base is left as it is.
wide join_path(const wide& base, const wide& suffix) {
  wide result = base;
  for (char16_t c : suffix) result += c == u'\\' ? u'/' : c;
  return result;
}

bytes read_text_file(const wide& path) {
  bytes content;
  if (!read_whole_file(native_path(path), max_text_file_size, content)) return bytes();
  if (starts_with_byte_order_mark(content)) content.erase(0, 3);
  return content;
}

bool write_text_file(const wide& path, const bytes& content) {
  return write_file_atomically(native_path(path), content, -1);
}

// Same results as WideCharToMultiByte(CP_UTF8, 0): a lone surrogate becomes
// U+FFFD.
bytes to_utf8(const wide& text) {
  bytes out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Same results as MultiByteToWideChar(CP_UTF8, 0): each maximal ill-formed
// subpart becomes one U+FFFD.
wide from_utf8(const bytes& text) {
  wide out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    unsigned char lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) {
      out += static_cast<char16_t>(lead);
      continue;
    }
    int trail;
    unsigned char low = 0x80, high = 0xBF;  // bounds of the first trail byte
    char32_t c;
    if (lead >= 0xC2 && lead <= 0xDF) {
      trail = 1;
      c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      trail = 2;
      c = lead & 0x0F;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      trail = 3;
      c = lead & 0x07;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      out += u'\xFFFD';
      continue;
    }
    bool complete = true;
    for (int k = 0; k < trail; ++k) {
      unsigned char b = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
      if (i >= text.size() || b < low || b > high) {
        complete = false;
        break;
      }
      c = (c << 6) | (b & 0x3F);
      ++i;
      low = 0x80;
      high = 0xBF;
    }
    if (!complete) {
      out += u'\xFFFD';
    } else if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

wide read_user_env(const wide& name) {
  std::string directory = environment_directory();
  if (directory.empty()) return wide();
  bytes store;
  if (!read_whole_file(environment_file(directory), max_text_file_size, store)) return wide();
  bytes key = to_utf8(name);
  wide value;
  bool found = false;
  for_each_line(store, [&](std::size_t start, std::size_t end) {
    if (found || !line_names(store, start, end, key)) return;
    std::size_t from = start + key.size() + 1;
    value = from_utf8(unescape_value(store.substr(from, end - from)));
    found = true;
  });
  // The registry host reads into a fixed buffer; the same ceiling here.
  if ((value.size() + 1) * 2 > user_env_buffer_size) return wide();
  return value;
}

void set_user_env(const wide& name, const wide& value, bool announce) {
  std::string directory = environment_directory();
  if (directory.empty() || !make_directories(directory)) return;
  std::string file = environment_file(directory);
  // A store that is there but cannot be read is left alone: rewriting it
  // from nothing would drop every other value it holds.
  struct stat info;
  bool exists = stat(file.c_str(), &info) == 0;
  if (exists && !S_ISREG(info.st_mode)) return;
  bytes store;
  if (exists && !read_whole_file(file, SIZE_MAX, store)) return;
  bytes key = to_utf8(name);
  bytes line = value.empty() ? bytes() : key + "=" + escape_value(to_utf8(value)) + "\n";
  bytes updated;
  bool changed = false;
  for_each_line(store, [&](std::size_t start, std::size_t end) {
    if (line_names(store, start, end, key)) {
      // The first line for the name takes the new value; repeats are dropped.
      if (!changed) updated += line;
      changed = true;
    } else {
      updated.append(store, start, end - start);
      updated += '\n';
    }
  });
  if (!changed) {
    if (value.empty()) {
      if (announce) broadcast_environment_change();
      return;
    }
    updated += line;
  }
  if (!write_file_atomically(file, updated, -1)) return;
  if (announce) broadcast_environment_change();
}

void delete_user_env(const wide& name, bool announce) {
  set_user_env(name, wide(), announce);
}

// Nothing on this host listens for environment changes.
void broadcast_environment_change() {}

bool create_directory(const wide& path) {
  return make_directory(native_path(path));
}

bool path_exists(const wide& path) {
  struct stat info;
  return stat(native_path(path).c_str(), &info) == 0;
}

bool copy_file(const wide& from, const wide& to, bool fail_if_exists) {
  std::string source = native_path(from);
  std::string target = native_path(to);
  struct stat info;
  if (stat(source.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  struct stat existing;
  if (fail_if_exists && lstat(target.c_str(), &existing) == 0) return false;
  bytes content;
  if (!read_whole_file(source, SIZE_MAX, content)) return false;
  return write_file_atomically(target, content, static_cast<int>(info.st_mode));
}

bool is_file(const wide& path) {
  struct stat info;
  return stat(native_path(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool delete_file(const wide& path) {
  return unlink(native_path(path).c_str()) == 0;
}

// No per-user system proxy exists here.
bool switch_off_system_proxy() {
  return true;
}

void inject_write_fault_after(std::size_t bytes_written) {
  write_fault_after = bytes_written;
}
