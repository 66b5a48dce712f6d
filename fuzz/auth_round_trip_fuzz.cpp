// Any key the user can paste is written to auth.json as valid JSON and read
// back unchanged.
#include <cstddef>
#include <cstdint>

#include "codex_files.h"
#include "config_files.h"
#include "fuzz_check.h"
#include "host.h"
#include "status.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const wide key = from_utf8(bytes(reinterpret_cast<const char*>(data), size));
  FUZZ_CHECK(is_valid_utf16(key));
  if (key.empty()) return 0;

  const bytes text = auth_file_text(key);
  const bytes prefix = "{\n  \"auth_mode\": \"apikey\",\n  \"OPENAI_API_KEY\": \"";
  const bytes suffix = "\"\n}\n";
  FUZZ_CHECK(text.size() >= prefix.size() + suffix.size());
  FUZZ_CHECK(text.compare(0, prefix.size(), prefix) == 0);
  FUZZ_CHECK(text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0);
  // Strict JSON readers refuse raw control characters inside a string.
  for (std::size_t i = prefix.size(); i < text.size() - suffix.size(); ++i)
    FUZZ_CHECK(static_cast<unsigned char>(text[i]) >= 0x20);
  FUZZ_CHECK(json_string_value(text, "OPENAI_API_KEY") == key);
  return 0;
}
