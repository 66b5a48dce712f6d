// The doctor's two outputs: a line per check for people, one JSON object
// for scripts, with the same ids, verdicts and sentences.
#include "config_files.h"
#include "console.h"
#include "doctor_checks.h"
#include "terminal.h"

namespace {

const char* word_of(verdict status) {
  switch (status) {
    case verdict::ok:
      return "ok";
    case verdict::skip:
      return "skip";
    case verdict::warn:
      return "warn";
    case verdict::fail:
      break;
  }
  return "fail";
}

tone tone_of(verdict status) {
  return status == verdict::ok     ? tone::good
         : status == verdict::warn ? tone::warning
         : status == verdict::fail ? tone::bad
                                   : tone::plain;
}

}  // namespace

void print_lines(const std::vector<check>& checks) {
  for (const check& result : checks) {
    bytes head = word_of(result.status);
    head.resize(6, ' ');
    head += result.id;
    head.resize(18, ' ');
    print_line(out_stream::output, from_utf8(head) + result.detail, tone_of(result.status));
  }
}

void print_json(const std::vector<check>& checks, bool passed) {
  bytes object = passed ? "{\"ok\": true, \"checks\": [" : "{\"ok\": false, \"checks\": [";
  for (const check& result : checks) {
    if (&result != &checks.front()) object += ", ";
    object += "{\"id\": \"" + bytes(result.id) + "\", \"status\": \"" + word_of(result.status) +
              "\", \"detail\": \"" + json_escaped(to_utf8(result.detail)) + "\"}";
  }
  print_line(out_stream::output, from_utf8(object + "]}"));
}
