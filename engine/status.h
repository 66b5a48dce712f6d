#pragma once
// Stored state read back from the Codex home and the user environment, and
// the status the window shows.
#include "commands.h"
#include "wide.h"

// Starts the status card's second line, in both languages.
constexpr char16_t key_line_prefix[] = u"Key: ";
// What a sample configuration carries instead of a key; never a usable key.
constexpr char16_t key_placeholder[] = u"YOUR_API_KEY";

// The window's status state, set by refresh_status.
extern bool signed_in;
extern wide status_line;
extern wide key_line;
extern wide selected_mode;  // "cli" or "app"; "app" at start

// Which key is in place and for which client, read once from the stored
// files and the environment.
struct account_status {
  bool signed_in = false;
  platform client = platform::desktop;  // only meaningful when signed in
  wide key;                             // empty when not signed in
};
account_status read_status();

// How the marker file and selected_mode name a platform: "cli" or "app".
const char16_t* mode_text(platform client);
// The platform a mode names; anything but "cli" is the Desktop app.
platform platform_of_mode(const wide& mode);

// The string value of the first member called name, JSON escapes decoded;
// empty when the member is missing or its value is not a string.
wide json_string_value(const bytes& text, const char* name);
wide read_saved_key();
wide read_saved_mode();  // "", "cli" or "app"
// The status card's first line for a saved mode; the idle text for none.
wide status_text(const wide& mode);
// The key as shown where it must not be read: only its first 3 and last 4
// characters, and none of a key too short to keep 4 hidden.
wide masked_key(const wide& key);
void refresh_status();
