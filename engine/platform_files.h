#pragma once
// What host_files.cpp builds the file rules on, defined once per platform
// beside the host: a regular file open for reading, a file that replaces
// another in one step, and the hooks through which every change honours the
// tests' fault seams.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "host_result.h"
#include "wide.h"

class input_file {
 public:
  // Not open for a missing or unreadable file, a directory, a named pipe
  // or anything else that is not a regular file.
  explicit input_file(const wide& path);
  ~input_file();
  input_file(const input_file&) = delete;
  input_file& operator=(const input_file&) = delete;

  bool is_open() const { return file_ != nullptr; }
  int error() const { return error_; }  // why it is not open
  std::uint64_t size() const { return size_; }
  // Up to `want` bytes into buffer; fewer only at the end of the file, and
  // -1 on a read error.
  std::int64_t read_some(char* buffer, std::size_t want);

 private:
  struct platform_file;  // the open file as the platform holds it
  std::unique_ptr<platform_file> file_;
  std::uint64_t size_ = 0;
  int error_ = 0;
};

// New content for `target`, written under a temporary "mvn" name in the
// target's folder and moved over the target by commit(), so the old file
// stays whole until the new one is complete on disk. Removed again unless
// committed. On POSIX a symbolic link in the target's place stays and its
// target is replaced; the new file is private to the user, no wider than
// `permissions_from` (the target itself when empty).
class replacement_file {
 public:
  replacement_file(const wide& target, const wide& permissions_from);
  ~replacement_file();
  replacement_file(const replacement_file&) = delete;
  replacement_file& operator=(const replacement_file&) = delete;

  host_result opened() const { return opened_; }
  host_result write(const char* data, std::size_t size);
  host_result sync();    // to the disk
  host_result commit();  // in the target's place

 private:
  struct platform_file;
  std::unique_ptr<platform_file> file_;
  host_result opened_;
};

// The platform's codes for a full disk, a target that is there already, and
// a change that a test's stop refused.
extern const int disk_full_error;
extern const int exists_error;
extern const int stopped_error;

// Every change to a file, a folder or the registry asks first: false once a
// test has stopped changes (write_faults.h).
bool change_allowed();
// Whether a test makes syncs fail.
bool sync_fault_injected();
// How long to wait for the home's lock, in milliseconds.
unsigned lock_patience();
// How long a test wants the next lock to pause between opening its file
// and locking it (0: no pause); asking takes it.
unsigned take_lock_pause();
// Whether a test has the next replacement's target held by another
// program; asking counts one try.
bool target_held_by_test();
