#include "terminal.h"

#include <cwctype>

#include "host.h"

namespace {

const char* colour_code(tone colour) {
  switch (colour) {
    case tone::good:
      return "\x1b[32m";
    case tone::warning:
      return "\x1b[33m";
    case tone::bad:
      return "\x1b[31m";
    case tone::plain:
      break;
  }
  return "";
}

// "y", "yes" and, in Vietnamese, "c", "co" or "có", in any case.
bool means_yes(const wide& answer) {
  wide word;
  for (const char16_t c : answer) {
    if (!std::iswspace(static_cast<wint_t>(c)))
      word += static_cast<char16_t>(std::towlower(static_cast<wint_t>(c)));
  }
  return word == u"y" || word == u"yes" || word == u"c" || word == u"co" || word == u"c\u00F3";
}

}  // namespace

void print_line(out_stream stream, const wide& text, tone colour) {
  const bool coloured = colour != tone::plain && shows_colour(stream);
  bytes line = coloured ? colour_code(colour) : "";
  line += to_utf8(text);
  if (coloured) line += "\x1b[0m";
  line += '\n';
  write_text(stream, line);
}

bool ask_yes_no(const wide& question) {
  write_text(out_stream::output, to_utf8(question) + " [y/N] ");
  bytes answer;
  return read_input_line(answer) == input_result::read && means_yes(from_utf8(answer));
}
