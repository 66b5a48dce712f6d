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

// Where the Codex client keeps its files, and so where the tool writes
// them: CODEX_HOME from the process environment when it is set and not
// empty, else the user's profile folder followed by "\.codex" ("/.codex"
// on POSIX).
struct codex_home_place {
  wide path;             // empty when none can be used
  wide setting;          // CODEX_HOME as set; empty for the default home
  bool absolute = true;  // false for a CODEX_HOME that is not an absolute path
  // False for a path with no exact text form (bytes that are not UTF-8 on
  // POSIX, a lone surrogate on Windows): the path is then empty, lest files
  // go to a substituted name, and `setting` shows it as best it can.
  bool exact = true;
};
codex_home_place find_codex_home();
// find_codex_home().path: empty when the profile folder cannot be found or
// CODEX_HOME is not an absolute path or has no exact text form, which the tool never guesses a
// folder for.
wide codex_home();
// base immediately followed by suffix; suffixes carry their own leading
// backslash, which the POSIX host turns into a slash.
wide join_path(const wide& base, const wide& suffix);

// Whole file, 1 to 4 MiB, without a leading UTF-8 byte-order mark; empty
// for anything missing, empty, too large or unreadable.
bytes read_text_file(const wide& path);
// The same read, saying which of missing, unreadable (a folder, no
// permission, a read error) or too large it met; `text` is empty then.
enum class text_file_state { read, missing, unreadable, too_large };
struct text_file {
  text_file_state state = text_file_state::missing;
  bytes text;
};
text_file read_text_file_state(const wide& path);
// Replaces the file in one step (temporary file in the same directory, then
// a move over the target), so a crash or a full disk never leaves it half
// written. Fails when the new content could not be put in place; the old
// file is then untouched and no temporary file remains. A symbolic link
// (POSIX) stays: its target is replaced. The new file, and the temporary one
// from its first moment, are private to the user (protect_key_file).
host_result write_text_file(const wide& path, const bytes& content);

bytes to_utf8(const wide& text);
wide from_utf8(const bytes& text);  // ill-formed sequences become U+FFFD

// A variable of this process's environment; empty when it is not set.
wide process_variable(const wide& name);

wide read_user_env(const wide& name);
// Empty value deletes. When the environment store cannot be opened nothing
// happens, not even the announcement. Fails when the value could not be
// put in place (deleting a value that is not there is done).
host_result set_user_env(const wide& name, const wide& value, bool announce);
// set_user_env with an empty value; a store that lacks the value (or is not
// there at all) is left exactly as it is.
host_result delete_user_env(const wide& name, bool announce);
// Where the user environment is stored, as a failure names it.
wide user_environment_store();
void broadcast_environment_change();

host_result create_directory(const wide& path);  // an existing directory is fine
bool path_exists(const wide& path);              // files and directories alike
bool is_file(const wide& path);                  // a regular file, never a directory
// The content of one file put in another's place, as write_text_file does.
host_result copy_file(const wide& from, const wide& to, bool fail_if_exists);
host_result delete_file(const wide& path);
// Removes a folder only when it holds nothing.
host_result remove_empty_directory(const wide& path);

// Files that may hold the key are for the user alone: mode 0600 (or
// stricter) on POSIX; on Windows a protected DACL, set when the file is
// created, that grants the user, SYSTEM and the Administrators only,
// whatever the folder grants. protect_key_file narrows an existing file so.
host_result protect_key_file(const wide& path);
// Who else can read the file, as the user would recognise them ("group",
// "others"; on Windows account names such as "Everyone", "Users"), joined
// by ", "; empty when nobody else can, or the file is not there.
wide others_who_can_read(const wide& path);
// Byte comparisons of whole files, of any size, read in chunks. Both are
// false when a file is missing, unreadable or not a regular file.
bool file_holds(const wide& path, const bytes& content);  // a byte-order mark counts
bool same_file_content(const wide& first, const wide& second);

// Removes what writes stopped half-way left in the folder: temporary files
// of the tool's own naming ("mvn*.tmp"), never anything else.
void remove_leftover_files(const wide& folder);

// One command at a time on a Codex home: Sign in, Reset and the heal at
// start hold it while they change the home, in one program or in two. It
// waits a few seconds for a holder to finish, unless told not to wait; the
// system lets go of it when the process ends, however it ends, and its file
// (".morvane-lock") goes with the last holder.
class home_lock {
 public:
  enum class state { held, busy, failed };
  explicit home_lock(const wide& home, bool wait = true);
  ~home_lock();
  home_lock(const home_lock&) = delete;
  home_lock& operator=(const home_lock&) = delete;
  // busy: another command held the home all along; failed: the lock file
  // could not be opened or locked (a folder in its place, no permission),
  // for the reason in error().
  state outcome() const { return state_; }
  bool acquired() const { return state_ == state::held; }
  int error() const { return error_; }
  const wide& path() const { return path_; }

 private:
  struct platform_lock;
  std::unique_ptr<platform_lock> lock_;
  wide path_;
  state state_ = state::held;
  int error_ = 0;
};

// Switches the per-user system proxy off (ProxyEnable = 0) and deletes its
// server, bypass list and automatic configuration address. False when the
// Internet settings store could not be opened.
bool switch_off_system_proxy();
// Whether switch_off_system_proxy would find it off already, or could not
// change it anyway.
bool system_proxy_is_off();
