#include "own_files.h"

#include "added_tables.h"
#include "codex_files.h"
#include "config_files.h"
#include "host.h"
#include "status.h"

namespace {

// A config that is byte for byte one of the templates is the tool's, not the
// user's, whoever wrote it last.
bool is_tool_config(const wide& path) {
  for (const bytes& text : tool_config_texts()) {
    if (file_holds(path, text)) return true;
  }
  return false;
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
  fault = {fault_kind::not_kept, own.copy, copied.error};
  return false;
}

// What Reset did to the file, or could not do and why.
reset_change change(reset_step step, const wide& file, int error, bool done) {
  if (done) return {step, {fault_kind::none, file}, true};
  const fault_kind kind = step == reset_step::gave_back ? fault_kind::not_back
                          : step == reset_step::rewrote ? fault_kind::not_written
                                                        : fault_kind::not_removed;
  return {step, {kind, file, error}, false};
}

// Puts the copy in the file's place, and checks that it holds its bytes.
reset_change give_back(const own_file& own) {
  if (same_file_content(own.copy, own.file))
    return {reset_step::gave_back, {fault_kind::none, own.file}, true};
  const host_result put = copy_file(own.copy, own.file, false);
  const bool done = put && same_file_content(own.copy, own.file);
  return change(reset_step::gave_back, own.file, put.error, done);
}

// The file's bytes exactly, a byte-order mark included; false when it
// cannot be read whole.
bool read_exactly(const wide& path, bytes& content) {
  content = read_text_file(path);
  if (file_holds(path, content)) return true;
  content.insert(0, "\xEF\xBB\xBF");
  return file_holds(path, content);
}

// Writes the config unless it holds those bytes already.
reset_change write_config(reset_step step, const wide& file, const bytes& text) {
  if (file_holds(file, text)) return {step, {fault_kind::none, file}, true};
  const host_result put = write_text_file(file, text);
  return change(step, file, put.error, put && file_holds(file, text));
}

// The user's own config back, then the added tables that can stand in it.
reset_change give_back_with(const own_file& config, const std::vector<bytes>& tables) {
  bytes own;
  if (tables.empty() || !read_exactly(config.copy, own)) return give_back(config);
  const bytes text = with_tables(own, tables);
  if (text == own) return give_back(config);
  return write_config(reset_step::gave_back, config.file, text);
}

reset_change remove(const wide& file) {
  const host_result removed = delete_file(file);
  return change(reset_step::removed, file, removed.error, bool(removed));
}

}  // namespace

bool keep_own_files(const wide& home, kept_copies& made, file_fault& fault) {
  const bool applied = path_exists(join_path(home, marker_file_suffix));
  const own_file config = config_of(home);
  // Beside the marker, a config that still starts as a template is the
  // tool's, edited since: its added tables are carried over, not copied.
  const bool tools_config = applied && template_of(read_text_file(config.file));
  return (tools_config || keep_copy(home, config, applied, made.config, fault)) &&
         keep_copy(home, auth_of(home), applied, made.auth, fault);
}

std::vector<bytes> added_config_tables(const wide& home) {
  if (!path_exists(join_path(home, marker_file_suffix))) return {};
  const own_file config = config_of(home);
  const bytes text = read_text_file(config.file);
  if (text.empty()) return {};
  if (const bytes* written = template_of(text)) return added_tables(text, *written);
  if (!has_usable_copy(config)) return added_tables(text, bytes());
  // A Reset stopped after it gave the copy back leaves the user's own file
  // here, with the tables it carried after it.
  bytes own;
  return read_exactly(config.copy, own) ? added_tables(text, own) : std::vector<bytes>();
}

void remove_leftovers(const wide& home) {
  remove_leftover_files(home);
  remove_leftover_files(join_path(home, backup_dir_suffix));
}

void drop_copies(const wide& home, const kept_copies& made) {
  if (made.config) delete_file(config_of(home).copy);
  if (made.auth) delete_file(auth_of(home).copy);
  if (made.config || made.auth) remove_empty_directory(join_path(home, backup_dir_suffix));
}

bool has_anything_to_give_back(const wide& home) {
  const own_file auth = auth_of(home);
  return path_exists(join_path(home, marker_file_suffix)) || path_exists(auth.copy) ||
         path_exists(config_of(home).copy) || (is_file(auth.file) && is_tool_auth(auth.file));
}

std::vector<reset_change> give_back_own_files(const wide& home) {
  std::vector<reset_change> changes;
  const wide marker = join_path(home, marker_file_suffix);
  const bool applied = path_exists(marker);
  const own_file auth = auth_of(home);
  const own_file config = config_of(home);
  const std::vector<bytes> tables = added_config_tables(home);

  // The user's own files back in place; their copies stay until the
  // marker has gone, so a stop here leaves both for the next Reset.
  const bool auth_copied = has_usable_copy(auth);
  bool auth_back = false, config_back = false;
  if (auth_copied) {
    changes.push_back(give_back(auth));
    auth_back = changes.back().done;
    // The key goes in any case; the user's login follows when it can.
    if (!auth_back) delete_file(auth.file);
  } else if (path_exists(auth.file) && (applied || is_tool_auth(auth.file))) {
    changes.push_back(remove(auth.file));
  }
  const bool config_copied = has_usable_copy(config);
  if (config_copied) {
    changes.push_back(give_back_with(config, tables));
    config_back = changes.back().done;
  } else if (applied && path_exists(config.file)) {
    // The user had none: what the client added is all there is to keep.
    const bytes kept = with_tables(bytes(), tables);
    changes.push_back(kept.empty() ? remove(config.file)
                                   : write_config(reset_step::rewrote, config.file, kept));
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
  // A copy goes once its file is back, or when it held the tool's own file.
  if (is_file(auth.copy) && (auth_back || !auth_copied)) delete_file(auth.copy);
  if (is_file(config.copy) && (config_back || !config_copied)) delete_file(config.copy);
  // Their folder goes with them, unless the user keeps something there.
  remove_empty_directory(join_path(home, backup_dir_suffix));
  return changes;
}
