#include "message_boxes.h"

#include "window_port.h"

box_choice sign_in_box(sign_in_result result, platform shown) {
  constexpr unsigned failure = box_ok | box_icon_error;
  switch (result) {
    case sign_in_result::done:
      return {shown == platform::cli ? "ok_cli" : "ok_app", "ok_t", box_ok | box_icon_information};
    case sign_in_result::key_empty:
      return {"empty", "fail", failure};
    case sign_in_result::key_refused:
      return {"bad", "fail", failure};
    default:
      return {"fail", "fail", failure};
  }
}

box_choice reset_box(const reset_outcome& outcome) {
  if (outcome.busy) return {"rst_bz", "rst_t", box_ok | box_icon_error};
  return {"rst_ok", "rst_d", box_ok | box_icon_information};
}
