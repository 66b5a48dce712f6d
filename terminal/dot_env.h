#pragma once
// The NAME=VALUE lines of a Codex home's .env file, read as the client
// reads them at start: blank lines and # comments skipped, an optional
// "export ", a value in single quotes as it stands, in double quotes with
// its escapes, or bare up to a " #" comment, without surrounding blanks.
// Lines that are none of these are left out.
#include <vector>

#include "wide.h"

struct dot_env_line {
  bytes name;  // letters, digits, '_' and '.', never empty
  bytes value;
  long long line = 0;  // from 1
};

std::vector<dot_env_line> read_dot_env(const bytes& text);
