#include "added_tables.h"

#include <algorithm>
#include <cstddef>
#include <set>

#include "config_files.h"
#include "escapes.h"
#include "toml_lines.h"
#include "utf8.h"

namespace {

// A dotted key or a table's name, each part unquoted: `a."b.c"` is {a, b.c}.
using key_path = std::vector<bytes>;

// The top level of a config, or one table: its lines, and the keys written
// in it, relative to its name.
struct section {
  key_path name;  // empty for the top level
  bool array = false;
  std::size_t begin = 0;
  std::size_t end = 0;
  std::vector<key_path> keys;
};

struct outline {
  std::vector<section> sections;  // the top level first
  bool certain = true;            // every header and key made out, no value open at the end
};

bool is_space(char c) {
  return c == ' ' || c == '\t';
}

bool is_bare_key(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-';
}

// A quoted part of a key, from its opening quote at text[at].
bool read_quoted(const char* text, std::size_t length, std::size_t& at, bytes& part) {
  const char quote = text[at++];
  while (at < length) {
    const char c = text[at++];
    if (c == quote) return true;
    if (quote == '\'' || c != '\\') {
      part += c;
      continue;
    }
    const long code = read_escape(text, length, at, escape_syntax::toml);
    if (code < 0) return false;
    append_utf8(part, static_cast<char32_t>(code));
  }
  return false;
}

// A dotted key from text[at]; `at` ends after it and the blanks after it.
bool read_key(const char* text, std::size_t length, std::size_t& at, key_path& key) {
  for (;;) {
    while (at < length && is_space(text[at])) ++at;
    if (at >= length) return false;
    bytes part;
    if (text[at] == '"' || text[at] == '\'') {
      if (!read_quoted(text, length, at, part)) return false;
    } else {
      const std::size_t start = at;
      while (at < length && is_bare_key(text[at])) ++at;
      if (at == start) return false;
      part.assign(text + start, at - start);
    }
    key.push_back(part);
    while (at < length && is_space(text[at])) ++at;
    if (at >= length || text[at] != '.') return true;
    ++at;
  }
}

// "[name]" or "[[name]]", then at most a comment.
bool read_header(const char* text, std::size_t length, section& table) {
  std::size_t at = 1;
  table.array = at < length && text[at] == '[';
  if (table.array) ++at;
  if (!read_key(text, length, at, table.name)) return false;
  for (int close = table.array ? 2 : 1; close > 0; --close, ++at) {
    if (at >= length || text[at] != ']') return false;
  }
  while (at < length && is_space(text[at])) ++at;
  return at >= length || text[at] == '#';
}

// The sections of a config, line by line as the Desktop filter reads it:
// the lines inside a value that runs on belong to the line that opened it.
outline outline_of(const bytes& text) {
  outline out;
  out.sections.push_back(section{{}, false, starts_with_byte_order_mark(text) ? 3u : 0u, 0, {}});
  const bool ended_in_value = for_each_config_line(text, [&](const config_line& line) {
    const char* trimmed = text.data() + line.first;
    const std::size_t length = line.last - line.first;
    if (line.in_value || line.blank() || trimmed[0] == '#') return;
    if (trimmed[0] == '[') {
      out.sections.back().end = line.start;
      section table;
      table.begin = line.start;
      if (!read_header(trimmed, length, table)) out.certain = false;
      out.sections.push_back(table);
      return;
    }
    key_path key;
    std::size_t at = 0;
    if (!read_key(trimmed, length, at, key) || at >= length || trimmed[at] != '=') {
      out.certain = false;
      return;
    }
    out.sections.back().keys.push_back(key);
  });
  out.sections.back().end = text.size();
  if (ended_in_value) out.certain = false;
  return out;
}

// A table's lines without the blank lines at its end, ended by a line feed.
bytes table_text(const bytes& text, const section& table) {
  std::size_t kept = table.begin;  // the end of its last line that is not blank
  for (std::size_t at = table.begin; at < table.end;) {
    std::size_t end = text.find('\n', at);
    if (end == bytes::npos || end > table.end) end = table.end;
    for (std::size_t i = at; i < end; ++i) {
      if (!is_space(text[i]) && text[i] != '\r') kept = end < table.end ? end + 1 : end;
    }
    at = end + 1;
  }
  bytes lines = text.substr(table.begin, kept - table.begin);
  if (lines.empty() || lines.back() != '\n') lines += '\n';
  return lines;
}

// Whether `name` lies inside the table called `outer`.
bool within(const key_path& name, const key_path& outer) {
  return name.size() > outer.size() && std::equal(outer.begin(), outer.end(), name.begin());
}

// One table read with certainty with nothing before it, or one element of
// an array of tables with its sub-tables.
bool is_unit(const outline& own) {
  if (!own.certain || own.sections.size() < 2 || !own.sections[0].keys.empty()) return false;
  for (std::size_t i = 2; i < own.sections.size(); ++i) {
    if (!own.sections[1].array || !within(own.sections[i].name, own.sections[1].name)) return false;
  }
  return true;
}

key_path first_parts(const key_path& name, std::size_t count) {
  return key_path(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(count));
}

// What a config defines: the tables it names in headers (and the tables
// those imply), and every key, with the tables its dots imply.
struct definitions {
  std::set<key_path> headers, arrays, implied, keyed;

  void add(const section& part) {
    if (!part.name.empty()) {
      headers.insert(part.name);
      if (part.array) arrays.insert(part.name);
      for (std::size_t n = 1; n < part.name.size(); ++n) implied.insert(first_parts(part.name, n));
    }
    for (const key_path& key : part.keys) {
      key_path full = part.name;
      for (const bytes& name : key) {
        full.push_back(name);
        keyed.insert(full);
      }
    }
  }

  // Whether the table can follow without defining anything twice or
  // reaching into a value, an inline table, a table made of dotted keys or
  // an element of an array of tables.
  bool admit(const section& table) const {
    if (headers.count(table.name) || keyed.count(table.name)) return false;
    if (table.array && implied.count(table.name)) return false;
    for (std::size_t n = 1; n < table.name.size(); ++n) {
      const key_path outer = first_parts(table.name, n);
      if (keyed.count(outer) || arrays.count(outer)) return false;
    }
    for (const key_path& key : table.keys) {
      key_path full = table.name;
      for (const bytes& name : key) {
        full.push_back(name);
        if (headers.count(full) || keyed.count(full) || implied.count(full)) return false;
      }
    }
    return true;
  }
};

}  // namespace

const bytes* template_of(const bytes& config) {
  for (const bytes* written : {&desktop_template, &cli_template}) {
    const std::size_t first_line = written->find('\n') + 1;
    if (config.compare(0, first_line, *written, 0, first_line) == 0) return written;
  }
  return nullptr;
}

std::vector<bytes> added_tables(const bytes& config, const bytes& base) {
  const outline tables = outline_of(config);
  const outline known = outline_of(base);
  if (!tables.certain || !known.certain) return {};
  std::set<key_path> known_names;
  for (std::size_t i = 1; i < known.sections.size(); ++i)
    known_names.insert(known.sections[i].name);
  std::vector<bytes> added;
  section unit;  // the added table, or array element with its sub-tables, being read
  bool adding = false;
  for (std::size_t i = 1; i < tables.sections.size(); ++i) {
    const section& table = tables.sections[i];
    // The sub-tables of an element of an array of tables ([[a]], then
    // [a.b] or [[a.c]]) belong to that element and go with it.
    if (unit.array && within(table.name, unit.name)) {
      unit.end = table.end;
      if (adding) added.back() = table_text(config, unit);
      continue;
    }
    unit = table;
    adding = !known_names.count(table.name);
    if (adding) added.push_back(table_text(config, unit));
  }
  return added;
}

bytes with_tables(const bytes& target, const std::vector<bytes>& tables) {
  const outline existing = outline_of(target);
  if (!existing.certain) return target;
  definitions defined;
  for (const section& part : existing.sections) defined.add(part);
  std::vector<outline> units;
  for (const bytes& table : tables) units.push_back(outline_of(table));
  // An array of tables goes whole or not at all: when its first element
  // comes, every element of it must fit.
  std::set<key_path> arrays_carried, arrays_refused;
  bytes result = target;
  for (std::size_t i = 0; i < tables.size(); ++i) {
    if (!is_unit(units[i])) continue;
    const section& head = units[i].sections[1];
    if (head.array && !arrays_carried.count(head.name)) {
      if (arrays_refused.count(head.name)) continue;
      bool fits = true;
      for (const outline& other : units) {
        if (other.sections.size() < 2 || !other.sections[1].array ||
            other.sections[1].name != head.name)
          continue;
        fits = fits && is_unit(other) && defined.admit(other.sections[1]);
      }
      (fits ? arrays_carried : arrays_refused).insert(head.name);
      if (!fits) continue;
    } else if (!head.array && !defined.admit(head)) {
      continue;
    }
    if (!result.empty()) result += result.back() == '\n' ? "\n" : "\n\n";
    result += tables[i];
    for (std::size_t part = 1; part < units[i].sections.size(); ++part)
      defined.add(units[i].sections[part]);
  }
  return result;
}
