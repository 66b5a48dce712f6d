// The window's Sign in, Reset and status card: thin adapters over the
// engine's commands, which take the key field's text and say what happened.
#include "window_commands.h"

#include "catalogue.h"
#include "message_boxes.h"
#include "status.h"
#include "window_port.h"

bool signed_in = false;
wide status_line;
wide key_line;
platform selected_mode = platform::desktop;

namespace {

int show(const box_choice& box) {
  wide text = ui_text(box.text_key);
  if (!box.detail.empty()) text += u"\n\n" + box.detail;
  return window().message_box(text, ui_text(box.caption_key), box.flags);
}

}  // namespace

void apply_key() {
  const sign_in_outcome outcome = sign_in_with_key(window().key_text(), selected_mode);
  // The success box names the platform the refreshed status shows.
  if (outcome.result == sign_in_result::done) refresh_status();
  show(sign_in_box(outcome, selected_mode));
}

void reset_configuration() {
  const int answer =
      window().message_box(ui_text("rst_a"), ui_text("rst_t"), box_yes_no | box_icon_question);
  if (answer != box_answer_yes) return;
  const reset_outcome outcome = reset_without_asking();
  // Whatever it did, the key field and the card then show what is stored.
  if (outcome.stopped.kind == fault_kind::none) {
    window().set_key_text(u"");
    window().hide_key();
    refresh_status();
  }
  show(reset_box(outcome));
}

void refresh_status() {
  const account_status status = read_status();
  if (status.signed_in) {
    signed_in = true;
    status_line = status_text(mode_name(status.client));
    key_line = key_line_prefix + status.key;
    selected_mode = status.client;
    // Never overwrite what the user is typing.
    if (window().key_text().empty()) window().set_key_text(status.key);
  } else {
    signed_in = false;
    status_line = status_text(nullptr);
    key_line.clear();
  }
  window().request_repaint();
}
