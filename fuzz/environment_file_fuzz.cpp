// The user environment's file on POSIX hosts: whatever the file holds and
// whatever the value, the value set reads back exactly, setting it again
// changes nothing, a removed value is gone, and a value of another name
// (one that starts the same among them) stays as it was.
#include <cstddef>
#include <cstdint>

#include "environment_file.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const bytes input(reinterpret_cast<const char*>(data), size);
  // The file, then after a NUL the value to set.
  const std::size_t split = input.find('\0');
  const bytes store = input.substr(0, split);
  const bytes value = split == bytes::npos ? bytes() : input.substr(split + 1);
  const bytes name = "OPENAI_API_KEY", other = "OPENAI_API_KEY_OLD";

  bytes other_before, other_after, read, updated, again;
  const bool other_there = environment_file_value(store, other, other_before);
  if (!environment_file_with(store, name, value, updated)) {
    FUZZ_CHECK(value.empty() && !environment_file_value(store, name, read));
    return 0;
  }
  FUZZ_CHECK(environment_file_value(updated, name, read) == !value.empty());
  if (!value.empty()) FUZZ_CHECK(read == value);
  FUZZ_CHECK(environment_file_value(updated, other, other_after) == other_there);
  FUZZ_CHECK(other_after == other_before);
  FUZZ_CHECK(!environment_file_with(updated, name, value, again) ? value.empty()
                                                                 : again == updated);
  return 0;
}
