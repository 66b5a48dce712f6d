#pragma once
// What the window's commands need of the window itself: the key field,
// message boxes and repaint requests. The program implements it over Win32
// (window.cpp); the native tests use a recording fake. Without a window
// every call is a no-op and message boxes answer 0.
#include "wide.h"

// Message box flags and answers, with the platform's values.
enum : unsigned {
  box_ok = 0x00,
  box_yes_no = 0x04,
  box_icon_error = 0x10,
  box_icon_question = 0x20,
  box_icon_information = 0x40,
};
constexpr int box_answer_yes = 6;

class window_port {
 public:
  virtual ~window_port() = default;
  // Whole text of the key field up to its first NUL.
  virtual wide key_text() = 0;
  virtual void set_key_text(const wide& text) = 0;
  // Masks the key field again and clears the show-key tick.
  virtual void hide_key() = 0;
  // Modal box owned by the main window; returns the button pressed.
  virtual int message_box(const wide& text, const wide& caption, unsigned flags) = 0;
  // Marks the whole client area for repainting, without erase.
  virtual void request_repaint() = 0;
};

// The window the commands talk to; a silent stand-in until one is set.
window_port& window();
void set_window_port(window_port* port);
