#pragma once
// What both front ends share beyond the engine and the texts: the line that
// says what a command could not do, to which path and why, the same in a
// message box and on a terminal.
#include "catalogue.h"
#include "commands.h"
#include "host.h"

inline wide fault_line(const file_fault& fault) {
  return failure_detail(fault_name(fault.kind), fault.path, system_message(fault.error));
}
