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
// later Sign in replaces the tool's own file) or the file is the tool's. A
// folder in the file's place is no file of the user's: writing there fails.
bool keep_copy(const wide& home, const char16_t* file_suffix, const char16_t* copy_suffix,
               bool (*is_tool_file)(const wide&), file_fault& fault) {
  const wide file = join_path(home, file_suffix);
  const wide copy = join_path(home, copy_suffix);
  if (!is_file(file) || is_file(copy) || is_tool_file(file)) return true;
  create_directory(join_path(home, backup_dir_suffix));
  const host_result copied = copy_file(file, copy, true);
  if (copied && same_file_content(file, copy)) return true;
  // A copy that is not faithful must not pass for the user's file later.
  if (is_file(copy)) delete_file(copy);
  fault = {copy, copied.error};
  return false;
}

// Puts the copy back and lets it go once the file holds exactly its bytes;
// a copy that could not be put back stays for the next Reset to try again.
reset_change give_back_copy(const wide& copy, const wide& file) {
  const host_result put = copy_file(copy, file, false);
  if (!put || !same_file_content(copy, file))
    return {reset_step::gave_back, {file, put.error}, false};
  delete_file(copy);
  return {reset_step::gave_back, {file, 0}, true};
}

reset_change remove(const wide& file) {
  const host_result removed = delete_file(file);
  return {reset_step::removed, {file, removed.error}, bool(removed)};
}

}  // namespace

bool keep_own_files(const wide& home, file_fault& fault) {
  return keep_copy(home, config_file_suffix, backup_copy_suffix, is_tool_config, fault) &&
         keep_copy(home, auth_file_suffix, auth_backup_copy_suffix, is_tool_auth, fault);
}

std::vector<reset_change> give_back_own_files(const wide& home) {
  std::vector<reset_change> changes;
  // Files in place while the marker is there are the tool's, edits included.
  const wide marker = join_path(home, marker_file_suffix);
  const bool applied = path_exists(marker);

  const wide auth = join_path(home, auth_file_suffix);
  const wide auth_copy = join_path(home, auth_backup_copy_suffix);
  if (is_file(auth_copy)) {
    // The key goes in any case; the user's login follows when it can.
    changes.push_back(give_back_copy(auth_copy, auth));
    if (!changes.back().done) delete_file(auth);
  } else if (path_exists(auth) && (applied || is_tool_auth(auth))) {
    changes.push_back(remove(auth));
  }

  const wide config = join_path(home, config_file_suffix);
  const wide config_copy = join_path(home, backup_copy_suffix);
  if (is_file(config_copy) && !is_tool_config(config_copy)) {
    changes.push_back(give_back_copy(config_copy, config));
  } else {
    // A template in the copy's place was never the user's.
    if (is_file(config_copy)) delete_file(config_copy);
    if (applied && path_exists(config)) changes.push_back(remove(config));
  }
  if (applied) changes.push_back(remove(marker));
  return changes;
}
