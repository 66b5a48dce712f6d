// The Sign in command: checks the pasted key, then points the Codex client
// or the desktop app at the service for the current user.
#include <cstddef>
#include <cwctype>

#include "added_tables.h"
#include "codex_files.h"
#include "commands.h"
#include "config_files.h"
#include "host.h"
#include "own_files.h"
#include "status.h"

namespace {

constexpr std::size_t minimum_key_length = 8;

bool is_space(char16_t c) {
  return std::iswspace(static_cast<wint_t>(c)) != 0;
}

// Pasted keys often bring a stray space or line break along.
wide trimmed(const wide& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && is_space(text[first])) ++first;
  while (last > first && is_space(text[last - 1])) --last;
  return text.substr(first, last - first);
}

sign_in_outcome failed(sign_in_result result, fault_kind kind = fault_kind::none,
                       const wide& path = wide(), int error = 0) {
  return {result, {kind, path, error}};
}

// The config Sign in writes: the platform's template, with the tables the
// client added to the one in place.
bytes config_to_write(const wide& home, platform chosen) {
  const std::vector<bytes> tables = added_config_tables(home);
  return chosen == platform::desktop
             ? sanitize_desktop_config(with_tables(desktop_template, tables))
             : with_tables(cli_template, tables);
}

// A file that holds the key is the user's alone; one that is missing holds
// none.
bool key_file_private(const wide& path) {
  return others_who_can_read(path).empty();
}

// Whether the home and the environment hold exactly what this Sign in
// would leave, the key files' protection included: then it has nothing to
// write and nothing to announce.
bool signed_in_already(const wide& home, const wide& key, platform chosen) {
  const wide set_key = read_user_env(api_key_variable);
  const wide auth = join_path(home, auth_file_suffix);
  return file_holds(join_path(home, marker_file_suffix), marker_text(chosen)) &&
         file_holds(auth, auth_file_text(key)) && key_file_private(auth) &&
         key_file_private(join_path(home, auth_backup_copy_suffix)) &&
         file_holds(join_path(home, config_file_suffix), config_to_write(home, chosen)) &&
         proxy_settings_clear() && (chosen == platform::desktop ? set_key == key : set_key.empty());
}

// The tool's files in the Codex home, in an order that leaves a home the
// next command can finish from wherever this one stops (own_files.h): the
// user's files are copied aside first, then the marker says that the tool's
// files stand, then they are written. A failure takes back the copies of
// the files it did not replace, and a marker that was not there before.
sign_in_outcome write_tool_files(const wide& home, const wide& key, platform chosen) {
  kept_copies made;
  file_fault fault;
  if (!keep_own_files(home, made, fault)) {
    drop_copies(home, made);
    return {sign_in_result::copy_not_kept, fault};
  }
  // What the client added to the tool's config since the last Sign in
  // goes into the new one.
  const bytes config_text = config_to_write(home, chosen);
  const wide marker = join_path(home, marker_file_suffix);
  const bool marked_before = path_exists(marker);
  // A marker there before that says another platform stays changed.
  bool changed = marked_before && !file_holds(marker, marker_text(chosen));
  const auto give_up = [&](const wide& path, const host_result& written) {
    drop_copies(home, made);
    if (!marked_before) delete_file(marker);
    sign_in_outcome outcome =
        failed(sign_in_result::not_written, fault_kind::not_written, path, written.error);
    outcome.changed = changed;
    return outcome;
  };
  // Without the marker the tool's files would pass for the user's own. One
  // that cannot be replaced but stands (a folder in its place) still marks.
  const host_result marked = write_text_file(marker, marker_text(chosen));
  if (!marked && !path_exists(marker)) return give_up(marker, marked);
  changed = changed && bool(marked);

  const wide auth = join_path(home, auth_file_suffix);
  const host_result auth_written = write_text_file(auth, auth_file_text(key));
  if (!auth_written) return give_up(auth, auth_written);
  made.auth = false;  // replaced: its copy is now all the user has of it
  changed = true;
  // A kept copy of the user's login may hold a key of theirs.
  const wide auth_copy = join_path(home, auth_backup_copy_suffix);
  if (!key_file_private(auth_copy)) {
    const host_result narrowed = protect_key_file(auth_copy);
    if (!narrowed) return give_up(auth_copy, narrowed);
  }
  const wide config = join_path(home, config_file_suffix);
  const host_result config_written = write_text_file(config, config_text);
  if (!config_written) return give_up(config, config_written);
  sign_in_outcome outcome;
  outcome.changed = true;
  return outcome;
}

}  // namespace

void clear_proxy_settings() {
  for (const char16_t* name : proxy_variable_names) delete_user_env(name, false);
  broadcast_environment_change();
  switch_off_system_proxy();
}

bool proxy_settings_clear() {
  for (const char16_t* name : proxy_variable_names) {
    if (!read_user_env(name).empty()) return false;
  }
  return system_proxy_is_off();
}

sign_in_outcome sign_in_with_key(const wide& typed_key, platform chosen, run_as run) {
  const wide key = trimmed(typed_key);
  if (key.empty()) return failed(sign_in_result::key_empty);
  if (key.size() < minimum_key_length || key.find(key_placeholder) != wide::npos)
    return failed(sign_in_result::key_refused);

  // Without a usable Codex home every path would land in the working
  // directory; refuse rather than write files or settings anywhere else.
  const codex_home_place place = find_codex_home();
  if (!place.exact)
    return failed(sign_in_result::no_codex_home, fault_kind::not_exact, place.setting);
  if (!place.absolute)
    return failed(sign_in_result::no_codex_home, fault_kind::not_absolute, place.setting);
  const wide& home = place.path;
  if (home.empty()) return failed(sign_in_result::no_codex_home, fault_kind::no_profile);
  if (run == run_as::check) {
    sign_in_outcome outcome;
    outcome.changed = !signed_in_already(home, key, chosen);
    return outcome;
  }
  const bool proxies_set = !proxy_settings_clear();
  const host_result home_made = create_directory(home);
  if (!home_made) {
    clear_proxy_settings();
    sign_in_outcome outcome =
        failed(sign_in_result::no_codex_home, fault_kind::no_home, home, home_made.error);
    outcome.changed = proxies_set;
    return outcome;
  }
  const home_lock lock(home);
  if (lock.outcome() == home_lock::state::busy)
    return failed(sign_in_result::busy, fault_kind::busy, home);
  if (!lock.acquired())
    return failed(sign_in_result::lock_failed, fault_kind::no_lock, lock.path(), lock.error());
  remove_leftovers(home);
  if (signed_in_already(home, key, chosen)) return {};

  clear_proxy_settings();
  sign_in_outcome outcome = write_tool_files(home, key, chosen);
  outcome.changed = outcome.changed || proxies_set;
  if (outcome.result != sign_in_result::done) return outcome;
  // The desktop app reads the key from the environment, so without it
  // there it is not signed in; the CLI reads auth.json, and a key left in
  // the environment would stand before it.
  if (chosen == platform::desktop) {
    const host_result set = set_user_env(api_key_variable, key, true);
    if (!set)
      outcome = {sign_in_result::environment_not_set,
                 {fault_kind::no_environment, user_environment_store(), set.error},
                 true};
  } else {
    const host_result removed = delete_user_env(api_key_variable, true);
    if (!removed)
      outcome = {sign_in_result::environment_kept,
                 {fault_kind::key_not_removed, user_environment_store(), removed.error},
                 true};
  }
  return outcome;
}
