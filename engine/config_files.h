#pragma once
// Everything the tool writes into the Codex home, byte for byte, and the
// line filter that keeps a Desktop config.toml acceptable to the app.
#include <vector>

#include "commands.h"
#include "wide.h"

extern const bytes desktop_template;
extern const bytes cli_template;
// Every config.toml the tool writes with nothing added: each template, and
// each as earlier versions wrote it, before the agent role had a
// description (a home signed in then holds the tool's config all the same).
std::vector<bytes> tool_config_texts();

// UTF-8 text made safe inside a JSON string: quotes, backslashes and
// control characters escaped, every other byte as it is.
bytes json_escaped(const bytes& text);
// Always valid JSON, whatever the key holds.
bytes auth_file_text(const wide& key);
bytes marker_text(platform client);

bytes sanitize_desktop_config(const bytes& text);
// Runs the config file through the filter again when the saved mode is
// Desktop; writes only when something changed.
void heal_desktop_config();
