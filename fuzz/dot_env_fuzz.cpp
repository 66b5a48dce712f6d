// The .env reader on arbitrary bytes: no crash, every name one the client
// accepts, every line number within the text and in rising order, and each
// line found again when read alone.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dot_env.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const bytes text(reinterpret_cast<const char*>(data), size);
  const long long lines = std::count(text.begin(), text.end(), '\n') + 1;
  long long previous = 0;
  for (const dot_env_line& found : read_dot_env(text)) {
    FUZZ_CHECK(!found.name.empty());
    FUZZ_CHECK(found.name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                            "0123456789_.") == bytes::npos);
    FUZZ_CHECK(found.line > previous && found.line <= lines);
    previous = found.line;
  }
  // A line read on its own gives what it gave among the others.
  const std::size_t end = std::min(text.find('\n'), text.size());
  const std::vector<dot_env_line> whole = read_dot_env(text),
                                  first = read_dot_env(text.substr(0, end));
  FUZZ_CHECK(first.size() <= 1);
  if (!first.empty()) {
    FUZZ_CHECK(!whole.empty() && whole[0].line == 1 && whole[0].name == first[0].name &&
               whole[0].value == first[0].value);
  }
  return 0;
}
