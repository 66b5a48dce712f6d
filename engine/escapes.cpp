#include "escapes.h"

#include <cstdint>

namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The letter after the backslash and what it stands for.
const char json_simple[] = "\"\"\\\\//b\bf\fn\nr\rt\t";
const char toml_simple[] = "\"\"\\\\b\bf\fn\nr\rt\t";

}  // namespace

long read_escape(const char* text, std::size_t length, std::size_t& at, escape_syntax syntax) {
  if (at >= length) return -1;
  const char kind = text[at];
  const char* simple = syntax == escape_syntax::json ? json_simple : toml_simple;
  for (const char* pair = simple; *pair; pair += 2) {
    if (kind == pair[0]) {
      ++at;
      return static_cast<unsigned char>(pair[1]);
    }
  }
  const std::size_t digits = kind == 'u' ? 4 : kind == 'U' && syntax == escape_syntax::toml ? 8 : 0;
  if (digits == 0 || length - at - 1 < digits) return -1;
  std::uint32_t code = 0;
  for (std::size_t i = at + 1; i <= at + digits; ++i) {
    const int digit = hex_digit(text[i]);
    if (digit < 0) return -1;
    code = code * 16 + static_cast<std::uint32_t>(digit);
  }
  const bool scalar = code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
  if (syntax == escape_syntax::toml && !scalar) return -1;
  at += digits + 1;
  return static_cast<long>(code);
}
