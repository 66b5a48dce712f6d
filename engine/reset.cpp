// The Reset command: undoes what Sign in set up for the current user.
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
  clear_proxy_settings();
  // Without a profile folder the paths would point into the working
  // directory: leave the file system alone then.
  outcome.codex_home = codex_home();
  if (!outcome.codex_home.empty()) outcome.changes = give_back_own_files(outcome.codex_home);
  delete_user_env(api_key_variable, true);
  return outcome;
}
