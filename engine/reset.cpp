// The Reset command: undoes what Sign in set up for the current user.
#include <optional>

#include "codex_files.h"
#include "commands.h"
#include "host.h"
#include "own_files.h"

bool reset_outcome::complete() const {
  if (busy) return false;
  for (const reset_change& change : changes) {
    if (!change.done) return false;
  }
  return true;
}

reset_outcome reset_without_asking() {
  reset_outcome outcome;
  // Without a profile folder the paths would point into the working
  // directory: leave the file system alone then. Without a Codex home
  // there is nothing in it to undo, nor anything to make just to lock it.
  const wide& home = outcome.codex_home = codex_home();
  const bool has_home = !home.empty() && path_exists(home);
  std::optional<home_lock> lock;
  if (has_home) {
    lock.emplace(home);
    if (!lock->acquired()) {
      outcome.busy = true;
      return outcome;
    }
    remove_leftovers(home);
  }
  clear_proxy_settings();
  if (has_home) outcome.changes = give_back_own_files(home);
  delete_user_env(api_key_variable, true);
  return outcome;
}
