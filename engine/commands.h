#pragma once
// Sign in and Reset as values: they take their inputs as arguments and say
// what happened, and each front end (the window, morvanectl) decides how to
// tell the user.
#include <vector>

#include "wide.h"

// The two clients the tool signs in. The marker file stores them as "cli"
// and "app" (mode_name, status.h).
enum class platform { cli, desktop };

// A file a command could not deal with, and why.
struct file_fault {
  wide path;
  int error = 0;  // the system's error code; 0 when it gave none
};

enum class sign_in_result {
  done,
  key_empty,      // nothing left once trimmed
  key_refused,    // too short, or holding the placeholder
  no_codex_home,  // no profile folder, or the Codex home cannot be made
  busy,           // another Sign in or Reset holds the Codex home
  copy_not_kept,  // a file of the user's could not be copied aside
  not_written,    // auth.json or config.toml could not be written
};

struct sign_in_outcome {
  sign_in_result result = sign_in_result::done;
  file_fault fault;  // for the failures that concern a path
};

// What Reset did to one file, or could not do: the user's own file given
// back, the tool's removed, or the tool's config rewritten as the tables
// added to it alone.
enum class reset_step { gave_back, removed, rewrote };
struct reset_change {
  reset_step step;
  file_fault file;  // the path; error set when done is false
  bool done = true;
};

struct reset_outcome {
  bool busy = false;  // another Sign in or Reset held the Codex home: nothing changed
  wide codex_home;
  std::vector<reset_change> changes;
  bool complete() const;  // nothing left undone
};

// Sign in with the key as typed or pasted (it is trimmed here).
sign_in_outcome sign_in_with_key(const wide& typed_key, platform chosen);
// Reset, without asking: the front end asks first.
reset_outcome reset_without_asking();
// Removes the proxy settings from the user environment and switches the
// per-user system proxy off; Sign in and Reset both run it.
void clear_proxy_settings();
