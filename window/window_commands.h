#pragma once
// The window's commands and the status it shows: the key field and the
// chosen card go into the engine's commands, and what they did comes back
// as a box and a status card.
#include "commands.h"
#include "wide.h"

// The status card's state, set by refresh_status and read by painting.
extern bool signed_in;
extern wide status_line;
extern wide key_line;
// The platform card that is selected: Desktop at start, then the user's
// click or the platform signed in.
extern platform selected_mode;

// Sign in with the key field's text for the chosen card.
void apply_key();
// Asks, then resets.
void reset_configuration();
// Reads the stored state afresh into the status card; fills an empty key
// field with the saved key.
void refresh_status();
