#include "commands.h"

const char* fault_name(fault_kind kind) {
  switch (kind) {
    case fault_kind::none:
      break;
    case fault_kind::no_profile:
      return "no_profile";
    case fault_kind::not_absolute:
      return "not_absolute";
    case fault_kind::not_exact:
      return "not_exact";
    case fault_kind::no_home:
      return "no_home";
    case fault_kind::busy:
      return "busy";
    case fault_kind::no_lock:
      return "no_lock";
    case fault_kind::not_kept:
      return "not_kept";
    case fault_kind::not_written:
      return "not_written";
    case fault_kind::no_environment:
      return "no_environment";
    case fault_kind::not_back:
      return "not_back";
    case fault_kind::not_removed:
      return "not_removed";
    case fault_kind::key_not_removed:
      return "key_not_removed";
  }
  return "";
}

bool reset_outcome::complete() const {
  if (stopped.kind != fault_kind::none) return false;
  for (const reset_change& change : changes) {
    if (!change.done) return false;
  }
  return true;
}
