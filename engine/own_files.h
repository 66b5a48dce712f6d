#pragma once
// The user's own config.toml and auth.json: kept aside by the first Sign in
// that finds them, and handed back by Reset.
#include <vector>

#include "commands.h"
#include "wide.h"

// Sign in: keeps a copy of each file of the user's that the tool is about
// to replace. False, with the copy that could not be made in `fault`, when
// such a file is there and no faithful copy of it could be made:
// overwriting it then would lose it for good.
bool keep_own_files(const wide& home, file_fault& fault);
// Reset: puts the kept copies back and removes the tool's own files, and
// says what it did and could not do.
std::vector<reset_change> give_back_own_files(const wide& home);
