// The .env reader: one pass over the lines, nothing kept but what a line
// names and the value it gives.
#include "dot_env.h"

#include <algorithm>

namespace {

bool is_name_character(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '.';
}

bytes trimmed(const bytes& text) {
  const std::size_t start = text.find_first_not_of(" \t\r");
  if (start == bytes::npos) return bytes();
  return text.substr(start, text.find_last_not_of(" \t\r") + 1 - start);
}

// The value after '=': false when a quote is left open.
bool read_value(const bytes& text, bytes& value) {
  value.clear();
  if (!text.empty() && text[0] == '\'') {
    const std::size_t close = text.find('\'', 1);
    if (close == bytes::npos) return false;
    value = text.substr(1, close - 1);
    return true;
  }
  if (!text.empty() && text[0] == '"') {
    for (std::size_t at = 1; at < text.size(); ++at) {
      if (text[at] == '"') return true;
      if (text[at] == '\\' && at + 1 < text.size()) {
        const char next = text[++at];
        value += next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
      } else {
        value += text[at];
      }
    }
    return false;
  }
  const std::size_t comment = text.find(" #");
  value = trimmed(text.substr(0, comment));
  return true;
}

}  // namespace

std::vector<dot_env_line> read_dot_env(const bytes& text) {
  std::vector<dot_env_line> lines;
  std::size_t start = 0;
  for (long long number = 1; start < text.size(); ++number) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    bytes line = trimmed(text.substr(start, end - start));
    start = end + 1;
    if (line.compare(0, 7, "export ") == 0) line = trimmed(line.substr(7));
    const std::size_t equals = line.find('=');
    if (line.empty() || line[0] == '#' || equals == bytes::npos) continue;
    dot_env_line found;
    found.name = trimmed(line.substr(0, equals));
    found.line = number;
    if (found.name.empty() ||
        !std::all_of(found.name.begin(), found.name.end(), is_name_character) ||
        !read_value(trimmed(line.substr(equals + 1)), found.value))
      continue;
    lines.push_back(found);
  }
  return lines;
}
