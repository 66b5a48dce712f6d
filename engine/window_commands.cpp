// The window's Sign in and Reset: the key field and the chosen card in, the
// same boxes out whatever the reason behind them.
#include "catalogue.h"
#include "commands.h"
#include "status.h"
#include "window_port.h"

namespace {

void show_failure(const char* text_key) {
  window().message_box(ui_text(text_key), ui_text("fail"), box_ok | box_icon_error);
}

}  // namespace

void apply_key() {
  const sign_in_outcome outcome =
      sign_in_with_key(window().key_text(), platform_of_mode(selected_mode));
  switch (outcome.result) {
    case sign_in_result::done:
      break;
    case sign_in_result::key_empty:
      show_failure("empty");
      return;
    case sign_in_result::key_refused:
      show_failure("bad");
      return;
    default:
      show_failure("fail");
      return;
  }
  refresh_status();
  // The box names the platform the status now shows.
  const char* text_key = selected_mode == u"cli" ? "ok_cli" : "ok_app";
  window().message_box(ui_text(text_key), ui_text("ok_t"), box_ok | box_icon_information);
}

void reset_configuration() {
  const int answer =
      window().message_box(ui_text("rst_a"), ui_text("rst_t"), box_yes_no | box_icon_question);
  if (answer != box_answer_yes) return;
  if (reset_without_asking().busy) {
    window().message_box(ui_text("rst_bz"), ui_text("rst_t"), box_ok | box_icon_error);
    return;
  }
  window().set_key_text(u"");
  window().hide_key();
  refresh_status();
  window().message_box(ui_text("rst_ok"), ui_text("rst_d"), box_ok | box_icon_information);
}
