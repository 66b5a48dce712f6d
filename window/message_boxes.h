#pragma once
// Which box the window shows for what a command did. Pure, so that every
// outcome can be held against its box without a window.
#include "commands.h"

struct box_choice {
  const char* text_key;  // catalogue keys
  const char* caption_key;
  unsigned flags;  // button and icon, as window_port.h names them
};

// The box that ends a Sign in; `shown` is the platform the status card
// shows afterwards, which the success text names.
box_choice sign_in_box(sign_in_result result, platform shown);
// The box that ends a confirmed Reset.
box_choice reset_box(const reset_outcome& outcome);
