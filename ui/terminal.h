#pragma once
// The engine's commands on a terminal: the key comes from the input, each
// message box becomes printed text (success on standard output, failure on
// standard error) and the one question is asked at the terminal, unless it
// was answered beforehand.
#include <utility>

#include "console.h"
#include "wide.h"
#include "window_port.h"

enum class tone { plain, good, bad };

// Prints the text and a line end, in colour where the stream shows it.
void print_line(out_stream stream, const wide& text, tone colour = tone::plain);

class terminal_port final : public window_port {
 public:
  terminal_port(wide key, bool answer_yes) : key_(std::move(key)), answer_yes_(answer_yes) {}

  wide key_text() override { return key_; }
  void set_key_text(const wide&) override {}  // no field to fill
  void hide_key() override {}
  int message_box(const wide& text, const wide& caption, unsigned flags) override;
  void request_repaint() override {}

  // The flags and text of the last message shown; 0 and empty before any.
  unsigned last_flags() const { return last_flags_; }
  const wide& last_text() const { return last_text_; }

 private:
  int ask(const wide& question);

  wide key_;
  bool answer_yes_;
  unsigned last_flags_ = 0;
  wide last_text_;
};
