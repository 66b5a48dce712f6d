#pragma once
// Tables added to the config.toml that Sign in wrote, while signed in: the
// Codex client writes an MCP server ([mcp_servers.NAME]), a project's trust
// ([projects."PATH"]), features and notices into it, and the user may too.
// They are the user's work: the next Sign in and Reset carry them over.
#include <vector>

#include "wide.h"

// The template a config was written from, told by its first line; null
// when it starts like neither.
const bytes* template_of(const bytes& config);

// The tables of `config` that `base` has no header for, in their order,
// each its header line and every line up to the next header, without the
// blank lines at its end; an element of an array of tables comes with its
// sub-tables. None when either text cannot be read with
// certainty as TOML reads it (a header or key it cannot make out, or a
// value still open at the end): when in doubt, nothing is carried.
std::vector<bytes> added_tables(const bytes& config, const bytes& base);

// `target` as it stands, then each table that can stand in it, after one
// empty line. A table whose header, or a table it would extend, the target
// defines already (with a header, an inline table or dotted keys) is left
// out, an array of tables goes whole or not at all, and every table is left
// out when the target cannot be read with certainty.
bytes with_tables(const bytes& target, const std::vector<bytes>& tables);
