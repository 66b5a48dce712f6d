// Reads back which key is in place and for which platform, from the Codex
// home and the user environment, afresh every time, and turns that into the
// status the window shows.
#include "status.h"

#include <cstddef>
#include <vector>

#include "catalogue.h"
#include "codex_files.h"
#include "host.h"
#include "window_port.h"

bool signed_in = false;
wide status_line;
wide key_line;
wide selected_mode = u"app";

namespace {

bool holds_placeholder(const wide& value) {
  return value.find(key_placeholder) != wide::npos;
}

bool is_json_space(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The four hex digits of a \u escape starting at text[at] ("\uXXXX");
// -1 when they are not all there.
long unicode_escape(const bytes& text, std::size_t at) {
  if (at + 6 > text.size() || text[at] != '\\' || text[at + 1] != 'u') return -1;
  long unit = 0;
  for (std::size_t i = at + 2; i < at + 6; ++i) {
    const int digit = hex_digit(text[i]);
    if (digit < 0) return -1;
    unit = unit * 16 + digit;
  }
  return unit;
}

// A file of the Codex home; empty when the home itself is unknown, so that
// nothing is read from the root of the drive instead.
bytes read_codex_file(const char16_t* suffix) {
  const wide home = codex_home();
  return home.empty() ? bytes() : read_text_file(join_path(home, suffix));
}

}  // namespace

// A loose scan for one string member of the small files the tool and the
// Codex client write: the first quoted name anywhere, then its value. The
// value must be a string: a null, number or object yields nothing rather
// than the next quoted text of the file. Escapes are decoded; an unknown
// escape or a \u without four hex digits is kept as it stands.
wide json_string_value(const bytes& text, const char* name) {
  const bytes pattern = "\"" + bytes(name) + "\"";
  const std::size_t found = text.find(pattern);
  if (found == bytes::npos) return {};
  const std::size_t colon = text.find(':', found + pattern.size());
  if (colon == bytes::npos) return {};
  std::size_t at = colon + 1;
  while (at < text.size() && is_json_space(text[at])) ++at;
  if (at >= text.size() || text[at] != '"') return {};
  ++at;

  wide value;
  bytes pending;  // plain bytes since the last escape, converted in one go
  const auto flush = [&]() {
    if (!pending.empty()) value += from_utf8(pending);
    pending.clear();
  };
  while (at < text.size()) {
    const char c = text[at];
    if (c == '"') {
      flush();
      return value;
    }
    if (c != '\\' || at + 1 >= text.size()) {
      pending += c;
      ++at;
      continue;
    }
    const char kind = text[at + 1];
    char16_t simple = 0;
    switch (kind) {
      case '"':
        simple = u'"';
        break;
      case '\\':
        simple = u'\\';
        break;
      case '/':
        simple = u'/';
        break;
      case 'b':
        simple = u'\b';
        break;
      case 'f':
        simple = u'\f';
        break;
      case 'n':
        simple = u'\n';
        break;
      case 'r':
        simple = u'\r';
        break;
      case 't':
        simple = u'\t';
        break;
      default:
        break;
    }
    if (simple != 0) {
      flush();
      value += simple;
      at += 2;
      continue;
    }
    const long unit = kind == 'u' ? unicode_escape(text, at) : -1;
    if (unit < 0) {
      // Unknown or cut-short escape: the backslash stays, and what follows
      // is read as ordinary text.
      pending += c;
      ++at;
      continue;
    }
    flush();
    at += 6;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      const long low = unicode_escape(text, at);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        value += static_cast<char16_t>(unit);
        value += static_cast<char16_t>(low);
        at += 6;
      } else {
        value += u'\uFFFD';
      }
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      value += u'\uFFFD';
    } else {
      value += static_cast<char16_t>(unit);
    }
  }
  return {};  // no closing quote: the value is cut off
}

// The auth file wins over the environment whenever it holds a usable key;
// the marker names the platform, else the environment value does: only the
// Desktop platform publishes the key there.
account_status read_status() {
  account_status status;
  const wide from_file = json_string_value(read_codex_file(auth_file_suffix), api_key_member);
  const wide from_environment = read_user_env(api_key_variable);
  if (!from_file.empty() && !holds_placeholder(from_file)) {
    status.key = from_file;
  } else if (!from_environment.empty() && !holds_placeholder(from_environment)) {
    status.key = from_environment;
  } else {
    return status;
  }
  status.signed_in = true;
  const wide mode = json_string_value(read_codex_file(marker_file_suffix), "mode");
  if (mode == u"cli" || mode == u"app") {
    status.client = platform_of_mode(mode);
  } else {
    status.client = from_environment.empty() ? platform::cli : platform::desktop;
  }
  return status;
}

const char16_t* mode_text(platform client) {
  return client == platform::cli ? u"cli" : u"app";
}

platform platform_of_mode(const wide& mode) {
  return mode == u"cli" ? platform::cli : platform::desktop;
}

wide read_saved_key() {
  return read_status().key;
}

wide read_saved_mode() {
  const account_status status = read_status();
  return status.signed_in ? mode_text(status.client) : u"";
}

wide status_text(const wide& mode) {
  if (mode.empty()) return ui_text("idle");
  // The platform names are the same in both languages.
  return ui_text("signed") + wide(u"  \u00B7  ") + ui_text(mode == u"cli" ? "cli" : "app");
}

wide masked_key(const wide& key) {
  // Characters, so that a surrogate pair is shown or hidden whole.
  std::vector<wide> characters;
  for (std::size_t i = 0; i < key.size(); ++i) {
    const bool pair = key[i] >= 0xD800 && key[i] <= 0xDBFF && i + 1 < key.size() &&
                      key[i + 1] >= 0xDC00 && key[i + 1] <= 0xDFFF;
    characters.push_back(key.substr(i, pair ? 2 : 1));
    i += pair ? 1 : 0;
  }
  const std::size_t shown_first = 3, shown_last = 4, hidden_at_least = 4;
  const bool shows = characters.size() >= shown_first + shown_last + hidden_at_least;
  wide out;
  for (std::size_t i = 0; i < characters.size(); ++i) {
    const bool shown = shows && (i < shown_first || i + shown_last >= characters.size());
    out += shown ? characters[i] : u"*";
  }
  return out;
}

void refresh_status() {
  const account_status status = read_status();
  if (status.signed_in) {
    const wide mode = mode_text(status.client);
    signed_in = true;
    status_line = status_text(mode);
    key_line = key_line_prefix + status.key;
    selected_mode = mode;
    // Never overwrite what the user is typing.
    if (window().key_text().empty()) window().set_key_text(status.key);
  } else {
    signed_in = false;
    status_line = status_text(u"");
    key_line.clear();
  }
  window().request_repaint();
}
