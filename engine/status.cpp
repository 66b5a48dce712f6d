// Reads back which key is in place and for which platform, from the Codex
// home and the user environment, afresh every time.
#include "status.h"

#include <cstddef>
#include <vector>

#include "codex_files.h"
#include "escapes.h"
#include "host.h"

namespace {

bool holds_placeholder(const wide& value) {
  return value.find(key_placeholder) != wide::npos;
}

bool is_json_space(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool is_high_surrogate(long unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool is_low_surrogate(long unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
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
    std::size_t after = at + 1;
    const long unit =
        c == '\\' ? read_escape(text.data(), text.size(), after, escape_syntax::json) : -1;
    if (unit < 0) {
      // A plain byte, or an unknown or cut-short escape whose backslash
      // stays, with what follows read as ordinary text.
      pending += c;
      ++at;
      continue;
    }
    flush();
    at = after;
    if (is_high_surrogate(unit)) {
      // Its low half must follow as an escape of its own.
      std::size_t low_at = at + 1;
      const long low = at < text.size() && text[at] == '\\'
                           ? read_escape(text.data(), text.size(), low_at, escape_syntax::json)
                           : -1;
      if (is_low_surrogate(low)) {
        value += static_cast<char16_t>(unit);
        value += static_cast<char16_t>(low);
        at = low_at;
      } else {
        value += u'\uFFFD';
      }
    } else {
      value += is_low_surrogate(unit) ? u'\uFFFD' : static_cast<char16_t>(unit);
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
  status.by_morvane = mode == u"cli" || mode == u"app";
  if (status.by_morvane) {
    status.client = mode == u"cli" ? platform::cli : platform::desktop;
  } else {
    status.client = from_environment.empty() ? platform::cli : platform::desktop;
  }
  return status;
}

const char* mode_name(platform client) {
  return client == platform::cli ? "cli" : "app";
}

wide read_saved_key() {
  return read_status().key;
}

wide read_saved_mode() {
  const account_status status = read_status();
  return status.signed_in ? from_utf8(mode_name(status.client)) : u"";
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
