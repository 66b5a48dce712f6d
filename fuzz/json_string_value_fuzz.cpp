// The loose JSON scan on arbitrary bytes: no crash, and whatever it decodes
// is well-formed UTF-16 (lone surrogate escapes come back as U+FFFD).
#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"
#include "status.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const bytes text(reinterpret_cast<const char*>(data), size);
  FUZZ_CHECK(is_valid_utf16(json_string_value(text, "OPENAI_API_KEY")));
  FUZZ_CHECK(is_valid_utf16(json_string_value(text, "mode")));
  // The first byte picks a short member name, so names found in odd places
  // (inside values, after escapes) are reached too.
  if (size > 0) {
    const char names[][8] = {"a", "", "\\", "k\"", "u"};
    FUZZ_CHECK(is_valid_utf16(json_string_value(text.substr(1), names[data[0] % 5])));
  }
  return 0;
}
