#pragma once
// Sign in and Reset as values: they take their inputs as arguments and say
// what happened, and each front end (the window, morvanectl) decides how to
// tell the user.
#include <vector>

#include "wide.h"

// The two clients the tool signs in. The marker file stores them as "cli"
// and "app" (mode_name, status.h).
enum class platform { cli, desktop };

// What a command could not do, to which path.
enum class fault_kind {
  none,
  no_profile,       // no profile folder to find the Codex home in
  not_absolute,     // CODEX_HOME is not an absolute path (the path is its value)
  not_exact,        // the Codex home's path has no exact text form (shown as best it can be)
  no_home,          // the Codex home cannot be made
  busy,             // another Sign in or Reset holds the Codex home
  no_lock,          // the lock file cannot be opened or locked
  not_kept,         // a file of the user's cannot be copied aside
  not_written,      // a file cannot be written
  no_environment,   // OPENAI_API_KEY cannot be set in the user environment store
  not_back,         // a file of the user's cannot be given back (its copy stays)
  not_removed,      // a file, or OPENAI_API_KEY in the store, cannot be removed
  key_not_removed,  // OPENAI_API_KEY cannot be removed from the user environment store
};
// A stable word for each kind ("not_written"), by which the front ends look
// up how to say it.
const char* fault_name(fault_kind kind);

// A path a command could not deal with, and why.
struct file_fault {
  fault_kind kind = fault_kind::none;
  wide path;
  int error = 0;  // the system's error code; 0 when it gave none
};

enum class sign_in_result {
  done,
  key_empty,            // nothing left once trimmed
  key_refused,          // too short, or holding the placeholder
  no_codex_home,        // no usable Codex home, or it cannot be made
  busy,                 // another Sign in or Reset holds the Codex home
  lock_failed,          // the Codex home cannot be locked: nothing was changed
  copy_not_kept,        // a file of the user's could not be copied aside
  not_written,          // a file of the tool's could not be written
  environment_not_set,  // the desktop app's OPENAI_API_KEY could not be set
  environment_kept,     // the CLI's: OPENAI_API_KEY could not be removed
};

struct sign_in_outcome {
  sign_in_result result = sign_in_result::done;
  file_fault fault;  // for the failures that concern a path
  // Whether anything on disk or in the environment was changed (or, when
  // checking, would be), failed or not; a Sign in that finds everything as
  // it would leave it changes nothing.
  bool changed = false;
};

// What Reset did to one file, or could not do: the user's own file given
// back, the tool's removed, or the tool's config rewritten as the tables
// added to it alone.
enum class reset_step { gave_back, removed, rewrote };
struct reset_change {
  reset_step step;
  file_fault file;  // the path; the kind and error set when done is false
  bool done = true;
};

struct reset_outcome {
  // Why Reset changed nothing at all: another command held the Codex home,
  // it could not be locked, or CODEX_HOME is not absolute. None when it ran.
  file_fault stopped;
  wide codex_home;
  std::vector<reset_change> changes;
  // Whether anything was changed (or, when checking, would be), failed or
  // not: nothing is when nothing of the tool's is in place.
  bool changed = false;
  bool busy() const { return stopped.kind == fault_kind::busy; }
  bool complete() const;  // ran, and left nothing undone
};

// A command run for real, or only to tell whether it would change anything:
// then it checks its inputs as the real one does, and changes nothing.
enum class run_as { real, check };

// Sign in with the key as typed or pasted (it is trimmed here).
sign_in_outcome sign_in_with_key(const wide& typed_key, platform chosen, run_as run = run_as::real);
// Reset, without asking: the front end asks first.
reset_outcome reset_without_asking(run_as run = run_as::real);
// Removes the proxy settings from the user environment and switches the
// per-user system proxy off; Sign in and Reset both run it.
void clear_proxy_settings();
// Whether clear_proxy_settings would find nothing to do.
bool proxy_settings_clear();
