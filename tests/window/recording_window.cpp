#include "recording_window.h"

void recording_window::set_key_text(const wide& text) {
  key = text;
  ++key_sets;
}

void recording_window::hide_key() {
  key_masked = true;
}

int recording_window::message_box(const wide& text, const wide& caption, unsigned flags) {
  boxes.push_back({text, caption, flags});
  return answer;
}
