#pragma once
// What a host operation that changes something reports: whether it was done
// and, when not, the system's own error code (errno on POSIX, GetLastError
// on Windows), or 0 when the system gave no reason.

struct host_result {
  bool done = true;
  int error = 0;
  explicit operator bool() const { return done; }
};

inline host_result host_failure(int error) {
  return {false, error};
}
