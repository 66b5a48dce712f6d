#pragma once
// A window for the engine's commands that records what they ask of it.
#include <string>
#include <vector>

#include "window_port.h"

struct recorded_box {
  wide text;
  wide caption;
  unsigned flags;
};

class recording_window final : public window_port {
 public:
  recording_window() { set_window_port(this); }
  ~recording_window() override { set_window_port(nullptr); }

  wide key_text() override { return key; }
  void set_key_text(const wide& text) override;
  void hide_key() override;
  int message_box(const wide& text, const wide& caption, unsigned flags) override;
  void request_repaint() override { ++repaints; }

  wide key;  // what the key field shows
  bool key_masked = true;
  int key_sets = 0;  // set_key_text calls
  int repaints = 0;
  int answer = box_answer_yes;  // what every box answers
  std::vector<recorded_box> boxes;
};
