#pragma once
// The real main window, created in the test process with the program's own
// class and procedure, over a Codex home and environment emptied per test.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "commands.h"
#include "unique_handle.h"
#include "wide.h"
#include "window_port.h"

// Forwards the key field to the real window but answers message boxes
// itself, so commands can run without a modal box waiting for a user.
class answering_port final : public window_port {
 public:
  explicit answering_port(window_port& real) : real_(real) {}
  wide key_text() override { return real_.key_text(); }
  void set_key_text(const wide& text) override { real_.set_key_text(text); }
  void hide_key() override { real_.hide_key(); }
  int message_box(const wide& text, const wide& caption, unsigned) override;
  void request_repaint() override { real_.request_repaint(); }

  std::vector<wide> captions;
  std::vector<wide> texts;

 private:
  window_port& real_;
};

class window_test : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Stores a signed-in account for the platform, as Sign in leaves it.
  void store_account(const char* key, platform client);
  void open_window(bool shown = true);
  // Hands message boxes to `answers` from now on.
  void answer_boxes();

  void press(POINT at);
  void release(POINT at);
  void click(POINT at);
  void move(POINT at);
  // True when something invalidated the main window since the last call.
  bool repaint_requested();

  answering_port* answers = nullptr;

 private:
  answering_port* owned_answers_ = nullptr;
};

// A top-down 32-bit image in a memory DC whose pixels read back exactly.
class canvas {
 public:
  canvas(int width, int height);
  ~canvas();
  canvas(const canvas&) = delete;
  canvas& operator=(const canvas&) = delete;

  HDC dc() const { return dc_.get(); }
  // Draws the whole client area into the image.
  void paint();
  void fill(COLORREF colour);
  COLORREF at(POINT p) const;
  int count(const RECT& r, COLORREF colour) const;

 private:
  int width_;
  int height_;
  unique_memory_dc dc_;
  unique_bitmap bitmap_;
  HGDIOBJ previous_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

// The middle of a rectangle: a point that is clearly inside it.
constexpr POINT middle(const RECT& r) {
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
constexpr RECT inset(const RECT& r, int by) {
  return {r.left + by, r.top + by, r.right - by, r.bottom - by};
}
constexpr int area(const RECT& r) {
  return (r.right - r.left) * (r.bottom - r.top);
}

void clear_user_state();
void reset_interface_state();
