#pragma once
// Stored state read back from the Codex home and the user environment:
// which key is in place, and for which client.
#include "commands.h"
#include "wide.h"

// What a sample configuration carries instead of a key; never a usable key.
constexpr char16_t key_placeholder[] = u"YOUR_API_KEY";

// Which key is in place and for which client, read once from the stored
// files and the environment.
struct account_status {
  bool signed_in = false;
  platform client = platform::desktop;  // only meaningful when signed in
  wide key;                             // empty when not signed in
  // Morvane's marker names the platform; without it a key in place is the
  // user's own (before any Sign in, or given back by Reset).
  bool by_morvane = false;
};
account_status read_status();

// How the marker file names a platform: "cli" or "app".
const char* mode_name(platform client);

// The string value of the first member called name, JSON escapes decoded;
// empty when the member is missing or its value is not a string.
wide json_string_value(const bytes& text, const char* name);
wide read_saved_key();
wide read_saved_mode();  // "", "cli" or "app"
// The key as shown where it must not be read: only its first 3 and last 4
// characters, and none of a key too short to keep 4 hidden.
wide masked_key(const wide& key);
