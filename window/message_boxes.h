#pragma once
// Which box the window shows for what a command did, so that every outcome
// can be held against its box without a window.
#include "commands.h"
#include "wide.h"

struct box_choice {
  const char* text_key;  // catalogue keys
  const char* caption_key;
  unsigned flags;  // button and icon, as window_port.h names them
  // Under the text, after a blank line: what could not be done, to which
  // file and why, a line each; empty for success and a refused key.
  wide detail;
};

// The box that ends a Sign in; `shown` is the platform the status card
// shows afterwards, which the success text names.
box_choice sign_in_box(const sign_in_outcome& outcome, platform shown);
// The box that ends a confirmed Reset.
box_choice reset_box(const reset_outcome& outcome);
