#pragma once
// Stored state read back from the Codex home and the user environment, and
// the status the window shows.
#include "wide.h"

// Starts the status card's second line, in both languages.
constexpr char16_t key_line_prefix[] = u"Key: ";
// What a sample configuration carries instead of a key; never a usable key.
constexpr char16_t key_placeholder[] = u"YOUR_API_KEY";

extern bool signed_in;
extern wide status_line;
extern wide key_line;
extern wide selected_mode;  // "cli" or "app"; "app" at start

// The string value of the first member called name, JSON escapes decoded;
// empty when the member is missing or its value is not a string.
wide json_string_value(const bytes& text, const char* name);
wide read_saved_key();
wide read_saved_mode();  // "", "cli" or "app"
// The status card's first line for a saved mode; the idle text for none.
wide status_text(const wide& mode);
void refresh_status();
