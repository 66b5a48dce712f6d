// The files the tool writes into the Codex home, and the line filter that
// keeps a Desktop config.toml free of what the ChatGPT app chokes on.
#include "config_files.h"

#include <cstddef>

#include "endpoint.h"
#include "host.h"
#include "status.h"
#include "version.h"

const char16_t auth_file_suffix[] = u"\\auth.json";
const char16_t config_file_suffix[] = u"\\config.toml";
const char16_t marker_file_suffix[] = u"\\.morvane-applied";
const char16_t backup_dir_suffix[] = u"\\.morvane-backup";
const char16_t backup_copy_suffix[] = u"\\.morvane-backup\\config.toml";

#define MORVANE_BASE_URL_LINE "base_url = \"" MORVANE_API_BASE_URL "\"\n"

const bytes desktop_template =
    "# API-only FAST.\n"
    "model = \"gpt-5.6-sol\"\n"
    "model_provider = \"Veskara\"\n"
    "model_reasoning_effort = \"low\"\n"
    "sandbox_mode = \"danger-full-access\"\n"
    "approval_policy = \"never\"\n"
    "\n"
    "[model_providers.Veskara]\n"
    "name = \"Veskara\"\n"
    MORVANE_BASE_URL_LINE
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
    "[agents.subagent]\n"
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
    "name = \"Veskara\"\n"
    MORVANE_BASE_URL_LINE
    "requires_openai_auth = true\n"
    "wire_api = \"responses\"\n"
    "request_max_retries = 2\n"
    "stream_max_retries = 4\n"
    "stream_idle_timeout_ms = 120000\n"
    "\n"
    "[windows]\n"
    "sandbox = \"elevated\"\n"
    "\n"
    "[agents.subagent]\n"
    "model = \"gpt-5.4-mini\"\n";

// Always valid JSON whatever the key holds: quotes, backslashes and control
// characters are escaped, everything else is written as UTF-8.
bytes auth_file_text(const wide& key) {
  static const char hex[] = "0123456789abcdef";
  const bytes raw = to_utf8(key);
  bytes text = "{\n  \"auth_mode\": \"apikey\",\n  \"OPENAI_API_KEY\": \"";
  text.reserve(text.size() + raw.size() * 2 + 4);
  for (const char c : raw) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '"') {
      text += '\\';
      text += c;
    } else if (byte < 0x20) {
      text += "\\u00";
      text += hex[byte >> 4];
      text += hex[byte & 0x0F];
    } else {
      text += c;
    }
  }
  text += "\"\n}\n";
  return text;
}

bytes marker_text(const wide& mode) {
  return "{\n  \"mode\": \"" + to_utf8(mode) +
         "\",\n  \"version\": \"" MORVANE_VERSION_TEXT "\",\n  \"api_only\": true\n}\n";
}

namespace {

bool starts_with(const char* line, std::size_t length, const char* prefix) {
  for (std::size_t i = 0; prefix[i] != '\0'; ++i) {
    if (i >= length || line[i] != prefix[i]) return false;
  }
  return true;
}

}  // namespace

// One pass, line by line, no TOML parsing: the app rejects MCP server,
// plugin and marketplace tables and notify hooks, and runs best at low
// reasoning effort. Every other line is copied byte for byte.
bytes sanitize_desktop_config(const bytes& text) {
  std::size_t start = 0;
  if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
  bytes output;
  output.reserve(text.size());
  bool dropping = false;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == bytes::npos) end = text.size();
    const char* raw = text.data() + start;
    const std::size_t raw_length = end - start;

    std::size_t last = raw_length;
    while (last > 0 && (raw[last - 1] == ' ' || raw[last - 1] == '\t' || raw[last - 1] == '\r')) --last;
    std::size_t first = 0;
    while (first < last && (raw[first] == ' ' || raw[first] == '\t')) ++first;
    const char* trimmed = raw + first;
    const std::size_t trimmed_length = last - first;

    bool copy = false;
    if (trimmed_length == 0) {
      copy = !dropping;
    } else if (trimmed[0] == '[') {
      dropping = starts_with(trimmed, trimmed_length, "[mcp_servers.") ||
                 starts_with(trimmed, trimmed_length, "[plugins.") ||
                 starts_with(trimmed, trimmed_length, "[marketplaces.");
      copy = !dropping;
    } else if (dropping || starts_with(trimmed, trimmed_length, "notify")) {
      copy = false;
    } else if (starts_with(trimmed, trimmed_length, "model_reasoning_effort")) {
      output += "model_reasoning_effort = \"low\"\n";
    } else {
      copy = true;
    }
    if (copy) {
      output.append(raw, raw_length);
      output += '\n';
    }
    start = end + 1;
  }
  while (output.size() >= 2 && output[output.size() - 1] == '\n' && output[output.size() - 2] == '\n') {
    output.pop_back();
  }
  if (output.empty()) output = "\n";
  return output;
}

void heal_desktop_config() {
  if (read_saved_mode() != u"app") return;
  const wide home = codex_home();
  if (home.empty()) return;  // never a config.toml outside the Codex home
  const wide path = join_path(home, config_file_suffix);
  const bytes text = read_text_file(path);
  if (text.empty()) return;
  const bytes healed = sanitize_desktop_config(text);
  if (healed != text) write_text_file(path, healed);
}
