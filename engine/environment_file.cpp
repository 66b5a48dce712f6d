#include "environment_file.h"

#include <cstddef>

namespace {

bytes escaped(const bytes& value) {
  bytes out;
  for (const char c : value) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

bytes unescaped(const bytes& value) {
  bytes out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      ++i;
      out += value[i] == 'n' ? '\n' : value[i];
    } else {
      out += value[i];
    }
  }
  return out;
}

// Calls visit(line_start, line_end) for every line of the store.
template <typename Visit>
void for_each_line(const bytes& text, Visit visit) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == bytes::npos) end = text.size();
    visit(start, end);
    start = end + 1;
  }
}

bool line_names(const bytes& text, std::size_t start, std::size_t end, const bytes& name) {
  return end - start > name.size() && text.compare(start, name.size(), name) == 0 &&
         text[start + name.size()] == '=';
}

}  // namespace

bool environment_file_value(const bytes& store, const bytes& name, bytes& value) {
  bool found = false;
  for_each_line(store, [&](std::size_t start, std::size_t end) {
    if (found || !line_names(store, start, end, name)) return;
    const std::size_t from = start + name.size() + 1;
    value = unescaped(store.substr(from, end - from));
    found = true;
  });
  return found;
}

bool environment_file_with(const bytes& store, const bytes& name, const bytes& value,
                           bytes& updated) {
  const bytes line = value.empty() ? bytes() : name + "=" + escaped(value) + "\n";
  updated.clear();
  bool named = false;
  for_each_line(store, [&](std::size_t start, std::size_t end) {
    if (line_names(store, start, end, name)) {
      if (!named) updated += line;
      named = true;
    } else {
      updated.append(store, start, end - start);
      updated += '\n';
    }
  });
  if (named) return true;
  if (value.empty()) return false;
  updated += line;
  return true;
}
