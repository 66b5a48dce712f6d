// The Desktop filter on arbitrary bytes: it must settle in one pass, keep
// the file's ending tidy and, where no value can run over several lines,
// never let a dropped table header through.
#include <cstddef>
#include <cstdint>

#include "codex_files.h"
#include "config_files.h"
#include "fuzz_check.h"

namespace {

bool starts_with(const bytes& text, const char* prefix) {
  return text.compare(0, bytes(prefix).size(), prefix) == 0;
}

// The line without trailing spaces, tabs and carriage returns, then without
// leading spaces and tabs: the form the filter tests.
bytes trimmed(const bytes& line) {
  std::size_t end = line.size();
  while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\t' || line[end - 1] == '\r')) --end;
  std::size_t start = 0;
  while (start < end && (line[start] == ' ' || line[start] == '\t')) ++start;
  return line.substr(start, end - start);
}

bool holds_dropped_header(const bytes& text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == bytes::npos) end = text.size();
    const bytes line = trimmed(text.substr(start, end - start));
    if (starts_with(line, "[mcp_servers.") || starts_with(line, "[plugins.") ||
        starts_with(line, "[marketplaces."))
      return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const bytes input(reinterpret_cast<const char*>(data), size);
  const bytes once = sanitize_desktop_config(input);

  FUZZ_CHECK(!once.empty());
  FUZZ_CHECK(once.back() == '\n');
  FUZZ_CHECK(once.size() < 2 || once.compare(once.size() - 2, 2, "\n\n") != 0);
  // Only a key's '=' can open a value that runs on; without one, every line
  // is judged on its own.
  if (input.find('=') == bytes::npos) FUZZ_CHECK(!holds_dropped_header(once));

  // A text that began with two byte-order marks keeps the second one after the
  // first pass, and only the second pass strips it; every other text is final
  // after one pass.
  if (!starts_with(once, "\xEF\xBB\xBF")) FUZZ_CHECK(sanitize_desktop_config(once) == once);
  return 0;
}
