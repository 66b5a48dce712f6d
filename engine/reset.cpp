// The Reset command: undoes what Sign in set up for the current user.
#include <algorithm>
#include <optional>

#include "codex_files.h"
#include "commands.h"
#include "host.h"
#include "own_files.h"

namespace {

// Whether Reset would find anything to undo: the tool's files or copies in
// the home, OPENAI_API_KEY or a proxy setting in the environment.
bool anything_to_undo(const wide& home, bool has_home) {
  return (has_home && has_anything_to_give_back(home)) ||
         !read_user_env(api_key_variable).empty() || !proxy_settings_clear();
}

}  // namespace

reset_outcome reset_without_asking(run_as run) {
  reset_outcome outcome;
  // Without a usable Codex home the paths would point into the working
  // directory: leave the file system alone then. Without a Codex home (or
  // with a file in its place) there is nothing in it to undo, nor anything
  // to make just to lock it.
  const codex_home_place place = find_codex_home();
  if (!place.exact) {
    outcome.stopped = {fault_kind::not_exact, place.setting};
    return outcome;
  }
  if (!place.absolute) {
    outcome.stopped = {fault_kind::not_absolute, place.setting};
    return outcome;
  }
  const wide& home = outcome.codex_home = place.path;
  const bool has_home = !home.empty() && path_exists(home) && !is_file(home);
  if (run == run_as::check) {
    outcome.changed = anything_to_undo(home, has_home);
    return outcome;
  }
  std::optional<home_lock> lock;
  if (has_home) {
    lock.emplace(home);
    if (lock->outcome() == home_lock::state::busy) {
      outcome.stopped = {fault_kind::busy, home};
      return outcome;
    }
    if (!lock->acquired()) {
      outcome.stopped = {fault_kind::no_lock, lock->path(), lock->error()};
      return outcome;
    }
    remove_leftovers(home);
  }
  if (!anything_to_undo(home, has_home)) return outcome;
  const bool proxies_were_set = !proxy_settings_clear();
  const bool key_was_set = !read_user_env(api_key_variable).empty();
  clear_proxy_settings();
  if (has_home) outcome.changes = give_back_own_files(home);
  // A key left in the environment still signs the desktop app in.
  const host_result removed = delete_user_env(api_key_variable, true);
  const bool key_left = !read_user_env(api_key_variable).empty();
  if (!removed && key_left)
    outcome.changes.push_back(
        {reset_step::removed,
         {fault_kind::no_environment, user_environment_store(), removed.error},
         false});
  // What was undone, whatever could not be.
  outcome.changed = (proxies_were_set && proxy_settings_clear()) || (key_was_set && !key_left) ||
                    std::any_of(outcome.changes.begin(), outcome.changes.end(),
                                [](const reset_change& change) { return change.done; });
  return outcome;
}
