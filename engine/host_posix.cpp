// The host on Linux and other POSIX systems: the home directory stands in
// for the Windows profile folder, a systemd-style environment file for the
// user's registry environment, and there is no broadcast or system proxy.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

#include "codex_files.h"
#include "environment_file.h"
#include "host.h"
#include "platform_files.h"
#include "utf8.h"

namespace {

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

host_result failed_with_errno() {
  return host_failure(errno);
}

// fsync, or a failing disk when a test makes syncs fail.
int sync_to_disk(int fd) {
  if (sync_fault_injected()) {
    errno = EIO;
    return -1;
  }
  return fsync(fd);
}

// The file a path finally names, following symbolic links: many people keep
// config.toml in a folder of dotfiles and link it into the Codex home, and
// a replacement must go to the file the link points at. Empty, with errno
// set, for a circle of links.
std::string through_links(const std::string& path) {
  std::string current = path;
  for (int hop = 0; hop < 40; ++hop) {
    struct stat info;
    if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    char target[4096];
    const ssize_t length = readlink(current.c_str(), target, sizeof target);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target) return current;
    const std::string next(target, static_cast<std::size_t>(length));
    current = next[0] == '/' ? next : parent_directory(current) + "/" + next;
  }
  errno = ELOOP;
  return std::string();
}

// Files the tool writes may hold the API key, or a copy of the user's own
// configuration: they are for the user alone. An existing file keeps a
// stricter mode of its own, but never a wider one.
constexpr mode_t private_mode = 0600;

host_result make_directory(const std::string& path) {
  if (!change_allowed()) return host_failure(stopped_error);
  if (mkdir(path.c_str(), 0777) == 0) return {};
  const int error = errno;
  struct stat info;
  if (error != EEXIST) return host_failure(error);
  if (stat(path.c_str(), &info) != 0) return failed_with_errno();
  return S_ISDIR(info.st_mode) ? host_result() : host_failure(ENOTDIR);
}

host_result make_directories(const std::string& path) {
  if (path.empty()) return host_failure(ENOENT);
  struct stat info;
  if (stat(path.c_str(), &info) == 0)
    return S_ISDIR(info.st_mode) ? host_result() : host_failure(ENOTDIR);
  const std::string parent = parent_directory(path);
  if (parent != path) {
    const host_result made = make_directories(parent);
    if (!made) return made;
  }
  return make_directory(path);
}

// Whole regular file of at most `ceiling` bytes; false when it cannot be
// read or is larger.
bool read_whole_file(const std::string& path, std::size_t ceiling, bytes& out) {
  out.clear();
  input_file file(from_utf8(path));
  if (!file.is_open() || file.size() > ceiling) return false;
  out.assign(static_cast<std::size_t>(file.size()), '\0');
  const std::int64_t got = out.empty() ? 0 : file.read_some(&out[0], out.size());
  if (got < 0) return false;
  out.resize(static_cast<std::size_t>(got));
  return true;
}

// The user environment store: a file of the systemd user-environment
// directory (environment_file.h).

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

}  // namespace

const int disk_full_error = ENOSPC;
const int exists_error = EEXIST;
const int stopped_error = ECANCELED;

wide system_message(int error) {
  if (error == 0) return wide();
  return from_utf8(strerror(error));
}

struct input_file::platform_file {
  int fd;
  ~platform_file() { close(fd); }
};

// Opened non-blocking, so that a named pipe in a file's place is refused
// instead of waiting for a writer; regular files ignore the flag.
input_file::input_file(const wide& path) {
  const int fd = open(native_path(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error_ = errno;
    return;
  }
  file_.reset(new platform_file{fd});
  struct stat info;
  if (fstat(fd, &info) != 0) {
    error_ = errno;
    file_.reset();
    return;
  }
  if (!S_ISREG(info.st_mode)) {
    error_ = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
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

// Paths are bytes here; the engine's are text. Bytes that are not UTF-8
// would come back as another name.
bool exact_text(const bytes& path) {
  return to_utf8(from_utf8(path)) == path;
}

codex_home_place find_codex_home() {
  codex_home_place place;
  const char* setting = getenv("CODEX_HOME");
  bytes path;
  if (setting && *setting) {
    path = setting;
    place.setting = from_utf8(path);
    place.absolute = path[0] == '/';
    while (path.size() > 1 && path.back() == '/') path.pop_back();
  } else {
    const bytes home = home_directory();
    if (home.empty()) return place;
    path = home + "/.codex";
  }
  place.exact = exact_text(path);
  if (!place.exact) {
    place.setting = from_utf8(path);
  } else if (place.absolute) {
    place.path = from_utf8(path);
  }
  return place;
}

wide process_variable(const wide& name) {
  const char* value = getenv(to_utf8(name).c_str());
  return value ? from_utf8(value) : wide();
}

// Suffixes are written with Windows backslashes ("\\auth.json"); here they
// become slashes. The base is left as it is.
wide join_path(const wide& base, const wide& suffix) {
  wide result = base;
  for (char16_t c : suffix) result += c == u'\\' ? u'/' : c;
  return result;
}

struct replacement_file::platform_file {
  std::string target;     // the file in the end, links followed
  std::string temporary;  // "mvn..." beside it
  int fd = -1;
  bool committed = false;
};

// The temporary file is private from the moment it exists.
replacement_file::replacement_file(const wide& target, const wide& permissions_from)
    : file_(new platform_file) {
  file_->target = through_links(native_path(target));
  if (file_->target.empty()) {
    opened_ = failed_with_errno();
    return;
  }
  struct stat model;
  const std::string model_path =
      permissions_from.empty() ? file_->target : native_path(permissions_from);
  const bool has_model = stat(model_path.c_str(), &model) == 0 && S_ISREG(model.st_mode);
  const mode_t mode = has_model ? (model.st_mode & private_mode) : private_mode;
  if (!change_allowed()) {
    opened_ = host_failure(stopped_error);
    return;
  }
  const std::string directory = parent_directory(file_->target);
  for (int attempt = 0; attempt < 100 && file_->fd < 0; ++attempt) {
    char name[64];
    snprintf(name, sizeof name, "/mvn%ld-%u.tmp", static_cast<long>(getpid()), ++temp_counter);
    file_->temporary = directory + name;
    file_->fd =
        open(file_->temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, private_mode);
    if (file_->fd < 0 && errno != EEXIST) break;
  }
  if (file_->fd < 0) {
    opened_ = failed_with_errno();
    file_->temporary.clear();
    return;
  }
  if (fchmod(file_->fd, mode) != 0) opened_ = failed_with_errno();
}

replacement_file::~replacement_file() {
  if (file_->fd >= 0) close(file_->fd);
  if (!file_->committed && !file_->temporary.empty() && change_allowed())
    unlink(file_->temporary.c_str());
}

host_result replacement_file::write(const char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t put = ::write(file_->fd, data + done, size - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return failed_with_errno();
    if (put == 0) return host_failure(disk_full_error);
    done += static_cast<std::size_t>(put);
  }
  return {};
}

host_result replacement_file::sync() {
  return sync_to_disk(file_->fd) == 0 ? host_result() : failed_with_errno();
}

host_result replacement_file::commit() {
  const int fd = file_->fd;
  file_->fd = -1;
  if (close(fd) != 0) return failed_with_errno();
  if (!change_allowed()) return host_failure(stopped_error);
  if (rename(file_->temporary.c_str(), file_->target.c_str()) != 0) return failed_with_errno();
  file_->committed = true;
  // Makes the rename itself durable; a failure here no longer loses data.
  const int directory =
      open(parent_directory(file_->target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory >= 0) {
    fsync(directory);
    close(directory);
  }
  return {};
}

bytes to_utf8(const wide& text) {
  return utf8_from_utf16(text);
}

wide from_utf8(const bytes& text) {
  return utf16_from_utf8(text);
}

wide read_user_env(const wide& name) {
  const std::string directory = environment_directory();
  if (directory.empty()) return wide();
  bytes store, value;
  if (!read_whole_file(environment_file(directory), max_text_file_size, store) ||
      !environment_file_value(store, to_utf8(name), value))
    return wide();
  const wide text = from_utf8(value);
  // The registry host reads into a fixed buffer; the same ceiling here.
  if ((text.size() + 1) * 2 > user_env_buffer_size) return wide();
  return text;
}

host_result set_user_env(const wide& name, const wide& value, bool announce) {
  const std::string directory = environment_directory();
  if (directory.empty()) return host_failure(ENOENT);
  const std::string file = environment_file(directory);
  if (!exact_text(file)) return host_failure(EILSEQ);
  // A store that is there but cannot be read is left alone: rewriting it
  // from nothing would drop every other value it holds.
  struct stat info;
  const bool exists = stat(file.c_str(), &info) == 0;
  if (exists && !S_ISREG(info.st_mode))
    return host_failure(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
  bytes store;
  if (exists && !read_whole_file(file, SIZE_MAX, store)) return failed_with_errno();
  bytes updated;
  // Deleting a value the store lacks makes neither the folder nor the file.
  if (environment_file_with(store, to_utf8(name), to_utf8(value), updated)) {
    const host_result made = make_directories(directory);
    if (!made) return made;
    const host_result written = write_text_file(from_utf8(file), updated);
    if (!written) return written;
  }
  if (announce) broadcast_environment_change();
  return {};
}

wide user_environment_store() {
  const std::string directory = environment_directory();
  return from_utf8(directory.empty() ? "~/.config/environment.d" : environment_file(directory));
}

// Nothing on this host listens for environment changes.
void broadcast_environment_change() {}

host_result create_directory(const wide& path) {
  return make_directory(native_path(path));
}

bool path_exists(const wide& path) {
  struct stat info;
  return stat(native_path(path).c_str(), &info) == 0;
}

bool is_file(const wide& path) {
  struct stat info;
  return stat(native_path(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

host_result delete_file(const wide& path) {
  if (!change_allowed()) return host_failure(stopped_error);
  return unlink(native_path(path).c_str()) == 0 ? host_result() : failed_with_errno();
}

host_result remove_empty_directory(const wide& path) {
  struct stat info;
  const std::string native = native_path(path);
  if (lstat(native.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return host_failure(ENOTDIR);
  if (!change_allowed()) return host_failure(stopped_error);
  return rmdir(native.c_str()) == 0 ? host_result() : failed_with_errno();
}

host_result protect_key_file(const wide& path) {
  struct stat info;
  const std::string native = native_path(path);
  if (stat(native.c_str(), &info) != 0) return failed_with_errno();
  if (!change_allowed()) return host_failure(stopped_error);
  return chmod(native.c_str(), info.st_mode & private_mode) == 0 ? host_result()
                                                                 : failed_with_errno();
}

wide others_who_can_read(const wide& path) {
  struct stat info;
  if (stat(native_path(path).c_str(), &info) != 0) return wide();
  wide who;
  if (info.st_mode & S_IRGRP) who = u"group";
  if (info.st_mode & S_IROTH) who += who.empty() ? u"others" : u", others";
  return who;
}

// The names replacement_file gives: "mvn<process>-<count>.tmp".
void remove_leftover_files(const wide& folder) {
  const std::string path = native_path(folder);
  DIR* directory = opendir(path.c_str());
  if (!directory) return;
  std::vector<std::string> leftovers;
  while (const dirent* entry = readdir(directory)) {
    const std::string name = entry->d_name;
    if (name.size() > 7 && name.compare(0, 3, "mvn") == 0 &&
        name.compare(name.size() - 4, 4, ".tmp") == 0)
      leftovers.push_back(path + "/" + name);
  }
  closedir(directory);
  for (const std::string& leftover : leftovers) {
    struct stat info;
    if (lstat(leftover.c_str(), &info) == 0 && S_ISREG(info.st_mode) && change_allowed())
      unlink(leftover.c_str());
  }
}

struct home_lock::platform_lock {
  std::string path;
  int fd = -1;
};

// flock on ".morvane-lock". Its holder removes it when done, so a waiter
// that gets the lock checks that it holds the file still there, not one
// already removed.
home_lock::home_lock(const wide& home, bool wait) : lock_(new platform_lock) {
  path_ = join_path(home, lock_file_suffix);
  lock_->path = native_path(path_);
  const unsigned patience = wait ? lock_patience() : 0;
  for (unsigned waited = 0;; waited += 10) {
    const int fd = open(lock_->path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
      state_ = state::failed;
      error_ = errno;
      return;
    }
    if (const unsigned pause_ms = take_lock_pause()) {
      const timespec pause{static_cast<time_t>(pause_ms / 1000),
                           static_cast<long>(pause_ms % 1000) * 1000000L};
      nanosleep(&pause, nullptr);
    }
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
      struct stat held, named;
      if (fstat(fd, &held) == 0 && stat(lock_->path.c_str(), &named) == 0 &&
          held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
        lock_->fd = fd;
        return;
      }
      close(fd);
      continue;
    }
    const int error = errno;
    close(fd);
    if (error != EWOULDBLOCK) {
      state_ = state::failed;
      error_ = error;
      return;
    }
    if (waited >= patience) {
      state_ = state::busy;
      return;
    }
    const timespec pause{0, 10 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
}

home_lock::~home_lock() {
  if (lock_->fd < 0) return;
  unlink(lock_->path.c_str());
  close(lock_->fd);
}

// No per-user system proxy exists here.
bool switch_off_system_proxy() {
  return true;
}

bool system_proxy_is_off() {
  return true;
}
