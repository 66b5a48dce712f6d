#pragma once
// The user's own config.toml and auth.json: kept aside by the first Sign in
// that finds them, and handed back by Reset.
#include "wide.h"

// Sign in: keeps a copy of each file of the user's that the tool is about
// to replace. False when such a file is there and no faithful copy of it
// could be made: overwriting it then would lose it for good.
bool keep_own_files(const wide& home);
// Reset: puts the kept copies back and removes the tool's own files.
void give_back_own_files(const wide& home);
