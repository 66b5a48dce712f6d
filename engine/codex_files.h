#pragma once
// The files of the Codex home, each named by the suffix that join_path
// appends to the home (with its own leading backslash), the name the API
// key goes by in auth.json and in the user environment, and the
// environment values that would route the clients through a proxy.

constexpr char16_t auth_file_suffix[] = u"\\auth.json";
constexpr char16_t config_file_suffix[] = u"\\config.toml";
constexpr char16_t marker_file_suffix[] = u"\\.morvane-applied";
constexpr char16_t backup_dir_suffix[] = u"\\.morvane-backup";
constexpr char16_t backup_copy_suffix[] = u"\\.morvane-backup\\config.toml";     // the user's own
constexpr char16_t auth_backup_copy_suffix[] = u"\\.morvane-backup\\auth.json";  // the user's own
constexpr char16_t lock_file_suffix[] = u"\\.morvane-lock";  // while a command runs

constexpr char api_key_member[] = "OPENAI_API_KEY";         // in auth.json
constexpr char16_t api_key_variable[] = u"OPENAI_API_KEY";  // in the user environment
constexpr const char16_t* proxy_variable_names[] = {u"HTTP_PROXY", u"HTTPS_PROXY", u"ALL_PROXY",
                                                    u"http_proxy", u"https_proxy", u"all_proxy",
                                                    u"NO_PROXY",   u"no_proxy"};
