#pragma once
// What the commands say on a terminal: lines in colour where the stream
// shows it (success on standard output, failure on standard error), and
// the one question, asked at the terminal.
#include "console.h"
#include "wide.h"

enum class tone { plain, good, warning, bad };

// Prints the text and a line end, in colour where the stream shows it.
void print_line(out_stream stream, const wide& text, tone colour = tone::plain);
// Asks on standard output and reads the answer from standard input: true
// only for a yes ("y", "yes", and in Vietnamese "c", "co" or "có").
bool ask_yes_no(const wide& question);
