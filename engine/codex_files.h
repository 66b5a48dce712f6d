#pragma once
// The files of the Codex home, each named by the suffix that join_path
// appends to the home (with its own leading backslash), and the name the
// API key goes by in auth.json and in the user environment.

constexpr char16_t auth_file_suffix[] = u"\\auth.json";
constexpr char16_t config_file_suffix[] = u"\\config.toml";
constexpr char16_t marker_file_suffix[] = u"\\.morvane-applied";
constexpr char16_t backup_dir_suffix[] = u"\\.morvane-backup";
constexpr char16_t backup_copy_suffix[] = u"\\.morvane-backup\\config.toml";     // the user's own
constexpr char16_t auth_backup_copy_suffix[] = u"\\.morvane-backup\\auth.json";  // the user's own
constexpr char16_t lock_file_suffix[] = u"\\.morvane-lock";  // while a command runs

constexpr char api_key_member[] = "OPENAI_API_KEY";         // in auth.json
constexpr char16_t api_key_variable[] = u"OPENAI_API_KEY";  // in the user environment
