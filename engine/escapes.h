#pragma once
// Backslash escapes of the two text formats the tool reads: JSON strings
// (auth.json, the marker) and TOML basic strings (keys in config.toml).
#include <cstddef>

enum class escape_syntax { json, toml };

// The character the escape at text[at] stands for, `at` being just past its
// backslash; `at` then moves past the escape. -1, with `at` unchanged, when
// no escape of the syntax is there: an unknown letter, or hex digits cut
// short or wrong; in TOML also a surrogate or a code beyond U+10FFFF. A JSON
// \u may give one half of a surrogate pair, which the caller pairs.
long read_escape(const char* text, std::size_t length, std::size_t& at, escape_syntax syntax);
