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

// One of the two files and its copy.
struct own_file {
  wide file;
  wide copy;
  bool (*is_tool_file)(const wide& path);
};

own_file config_of(const wide& home) {
  return {join_path(home, config_file_suffix), join_path(home, backup_copy_suffix), is_tool_config};
}

own_file auth_of(const wide& home) {
  return {join_path(home, auth_file_suffix), join_path(home, auth_backup_copy_suffix),
          is_tool_auth};
}

// A copy that holds the user's file. The tool's own file kept as the copy
// (earlier versions could keep a template) was never the user's.
bool has_usable_copy(const own_file& own) {
  return is_file(own.copy) && !own.is_tool_file(own.copy);
}

// Copies the file aside unless it is none of the user's (missing, the
// tool's, or a folder: writing there fails anyway) or a copy of the user's
// is kept already, beside the marker or beside the tool's own file.
bool keep_copy(const wide& home, const own_file& own, bool applied, bool& made, file_fault& fault) {
  if (!is_file(own.file) || own.is_tool_file(own.file)) return true;
  if (has_usable_copy(own) && (applied || same_file_content(own.file, own.copy))) return true;
  create_directory(join_path(home, backup_dir_suffix));
  const host_result copied = copy_file(own.file, own.copy, false);
  if (copied && same_file_content(own.file, own.copy)) {
    made = true;
    return true;
  }
  // A copy that is not faithful must not pass for the user's file later.
  if (is_file(own.copy)) delete_file(own.copy);
  fault = {own.copy, copied.error};
  return false;
}

// Puts the copy in the file's place, and checks that it holds its bytes.
reset_change give_back(const own_file& own) {
  if (same_file_content(own.copy, own.file)) return {reset_step::gave_back, {own.file, 0}, true};
  const host_result put = copy_file(own.copy, own.file, false);
  const bool done = put && same_file_content(own.copy, own.file);
  return {reset_step::gave_back, {own.file, put.error}, done};
}

reset_change remove(const wide& file) {
  const host_result removed = delete_file(file);
  return {reset_step::removed, {file, removed.error}, bool(removed)};
}

}  // namespace

bool keep_own_files(const wide& home, kept_copies& made, file_fault& fault) {
  const bool applied = path_exists(join_path(home, marker_file_suffix));
  return keep_copy(home, config_of(home), applied, made.config, fault) &&
         keep_copy(home, auth_of(home), applied, made.auth, fault);
}

void drop_copies(const wide& home, const kept_copies& made) {
  if (made.config) delete_file(config_of(home).copy);
  if (made.auth) delete_file(auth_of(home).copy);
}

std::vector<reset_change> give_back_own_files(const wide& home) {
  std::vector<reset_change> changes;
  const wide marker = join_path(home, marker_file_suffix);
  const bool applied = path_exists(marker);
  const own_file auth = auth_of(home);
  const own_file config = config_of(home);

  // The user's own files back in place; their copies stay until the
  // marker has gone, so a stop here leaves both for the next Reset.
  const bool auth_copied = has_usable_copy(auth);
  if (auth_copied) {
    changes.push_back(give_back(auth));
    // The key goes in any case; the user's login follows when it can.
    if (!changes.back().done) delete_file(auth.file);
  } else if (path_exists(auth.file) && (applied || is_tool_auth(auth.file))) {
    changes.push_back(remove(auth.file));
  }
  const bool config_copied = has_usable_copy(config);
  if (config_copied) {
    changes.push_back(give_back(config));
  } else if (applied && path_exists(config.file)) {
    changes.push_back(remove(config.file));
  }

  bool all_done = true;
  for (const reset_change& change : changes) all_done = all_done && change.done;
  // With everything back the marker goes: from then on the files in place
  // are the user's, and the copies only repeat them. After a failure it
  // stays, and so do the copies, for the next Reset to finish.
  if (applied) {
    if (!all_done) return changes;
    changes.push_back(remove(marker));
    if (!changes.back().done) return changes;
  }
  for (std::size_t i = 0; i < changes.size(); ++i) {
    const reset_change& change = changes[i];
    if (change.step != reset_step::gave_back || !change.done) continue;
    delete_file(change.file.path == auth.file ? auth.copy : config.copy);
  }
  // So does the tool's own file in a copy's place.
  if (is_file(auth.copy) && !auth_copied) delete_file(auth.copy);
  if (is_file(config.copy) && !config_copied) delete_file(config.copy);
  return changes;
}
