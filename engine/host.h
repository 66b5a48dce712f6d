#pragma once
// The engine's only door to the operating system: files, the user
// environment, the change broadcast and the per-user proxy switch.
// Defined once per platform (host_win32.cpp, host_posix.cpp), with the file
// rules common to both in host_files.cpp.
#include <cstddef>
#include <memory>

#include "host_result.h"
#include "wide.h"

// Largest file that read_text_file loads; anything bigger reads as empty.
constexpr std::size_t max_text_file_size = 4194304;
// Bytes of registry data read_user_env accepts, terminating NUL included.
constexpr std::size_t user_env_buffer_size = 8192;

// The system's own words for an error code, without a final full stop;
// empty for 0.
wide system_message(int error);

// The user's profile folder followed by "\.codex" ("/.codex" on POSIX);
// empty when the profile folder cannot be found.
wide codex_home();
// base immediately followed by suffix; suffixes carry their own leading
// backslash, which the POSIX host turns into a slash.
wide join_path(const wide& base, const wide& suffix);

// Whole file, 1 to 4 MiB, without a leading UTF-8 byte-order mark; empty
// for anything missing, empty, too large or unreadable.
bytes read_text_file(const wide& path);
// Replaces the file in one step (temporary file in the same directory, then
// a move over the target), so a crash or a full disk never leaves it half
// written. Fails when the new content could not be put in place; the old
// file is then untouched and no temporary file remains. A symbolic link
// (POSIX) stays: its target is replaced.
host_result write_text_file(const wide& path, const bytes& content);

bytes to_utf8(const wide& text);
wide from_utf8(const bytes& text);  // ill-formed sequences become U+FFFD

wide read_user_env(const wide& name);
// Empty value deletes. When the environment store cannot be opened nothing
// happens, not even the announcement.
void set_user_env(const wide& name, const wide& value, bool announce);
void delete_user_env(const wide& name, bool announce);
void broadcast_environment_change();

host_result create_directory(const wide& path);  // an existing directory is fine
bool path_exists(const wide& path);              // files and directories alike
bool is_file(const wide& path);                  // a regular file, never a directory
// The content of one file put in another's place, as write_text_file does.
host_result copy_file(const wide& from, const wide& to, bool fail_if_exists);
host_result delete_file(const wide& path);
// Byte comparisons of whole files, of any size, read in chunks. Both are
// false when a file is missing, unreadable or not a regular file.
bool file_holds(const wide& path, const bytes& content);  // a byte-order mark counts
bool same_file_content(const wide& first, const wide& second);

// Removes what writes stopped half-way left in the folder: temporary files
// of the tool's own naming ("mvn*.tmp"), never anything else.
void remove_leftover_files(const wide& folder);

// One command at a time on a Codex home: Sign in, Reset and the heal at
// start hold it while they change the home, in one program or in two. It
// waits a few seconds for a holder to finish; the system lets go of it when
// the process ends, however it ends, and its file (".morvane-lock") goes
// with the last holder.
class home_lock {
 public:
  explicit home_lock(const wide& home);
  ~home_lock();
  home_lock(const home_lock&) = delete;
  home_lock& operator=(const home_lock&) = delete;
  // False only when another command held the home all along. A home that
  // cannot hold the lock file at all cannot be changed by anyone else
  // either: the command then goes on and meets the same fault itself.
  bool acquired() const { return acquired_; }

 private:
  struct platform_lock;
  std::unique_ptr<platform_lock> lock_;
  bool acquired_ = true;
};

// Switches the per-user system proxy off (ProxyEnable = 0) and deletes its
// server, bypass list and automatic configuration address. False when the
// Internet settings store could not be opened.
bool switch_off_system_proxy();
