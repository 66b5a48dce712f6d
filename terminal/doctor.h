#pragma once
// morvanectl doctor: whether the Codex client will really work on this
// machine, check by check, and what to do where it will not.

struct doctor_options {
  bool json = false;     // one JSON object instead of a line per check
  bool offline = false;  // leave out the one check that goes to the service
};

// Runs every check and prints what each found; changes nothing on disk or
// in the environment. 0 when no check failed, 1 when one did.
int run_doctor(const doctor_options& options);
