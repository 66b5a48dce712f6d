#pragma once
// config.toml read line by line as TOML reads it, without parsing it: which
// lines a value written over several lines takes along. Defined with the
// Desktop filter in config_files.cpp.
#include <cstddef>

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
