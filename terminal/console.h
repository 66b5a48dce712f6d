#pragma once
// The terminal as the platform gives it: the standard streams, a prompt
// that does not echo, and the user's language. Defined once per platform:
// console_win32.cpp and console_posix.cpp.
#include <cstddef>
#include <string>

#include "wide.h"

enum class out_stream { output, error };

// Longest key file, or key line on standard input, that is read.
constexpr std::size_t max_key_input = 65536;

enum class input_result { read, unreadable, too_large };

// Makes the standard streams safe to use: a stream the caller closed is
// reopened on the null device, so that no file the program opens later can
// take its place, and writing to a closed pipe fails instead of ending the
// process.
void prepare_standard_streams();

bool input_is_terminal();
bool is_terminal(out_stream stream);
// Whether the stream is a terminal that shows colours, and the user has not
// asked for none (NO_COLOR).
bool shows_colour(out_stream stream);
// Writes the text as the stream wants it: UTF-16 to a Windows console,
// UTF-8 everywhere else. False when it could not be written whole.
bool write_text(out_stream stream, const bytes& utf8);

// One line of standard input without its line feed, at most max_key_input
// bytes. With a secret prompt, on a terminal, the typing is hidden first and
// only then the prompt shown on standard error, so nothing typed shows.
input_result read_input_line(bytes& line, const bytes& secret_prompt = bytes());
// The whole file (a pipe or device too), at most max_key_input bytes; when
// it is unreadable, `error` holds the system's reason.
input_result read_key_file(const std::string& path, bytes& content, int& error);

// The user's interface language or locale is Vietnamese.
bool user_prefers_vietnamese();
