#include "own_files.h"

#include "codex_files.h"
#include "config_files.h"
#include "host.h"
#include "status.h"

namespace {

// A config that is byte for byte one of the templates is the tool's, not the
// user's, whoever wrote it last.
bool is_tool_config(const wide& path) {
  return file_holds(path, sanitize_desktop_config(desktop_template)) ||
         file_holds(path, cli_template);
}

// Likewise an auth file that is exactly what the tool writes for its key.
bool is_tool_auth(const wide& path) {
  const wide key = json_string_value(read_text_file(path), api_key_member);
  return file_holds(path, auth_file_text(key));
}

// Copies one file of the user's aside, unless a copy is kept already (a
// later Sign in replaces the tool's own file) or the file is the tool's.
bool keep_copy(const wide& home, const char16_t* file_suffix, const char16_t* copy_suffix,
               bool (*is_tool_file)(const wide&)) {
  const wide file = join_path(home, file_suffix);
  const wide copy = join_path(home, copy_suffix);
  if (!path_exists(file) || is_file(copy) || is_tool_file(file)) return true;
  create_directory(join_path(home, backup_dir_suffix));
  if (copy_file(file, copy, true) && same_file_content(file, copy)) return true;
  // A copy that is not faithful must not pass for the user's file later.
  if (is_file(copy)) delete_file(copy);
  return false;
}

// Puts the copy back and lets it go once the file holds exactly its bytes;
// a copy that could not be put back stays for the next Reset to try again.
bool give_back_copy(const wide& copy, const wide& file) {
  if (!copy_file(copy, file, false) || !same_file_content(copy, file)) return false;
  delete_file(copy);
  return true;
}

}  // namespace

bool keep_own_files(const wide& home) {
  return keep_copy(home, config_file_suffix, backup_copy_suffix, is_tool_config) &&
         keep_copy(home, auth_file_suffix, auth_backup_copy_suffix, is_tool_auth);
}

void give_back_own_files(const wide& home) {
  // Files in place while the marker is there are the tool's, edits included.
  const wide marker = join_path(home, marker_file_suffix);
  const bool applied = path_exists(marker);

  const wide auth = join_path(home, auth_file_suffix);
  const wide auth_copy = join_path(home, auth_backup_copy_suffix);
  if (is_file(auth_copy)) {
    // The key goes in any case; the user's login follows when it can.
    if (!give_back_copy(auth_copy, auth)) delete_file(auth);
  } else if (applied || is_tool_auth(auth)) {
    delete_file(auth);
  }

  const wide config = join_path(home, config_file_suffix);
  const wide config_copy = join_path(home, backup_copy_suffix);
  if (is_file(config_copy) && !is_tool_config(config_copy)) {
    give_back_copy(config_copy, config);
  } else {
    // A template in the copy's place was never the user's.
    if (is_file(config_copy)) delete_file(config_copy);
    if (applied) delete_file(config);
  }
  delete_file(marker);
}
