#pragma once
// config.toml read line by line as TOML reads it, without parsing it: which
// lines a value written over several lines takes along. The Desktop filter
// and the table carrying both walk a config this way. Defined with the
// filter in config_files.cpp.
#include <cstddef>

#include "wide.h"

// Whether a value runs on past the end of its line: a multi-line string
// still open, or brackets (arrays, and inline tables around them) not yet
// closed. The lines that follow belong to that value.
struct open_value {
  int depth = 0;
  char string_quote = 0;  // '"' or '\'' inside a multi-line string
  bool continues() const { return depth > 0 || string_quote != 0; }
};

// Follows a value from line[at] to the end of its line.
void follow_value(const char* line, std::size_t length, std::size_t at, open_value& value);
// Follows the value of a key line, when it has one that may run on.
void follow_key_line(const char* line, std::size_t length, open_value& value);

// One line of a config, as offsets into its text.
struct config_line {
  std::size_t start = 0;  // its first byte
  std::size_t end = 0;    // its line feed, or the end of the text
  // Inside a value that an earlier line opened: such a line goes with the
  // line that opened it, and is not trimmed.
  bool in_value = false;
  // The line without the spaces and tabs around it and the carriage
  // returns at its end.
  std::size_t first = 0;
  std::size_t last = 0;
  bool blank() const { return first == last; }
};

// Calls visit(line) for every line of the text, cut at line feeds only,
// after a byte-order mark; a text that ends with a line feed has no empty
// line after it. Returns whether the text ended inside a value that never
// closed (text a TOML reader would refuse).
template <typename Visit>
bool for_each_config_line(const bytes& text, Visit visit) {
  open_value value;
  std::size_t start = starts_with_byte_order_mark(text) ? 3 : 0;
  while (start < text.size()) {
    config_line line;
    line.start = start;
    line.end = text.find('\n', start);
    if (line.end == bytes::npos) line.end = text.size();
    start = line.end + 1;
    const char* raw = text.data() + line.start;
    const std::size_t length = line.end - line.start;
    if (value.continues()) {
      line.in_value = true;
      visit(line);
      follow_value(raw, length, 0, value);
      continue;
    }
    std::size_t last = length;
    while (last > 0 && (raw[last - 1] == ' ' || raw[last - 1] == '\t' || raw[last - 1] == '\r'))
      --last;
    std::size_t first = 0;
    while (first < last && (raw[first] == ' ' || raw[first] == '\t')) ++first;
    line.first = line.start + first;
    line.last = line.start + last;
    visit(line);
    // A key line may open a value that runs on; a header or a blank line
    // never does.
    if (first < last && raw[first] != '[') follow_key_line(raw, length, value);
  }
  return value.continues();
}
