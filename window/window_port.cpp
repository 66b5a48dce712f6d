#include "window_port.h"

namespace {

// Stands in until the window exists (and in tests that need no window).
class no_window final : public window_port {
 public:
  wide key_text() override { return {}; }
  void set_key_text(const wide&) override {}
  void hide_key() override {}
  int message_box(const wide&, const wide&, unsigned) override { return 0; }
  void request_repaint() override {}
};

no_window silent_window;
window_port* current_window = &silent_window;

}  // namespace

window_port& window() {
  return *current_window;
}

void set_window_port(window_port* port) {
  current_window = port ? port : &silent_window;
}
