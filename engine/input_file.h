#pragma once
// A regular file open for reading, for the hosts and the byte comparisons
// built on them. Defined once per platform beside the host.
#include <cstddef>
#include <cstdint>
#include <memory>

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
  std::uint64_t size() const { return size_; }
  // Up to `want` bytes into buffer; fewer only at the end of the file, and
  // -1 on a read error.
  std::int64_t read_some(char* buffer, std::size_t want);

 private:
  struct platform_file;  // the open file as the platform holds it
  std::unique_ptr<platform_file> file_;
  std::uint64_t size_ = 0;
};
