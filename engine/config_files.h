#pragma once
// Everything the tool writes into the Codex home, byte for byte, and the
// line filter that keeps a Desktop config.toml acceptable to the app.
#include "wide.h"

// The named files, each appended to the Codex home with join_path.
extern const char16_t auth_file_suffix[];
extern const char16_t config_file_suffix[];
extern const char16_t marker_file_suffix[];
extern const char16_t backup_dir_suffix[];
extern const char16_t backup_copy_suffix[];       // the user's own config.toml
extern const char16_t auth_backup_copy_suffix[];  // the user's own auth.json

extern const bytes desktop_template;
extern const bytes cli_template;

bytes auth_file_text(const wide& key);
bytes marker_text(const wide& mode);

bytes sanitize_desktop_config(const bytes& text);
// Runs the config file through the filter again when the saved mode is
// Desktop; writes only when something changed.
void heal_desktop_config();
