#include "message_boxes.h"

#include "fault_line.h"
#include "window_port.h"

namespace {

constexpr unsigned failure = box_ok | box_icon_error;

}  // namespace

box_choice sign_in_box(const sign_in_outcome& outcome, platform shown) {
  switch (outcome.result) {
    case sign_in_result::done:
      return {shown == platform::cli ? "ok_cli" : "ok_app", "ok_t", box_ok | box_icon_information,
              wide()};
    case sign_in_result::key_empty:
      return {"empty", "fail", failure, wide()};
    case sign_in_result::key_refused:
      return {"bad", "fail", failure, wide()};
    default:
      return {"fail", "fail", failure, fault_line(outcome.fault)};
  }
}

box_choice reset_box(const reset_outcome& outcome) {
  if (outcome.busy()) return {"rst_bz", "rst_t", failure, wide()};
  if (outcome.stopped.kind != fault_kind::none)
    return {"rst_no", "rst_t", failure, fault_line(outcome.stopped)};
  if (outcome.complete()) return {"rst_ok", "rst_d", box_ok | box_icon_information, wide()};
  wide lines;
  for (const reset_change& change : outcome.changes) {
    if (change.done) continue;
    if (!lines.empty()) lines += u'\n';
    lines += fault_line(change.file);
  }
  return {"rst_no", "rst_t", failure, lines};
}
