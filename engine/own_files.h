#pragma once
// The user's own config.toml and auth.json: kept aside while the tool's
// files stand in their place, and handed back by Reset.
//
// What the files say at any moment, so that a command stopped anywhere (the
// process killed, the machine switched off) leaves a home the next command
// can finish from:
// - a copy in .morvane-backup holds exactly the user's own file;
// - while the marker is there, each file in place is the tool's (the
//   client's edits included), or still the user's own with its copy beside
//   it; a file with no copy beside the marker was never the user's, and a
//   config.toml that still starts as a template is the tool's;
// - without the marker, the files in place are the user's own, unless they
//   are byte for byte what the tool writes, and a copy beside a file of the
//   user's is stale: a Sign in that was stopped, or failed, before it
//   replaced anything.
// So Sign in keeps the copies, then writes the marker, then the tool's
// files; Reset puts the copies back, then removes the marker, and only then
// the copies.
#include <vector>

#include "commands.h"
#include "wide.h"

// The copies one Sign in made.
struct kept_copies {
  bool config = false;
  bool auth = false;
};

// Sign in: keeps a fresh copy of each file of the user's that the tool is
// about to replace, in place of a stale one. False, with the copy that could
// not be made in `fault`, when such a file is there and no faithful copy of
// it could be made: overwriting it then would lose it for good.
bool keep_own_files(const wide& home, kept_copies& made, file_fault& fault);
// What writes stopped half-way left in the home and in .morvane-backup.
void remove_leftovers(const wide& home);
// A Sign in that failed takes back the copies it made of files it did not
// replace: left behind, they would pass for the user's latest later.
void drop_copies(const wide& home, const kept_copies& made);
// The tables added to the tool's config.toml while the marker stands: those
// its template has no header for or, where the file in place is no longer
// the tool's, those the user's own copy has none for.
std::vector<bytes> added_config_tables(const wide& home);
// Whether Reset would find anything of the tool's in the home to give back
// or remove: the marker, a kept copy, or the tool's own auth.json.
bool has_anything_to_give_back(const wide& home);
// Reset: puts the kept copies back, with the added tables that can stand in
// them, and removes the tool's own files; and says what it did and could
// not do.
std::vector<reset_change> give_back_own_files(const wide& home);
