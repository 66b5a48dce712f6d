// The files the tool writes into the Codex home, and the line filter that
// keeps a Desktop config.toml free of what the ChatGPT app chokes on.
#include "config_files.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "codex_files.h"
#include "endpoint.h"
#include "host.h"
#include "status.h"
#include "toml_lines.h"
#include "version.h"

#define MORVANE_BASE_URL_LINE "base_url = \"" MORVANE_API_BASE_URL "\"\n"
// The Codex client drops an agent role without a description, and warns
// about it on every start.
#define MORVANE_ROLE_DESCRIPTION_LINE \
  "description = \"Handles delegated subtasks on a smaller, faster model.\"\n"

const bytes desktop_template =
    "# API-only FAST.\n"
    "model = \"gpt-5.6-sol\"\n"
    "model_provider = \"Veskara\"\n"
    "model_reasoning_effort = \"low\"\n"
    "sandbox_mode = \"danger-full-access\"\n"
    "approval_policy = \"never\"\n"
    "\n"
    "[model_providers.Veskara]\n"
    "name = \"Veskara\"\n" MORVANE_BASE_URL_LINE
    "env_key = \"OPENAI_API_KEY\"\n"
    "wire_api = \"responses\"\n"
    "request_max_retries = 2\n"
    "stream_max_retries = 3\n"
    "stream_idle_timeout_ms = 90000\n"
    "\n"
    "[windows]\n"
    "sandbox = \"elevated\"\n"
    "\n"
    "[desktop]\n"
    "followUpQueueMode = \"queue\"\n"
    "\n"
    "[agents.subagent]\n" MORVANE_ROLE_DESCRIPTION_LINE
    "model = \"gpt-5.4-mini\"\n"
    "\n"
    "[features]\n"
    "js_repl = false\n";

// Sign in for the CLI removes OPENAI_API_KEY from the environment, so the
// CLI must take the key from auth.json rather than from an env_key.
const bytes cli_template =
    "# Codex API-only - Veskara\n"
    "model = \"gpt-5.6-sol\"\n"
    "model_provider = \"Veskara\"\n"
    "model_reasoning_effort = \"medium\"\n"
    "sandbox_mode = \"danger-full-access\"\n"
    "approval_policy = \"never\"\n"
    "\n"
    "[model_providers.Veskara]\n"
    "name = \"Veskara\"\n" MORVANE_BASE_URL_LINE
    "requires_openai_auth = true\n"
    "wire_api = \"responses\"\n"
    "request_max_retries = 2\n"
    "stream_max_retries = 4\n"
    "stream_idle_timeout_ms = 120000\n"
    "\n"
    "[windows]\n"
    "sandbox = \"elevated\"\n"
    "\n"
    "[agents.subagent]\n" MORVANE_ROLE_DESCRIPTION_LINE "model = \"gpt-5.4-mini\"\n";

std::vector<bytes> tool_config_texts() {
  std::vector<bytes> texts = {sanitize_desktop_config(desktop_template), cli_template};
  const bytes description = MORVANE_ROLE_DESCRIPTION_LINE;
  for (std::size_t i = 0, now = texts.size(); i < now; ++i) {
    bytes earlier = texts[i];
    earlier.erase(earlier.find(description), description.size());
    texts.push_back(earlier);
  }
  return texts;
}

bytes json_escaped(const bytes& text) {
  static const char hex[] = "0123456789abcdef";
  bytes escaped;
  escaped.reserve(text.size() + 8);
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '"') {
      escaped += '\\';
      escaped += c;
    } else if (byte < 0x20) {
      escaped += "\\u00";
      escaped += hex[byte >> 4];
      escaped += hex[byte & 0x0F];
    } else {
      escaped += c;
    }
  }
  return escaped;
}

bytes auth_file_text(const wide& key) {
  return "{\n  \"auth_mode\": \"apikey\",\n  \"" + bytes(api_key_member) + "\": \"" +
         json_escaped(to_utf8(key)) + "\"\n}\n";
}

bytes marker_text(platform client) {
  return "{\n  \"mode\": \"" + bytes(mode_name(client)) +
         "\",\n  \"version\": \"" MORVANE_VERSION_TEXT "\",\n  \"api_only\": true\n}\n";
}

namespace {

bool starts_with(const char* line, std::size_t length, const char* prefix) {
  for (std::size_t i = 0; prefix[i] != '\0'; ++i) {
    if (i >= length || line[i] != prefix[i]) return false;
  }
  return true;
}

std::size_t run_of(const char* line, std::size_t length, std::size_t at, char c) {
  std::size_t end = at;
  while (end < length && line[end] == c) ++end;
  return end - at;
}

// Whether any byte of the word is zero: subtracting one from each byte sets
// its high bit only where the byte was zero or borrowed from one that was.
bool has_zero_byte(std::uint64_t word) {
  constexpr std::uint64_t ones = 0x0101010101010101u;
  constexpr std::uint64_t highs = 0x8080808080808080u;
  return ((word - ones) & ~word & highs) != 0;
}

// The bytes that matter to the scan in one part of a line. Every other byte
// is skipped, eight at a time where the line allows, which keeps the filter
// near the speed of a plain line copy.
template <char... members>
struct byte_set {
  static bool holds(char c) { return ((c == members) || ...); }
  static bool any_of_eight(const char* eight) {
    std::uint64_t word;
    std::memcpy(&word, eight, sizeof word);
    constexpr std::uint64_t ones = 0x0101010101010101u;
    return (has_zero_byte(word ^ (ones * static_cast<unsigned char>(members))) || ...);
  }
  static std::size_t skip(const char* line, std::size_t length, std::size_t at) {
    while (at + 8 <= length && !any_of_eight(line + at)) at += 8;
    while (at < length && !holds(line[at])) ++at;
    return at;
  }
};
using in_key = byte_set<'"', '\'', '#', '='>;
using in_value = byte_set<'"', '\'', '#', '[', ']', '{', '}'>;
using in_basic_string = byte_set<'"', '\\'>;
using in_literal_string = byte_set<'\''>;

// The next quote that may close a string of this kind, or an escape.
std::size_t skip_in_string(const char* line, std::size_t length, std::size_t at, char quote) {
  return quote == '"' ? in_basic_string::skip(line, length, at)
                      : in_literal_string::skip(line, length, at);
}

// Past the end of the string whose opening quote stands at line[at - 1]:
// after its closing quote, or the line's end when it has none there.
std::size_t skip_string(const char* line, std::size_t length, std::size_t at, char quote) {
  for (;;) {
    at = skip_in_string(line, length, at, quote);
    if (at >= length) return length;
    if (line[at] == quote) return at + 1;
    at += 2;  // an escape in a basic string
  }
}

}  // namespace

// Follows a value from line[at] to the end of its line, as TOML reads it:
// quotes hide brackets and '#', a comment ends the line, and a multi-line
// string runs until its closing three quotes (up to two more quotes may
// stand just inside them).
void follow_value(const char* line, std::size_t length, std::size_t at, open_value& value) {
  while (at < length) {
    if (value.string_quote != 0) {
      at = skip_in_string(line, length, at, value.string_quote);
      if (at >= length) return;
      if (line[at] == '\\') {
        at += 2;
        continue;
      }
      const std::size_t run = run_of(line, length, at, line[at]);
      if (run >= 3) value.string_quote = 0;
      at += run;
      continue;
    }
    at = in_value::skip(line, length, at);
    if (at >= length) return;
    const char c = line[at];
    if (c == '#') return;
    if (c == '"' || c == '\'') {
      if (run_of(line, length, at, c) >= 3) {
        value.string_quote = c;
        at += 3;
      } else {
        at = skip_string(line, length, at + 1, c);
      }
      continue;
    }
    if (c == '[' || c == '{') {
      ++value.depth;
    } else if (value.depth > 0) {
      --value.depth;
    }
    ++at;
  }
}

namespace {

// Where the value of a key line starts: after the key's '='; the line's
// length when there is none (a comment, or no key at all).
std::size_t value_start(const char* line, std::size_t length) {
  for (std::size_t at = in_key::skip(line, length, 0); at < length;
       at = in_key::skip(line, length, at)) {
    if (line[at] == '#') return length;
    if (line[at] == '=') return at + 1;
    at = skip_string(line, length, at + 1, line[at]);  // a quoted key
  }
  return length;
}

}  // namespace

// A key line opens a value that runs on only when that value is an array,
// an inline table or a multi-line string; after any other value the line
// holds at most a comment.
void follow_key_line(const char* line, std::size_t length, open_value& value) {
  std::size_t at = value_start(line, length);
  while (at < length && (line[at] == ' ' || line[at] == '\t')) ++at;
  if (at >= length) return;
  const char first = line[at];
  if (first == '[' || first == '{' ||
      ((first == '"' || first == '\'') && run_of(line, length, at, first) >= 3))
    follow_value(line, length, at, value);
}

namespace {

// The filter, also telling whether the text ended inside a value that
// never closed (text a TOML reader would refuse anyway).
bytes filter_desktop_config(const bytes& text, bool& ended_in_open_value) {
  bytes output;
  output.reserve(text.size());
  bool dropping = false;
  bool value_copied = false;  // the fate of the lines a value runs on to
  ended_in_open_value = for_each_config_line(text, [&](const config_line& line) {
    const char* trimmed = text.data() + line.first;
    const std::size_t trimmed_length = line.last - line.first;
    bool copy = false;
    if (line.in_value) {
      // Lines inside a value go with the line that began it, untested.
      copy = value_copied;
    } else if (line.blank()) {
      copy = !dropping;
    } else if (trimmed[0] == '[') {
      dropping = starts_with(trimmed, trimmed_length, "[mcp_servers.") ||
                 starts_with(trimmed, trimmed_length, "[plugins.") ||
                 starts_with(trimmed, trimmed_length, "[marketplaces.");
      copy = !dropping;
    } else {
      if (dropping || starts_with(trimmed, trimmed_length, "notify")) {
        copy = false;
      } else if (starts_with(trimmed, trimmed_length, "model_reasoning_effort")) {
        output += "model_reasoning_effort = \"low\"\n";
      } else {
        copy = true;
      }
      // A dropped or replaced value takes its continuation lines along.
      value_copied = copy;
    }
    if (!copy) return;
    // The line with its line feed, added when the text's last line has none.
    output.append(text, line.start, line.end - line.start);
    output += '\n';
  });
  while (output.size() >= 2 && output[output.size() - 1] == '\n' &&
         output[output.size() - 2] == '\n') {
    output.pop_back();
  }
  if (output.empty()) output = "\n";
  return output;
}

}  // namespace

// One pass, line by line, no TOML parsing: the app rejects MCP server,
// plugin and marketplace tables and notify hooks, and runs best at low
// reasoning effort. Every other line is copied byte for byte, and a value
// written over several lines is kept or dropped whole.
bytes sanitize_desktop_config(const bytes& text) {
  bool ended_in_open_value = false;
  return filter_desktop_config(text, ended_in_open_value);
}

void heal_desktop_config() {
  const account_status saved = read_status();
  if (!saved.signed_in || saved.client != platform::desktop) return;
  const wide home = codex_home();
  if (home.empty()) return;  // never a config.toml outside the Codex home
  // Another Sign in or Reset may be changing the home: the heal is left
  // out then, rather than hold the window back (that command writes the
  // file anyway).
  const home_lock lock(home, false);
  if (!lock.acquired()) return;
  const wide path = join_path(home, config_file_suffix);
  const bytes text = read_text_file(path);
  if (text.empty()) return;
  bool ended_in_open_value = false;
  const bytes healed = filter_desktop_config(text, ended_in_open_value);
  // In a file that ends inside an unclosed value, the lines that seem to
  // belong to it might be the user's tables: leave such a file as it is.
  if (ended_in_open_value) return;
  if (healed != text) write_text_file(path, healed);
}
