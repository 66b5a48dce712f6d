// The files written into the Codex home, byte for byte, and the Desktop
// config filter.
#include "config_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "codex_files.h"
#include "endpoint.h"
#include "host.h"
#include "status.h"
#include "test_home.h"
#include "test_random.h"

namespace {

const bytes bom = "\xEF\xBB\xBF";
const bytes low_effort = "model_reasoning_effort = \"low\"\n";

bytes joined_lines(const std::vector<bytes>& lines) {
  bytes text;
  for (const bytes& line : lines) text += line + "\n";
  return text;
}

std::size_t url_length() {
  return std::strlen(MORVANE_API_BASE_URL);
}

bytes hex_of(const bytes& text) {
  static const char digits[] = "0123456789abcdef";
  bytes hex;
  for (const char c : text) {
    hex += digits[static_cast<unsigned char>(c) >> 4];
    hex += digits[static_cast<unsigned char>(c) & 0x0F];
  }
  return hex;
}

#ifndef _WIN32
// Runs the standard TOML or JSON parser over a file; true when it parses and
// every expectation holds (see tests/tools/check_files.py).
bool parses_with_expectations(const char* kind, const wide& file,
                              const std::vector<bytes>& expectations, bool quiet = false) {
  bytes command = "'" MORVANE_PYTHON "' '" MORVANE_TEST_TOOLS_DIR "/check_files.py' ";
  command += kind;
  command += " '" + to_utf8(file) + "'";
  for (const bytes& expectation : expectations) command += " '" + expectation + "'";
  command += quiet ? " > /dev/null 2>&1" : " > /dev/null";
  return std::system(command.c_str()) == 0;
}
#endif

}  // namespace

TEST(config_files, auth_file_text_is_always_valid_json) {
  const bytes prefix = "{\n  \"auth_mode\": \"apikey\",\n  \"OPENAI_API_KEY\": \"";
  const bytes suffix = "\"\n}\n";
  ASSERT_EQ(prefix.size(), 48u);

  EXPECT_EQ(auth_file_text(u"sk-abc123"), prefix + "sk-abc123" + suffix);
  EXPECT_EQ(auth_file_text(u"sk-abc123").size(), 52u + 9u);
  EXPECT_EQ(auth_file_text(u"a\"b\\c\td"), prefix + "a\\\"b\\\\c\\u0009d" + suffix);
  EXPECT_EQ(auth_file_text(wide(u"\n\r\x1f\0/\x7f", 6)),
            prefix + "\\u000a\\u000d\\u001f\\u0000/\x7f" + suffix);
  EXPECT_EQ(auth_file_text(u"cl\u00E9 \U0001F511"),
            prefix + "cl\xC3\xA9 \xF0\x9F\x94\x91" + suffix);
  EXPECT_EQ(auth_file_text(u""), prefix + suffix);
}

TEST(config_files, marker_text_records_mode_and_version) {
  const bytes tail = "\",\n  \"version\": \"3.2.3\",\n  \"api_only\": true\n}\n";
  EXPECT_EQ(marker_text(platform::cli), "{\n  \"mode\": \"cli" + tail);
  EXPECT_EQ(marker_text(platform::desktop), "{\n  \"mode\": \"app" + tail);
  EXPECT_EQ(marker_text(platform::cli).size(), 62u);
  EXPECT_EQ(marker_text(platform::desktop).size(), 62u);
  EXPECT_EQ(json_string_value(marker_text(platform::desktop), "mode"), u"app");
}

TEST(config_files, templates_are_exact) {
  const bytes base_url_line = "base_url = \"" MORVANE_API_BASE_URL "\"";
  const bytes description_line =
      "description = \"Handles delegated subtasks on a smaller, faster model.\"";
  const std::vector<bytes> desktop_lines = {"# API-only FAST.",
                                            "model = \"gpt-5.6-sol\"",
                                            "model_provider = \"Veskara\"",
                                            "model_reasoning_effort = \"low\"",
                                            "sandbox_mode = \"danger-full-access\"",
                                            "approval_policy = \"never\"",
                                            "",
                                            "[model_providers.Veskara]",
                                            "name = \"Veskara\"",
                                            base_url_line,
                                            "env_key = \"OPENAI_API_KEY\"",
                                            "wire_api = \"responses\"",
                                            "request_max_retries = 2",
                                            "stream_max_retries = 3",
                                            "stream_idle_timeout_ms = 90000",
                                            "",
                                            "[windows]",
                                            "sandbox = \"elevated\"",
                                            "",
                                            "[desktop]",
                                            "followUpQueueMode = \"queue\"",
                                            "",
                                            "[agents.subagent]",
                                            description_line,
                                            "model = \"gpt-5.4-mini\"",
                                            "",
                                            "[features]",
                                            "js_repl = false"};
  const std::vector<bytes> cli_lines = {"# Codex API-only - Veskara",
                                        "model = \"gpt-5.6-sol\"",
                                        "model_provider = \"Veskara\"",
                                        "model_reasoning_effort = \"medium\"",
                                        "sandbox_mode = \"danger-full-access\"",
                                        "approval_policy = \"never\"",
                                        "",
                                        "[model_providers.Veskara]",
                                        "name = \"Veskara\"",
                                        base_url_line,
                                        "requires_openai_auth = true",
                                        "wire_api = \"responses\"",
                                        "request_max_retries = 2",
                                        "stream_max_retries = 4",
                                        "stream_idle_timeout_ms = 120000",
                                        "",
                                        "[windows]",
                                        "sandbox = \"elevated\"",
                                        "",
                                        "[agents.subagent]",
                                        description_line,
                                        "model = \"gpt-5.4-mini\""};
  ASSERT_EQ(desktop_lines.size(), 28u);
  ASSERT_EQ(cli_lines.size(), 22u);
  EXPECT_EQ(desktop_template, joined_lines(desktop_lines));
  EXPECT_EQ(cli_template, joined_lines(cli_lines));

  // Sizes follow the build's URL: 11 bytes are "https://" and "/v1".
  EXPECT_EQ(desktop_template.size(), 568u + url_length() - 11u);
  EXPECT_EQ(cli_template.size(), 516u + url_length() - 11u);
  if (std::strcmp(MORVANE_API_BASE_URL, "https://api.veskara.com/v1") == 0) {
    EXPECT_EQ(desktop_template.size(), 583u);
    EXPECT_EQ(cli_template.size(), 531u);
  }
  EXPECT_EQ(desktop_template.find('\r'), bytes::npos);
  EXPECT_EQ(sanitize_desktop_config(desktop_template), desktop_template);
}

TEST(config_files, auth_file_round_trips_awkward_keys) {
  const std::vector<wide> keys = {u"sk-proj-AbC_123",
                                  u"x",
                                  u"quote\"inside",
                                  u"back\\slash\\",
                                  u"\\\"",
                                  u"\\u0041 literal",
                                  u"tab\there",
                                  u"line\nbreak\r",
                                  wide(u"nul\0x", 5),
                                  u"\x01\x1f\x7f",
                                  u"cl\u00E9",
                                  u"\u0110\u00E3 \U0001F511",
                                  u"end\\"};
  for (const wide& key : keys) {
    SCOPED_TRACE(hex_of(to_utf8(key)));
    EXPECT_EQ(json_string_value(auth_file_text(key), "OPENAI_API_KEY"), key);
  }
}

#ifndef _WIN32
// The parsers run natively; under Wine the end-to-end test parses the files.
class config_files_on_disk : public user_test {};

TEST_F(config_files_on_disk, standard_parsers_read_what_the_tool_writes) {
  put(config_file_suffix, desktop_template);
  EXPECT_TRUE(parses_with_expectations(
      "toml", path(config_file_suffix),
      {"model=\"gpt-5.6-sol\"", "model_provider=\"Veskara\"", "model_reasoning_effort=\"low\"",
       "model_providers.Veskara.base_url=\"" MORVANE_API_BASE_URL "\"",
       "model_providers.Veskara.env_key=\"OPENAI_API_KEY\"",
       "model_providers.Veskara.stream_idle_timeout_ms=90000",
       "desktop.followUpQueueMode=\"queue\"", "agents.subagent.model=\"gpt-5.4-mini\"",
       "features.js_repl=false"}));
  // The end-to-end tests hand these copies to the window and the real client.
  for (const auto& [copy, written] :
       {std::pair<const char*, bytes>{"cli", cli_template}, {"desktop", desktop_template}}) {
    bytes text = raw_read(
        from_utf8(MORVANE_TEST_TOOLS_DIR "/../e2e/expected/" + bytes(copy) + "-config.toml"));
    const std::size_t url = text.find("@BASE_URL@");
    EXPECT_EQ(url == bytes::npos ? text : text.replace(url, 10, MORVANE_API_BASE_URL), written);
  }
  put(config_file_suffix, cli_template);
  EXPECT_TRUE(parses_with_expectations(
      "toml", path(config_file_suffix),
      {"model_reasoning_effort=\"medium\"", "model_providers.Veskara.requires_openai_auth=true",
       "model_providers.Veskara.base_url=\"" MORVANE_API_BASE_URL "\"",
       "model_providers.Veskara.stream_max_retries=4", "windows.sandbox=\"elevated\""}));
  // The checker itself must fail on a wrong expectation and on bad TOML.
  EXPECT_FALSE(parses_with_expectations("toml", path(config_file_suffix),
                                        {"model_reasoning_effort=\"low\""}, true));
  put(config_file_suffix, "key = \"unterminated\n");
  EXPECT_FALSE(parses_with_expectations("toml", path(config_file_suffix), {}, true));

  const wide nasty = wide(u"q\"b\\s/t\tn\n\x01\x1f\x7f \u00E9\U0001F511 YOUR", 22);
  put(auth_file_suffix, auth_file_text(nasty));
  EXPECT_TRUE(parses_with_expectations(
      "json", path(auth_file_suffix),
      {"auth_mode=\"apikey\"", "OPENAI_API_KEY:hex=" + hex_of(to_utf8(nasty))}));
  EXPECT_EQ(read_saved_key(), nasty);
  put(marker_file_suffix, marker_text(platform::cli));
  EXPECT_TRUE(parses_with_expectations("json", path(marker_file_suffix),
                                       {"mode=\"cli\"", "version=\"3.2.3\"", "api_only=true"}));
}
#endif

namespace {
bytes sanitize(const bytes& text) {
  return sanitize_desktop_config(text);
}
}  // namespace

TEST(desktop_sanitizer, line_ends_blank_lines_and_byte_order_mark) {
  EXPECT_EQ(sanitize(""), "\n");
  EXPECT_EQ(sanitize(bom), "\n");
  EXPECT_EQ(sanitize("\xEF\xBB"), "\xEF\xBB\n") << "half a mark is text";
  EXPECT_EQ(sanitize(bom + "a = 1\n" + bom + "\n"), "a = 1\n" + bom + "\n")
      << "only a leading mark goes";
  EXPECT_EQ(sanitize("a = 1"), "a = 1\n");
  EXPECT_EQ(sanitize("a = 1\n\n\n\n"), "a = 1\n");
  EXPECT_EQ(sanitize("\n\n"), "\n");
  EXPECT_EQ(sanitize("\n\na = 1\n\n\nb = 2\n"), "\n\na = 1\n\n\nb = 2\n");
  EXPECT_EQ(sanitize("a = 1\r\nb = 2\r\n\r\n"), "a = 1\r\nb = 2\r\n\r\n")
      << "CR LF blank last line kept";
  EXPECT_EQ(sanitize("a = 1\r\n \t\r\n"), "a = 1\r\n \t\r\n");
  EXPECT_EQ(sanitize("\xFF\xFE garbage \x80\n"), "\xFF\xFE garbage \x80\n");
}

TEST(desktop_sanitizer, drops_server_plugin_and_marketplace_tables) {
  EXPECT_EQ(sanitize("[mcp_servers.a]\ncommand = \"x\"\n\n[plugins.b]\nk = "
                     "1\n[marketplaces.c]\nurl = \"u\"\n"),
            "\n");
  const bytes input =
      "model = \"m\"\n"
      "  [mcp_servers.docs]\n"
      "command = \"npx\"\n"
      "# comment inside\n"
      "\n"
      "notify = [\"x\"]\n"
      "model_reasoning_effort = \"high\"\n"
      "[windows]\n"
      "sandbox = \"elevated\"\n"
      "\t[plugins.p]\n"
      "enabled = true\n"
      "[[mcp_servers.list]]\n"
      "name = \"kept\"\n"
      "[mcp_servers]\n"
      "kept = true\n"
      "[plugins]\n"
      "[marketplaces.m.sub]\n"
      "x = 1\n"
      "[mcp_servers_extra.a]\n"
      "y = 2\n";
  const bytes expected =
      "model = \"m\"\n"
      "[windows]\n"
      "sandbox = \"elevated\"\n"
      "[[mcp_servers.list]]\n"
      "name = \"kept\"\n"
      "[mcp_servers]\n"
      "kept = true\n"
      "[plugins]\n"
      "[mcp_servers_extra.a]\n"
      "y = 2\n";
  EXPECT_EQ(sanitize(input), expected);
  // A CR LF file keeps its line ends on every copied line.
  EXPECT_EQ(sanitize("a = 1\r\n[plugins.x]\r\nb = 2\r\n\r\n[tui]\r\nc = 3\r\n"),
            "a = 1\r\n[tui]\r\nc = 3\r\n");
}

TEST(desktop_sanitizer, notify_lines_and_reasoning_effort) {
  EXPECT_EQ(sanitize("notify = [\"a\"]\nnotify_on_x = true\n  notify=1\n# notify me\nkeep = 1\n"),
            "# notify me\nkeep = 1\n");
  EXPECT_EQ(sanitize("  model_reasoning_effort   =  \"high\" \t\r\nx = 1\r\n"),
            low_effort + "x = 1\r\n");
  EXPECT_EQ(sanitize("[agents.subagent]\n\tmodel_reasoning_effort=\"medium\"\n"),
            "[agents.subagent]\n" + low_effort);
  EXPECT_EQ(sanitize("model_reasoning_effort_extra = 1"), low_effort)
      << "a prefix test, nothing more";
  EXPECT_EQ(sanitize("Notify = 1\nMODEL_REASONING_EFFORT = 1\n"),
            "Notify = 1\nMODEL_REASONING_EFFORT = 1\n");
}

// A value written over several lines goes, or stays, whole: its lines are
// never read as headers or keys of their own.
TEST(desktop_sanitizer, values_over_several_lines_stay_whole) {
  EXPECT_EQ(
      sanitize(
          "notify = [\r\n  \"C:\\\\notify.exe\", # ] not yet\r\n  \"]\",\r\n]\r\nkeep = 1\r\n"),
      "keep = 1\r\n");
  EXPECT_EQ(sanitize("[mcp_servers.x]\nargs = [\n  [\"-y\"],\n  { env = [\n\"a\" ] },\n]\n[tui]\n"),
            "[tui]\n")
      << "a nested array inside a dropped table is no header";
  const bytes kept =
      "developer_instructions = \"\"\"\n[mcp_servers.quoted]\nnotify = "
      "1\nmodel_reasoning_effort\n\n\"\"\"\n"
      "matrix = [\n  [1, 2],\n]\n"
      "path = '''\nC:\\x \"\"\"\n'''\n"
      "quotes = \"\"\"a \\\"\"\" b\"\"\"\"\"\n";
  EXPECT_EQ(sanitize(kept), kept);
  EXPECT_EQ(sanitize("notify = \"\"\"\nx\n\"\"\"\n[mcp_servers.x]\nhelp = '''\n[tui]\n'''\n"
                     "[tui]\nmodel_reasoning_effort = [\n\"x\"]\n"),
            "[tui]\n" + low_effort);
  EXPECT_EQ(sanitize("[\n[mcp_servers.x]\n"), "[\n") << "a header never opens a value";
  EXPECT_EQ(sanitize("\"key\\"), "\"key\\\n") << "an escape at the very end";
}

namespace {

bytes trimmed(const bytes& line) {
  std::size_t last = line.size();
  while (last > 0 && (line[last - 1] == ' ' || line[last - 1] == '\t' || line[last - 1] == '\r'))
    --last;
  std::size_t first = 0;
  while (first < last && (line[first] == ' ' || line[first] == '\t')) ++first;
  return line.substr(first, last - first);
}

bool starts(const bytes& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

}  // namespace

TEST(desktop_sanitizer, generated_files_come_out_clean_and_stable) {
  const char* const pieces[] = {"[mcp_servers.a]",
                                "  [plugins.p]",
                                "\t[marketplaces.m]",
                                "[mcp_servers]",
                                "[[mcp_servers.x]]",
                                "[model_providers.V]",
                                "[agents.subagent]",
                                "[features]",
                                "model = \"x\"",
                                "notify = [\"a\", \"b\"]",
                                "  \"b\"]",
                                "notify_on_x = 1",
                                "# notify me",
                                "model_reasoning_effort = \"high\"",
                                "  model_reasoning_effort=\"medium\"  ",
                                "",
                                "   ",
                                "\t",
                                "key = 'v'",
                                "\r",
                                "[",
                                "x"};
  const char* const line_ends[] = {"\n", "\r\n", " \t\r\n", "\n\n"};
  test_random random{2463534242u};
  for (int round = 0; round < 3000; ++round) {
    bytes input = random.below(8) == 0 ? bom : bytes();
    const std::uint32_t lines = random.below(12);
    for (std::uint32_t i = 0; i < lines; ++i) {
      input += pieces[random.below(sizeof(pieces) / sizeof(pieces[0]))];
      if (i + 1 < lines || random.below(2) == 0) input += line_ends[random.below(4)];
    }
    SCOPED_TRACE(input);
    const bytes output = sanitize(input);
    ASSERT_FALSE(output.empty());
    ASSERT_EQ(output.back(), '\n');
    EXPECT_FALSE(output.size() >= 2 && output.compare(output.size() - 2, 2, "\n\n") == 0);
    EXPECT_FALSE(starts(output, bom.c_str()));
    EXPECT_EQ(sanitize(output), output);
    std::size_t start = 0;
    while (start < output.size()) {
      const std::size_t end = output.find('\n', start);
      const bytes line = trimmed(output.substr(start, end - start));
      EXPECT_FALSE(starts(line, "[mcp_servers.") || starts(line, "[plugins.") ||
                   starts(line, "[marketplaces."))
          << line;
      EXPECT_FALSE(starts(line, "notify")) << line;
      if (starts(line, "model_reasoning_effort")) {
        EXPECT_EQ(output.substr(start, end + 1 - start), low_effort);
      }
      start = end + 1;
    }
  }
}

class heal_desktop_config_test : public user_test {
 protected:
  void sign_in_as(platform client) {
    put(auth_file_suffix, auth_file_text(u"sk-test-key"));
    put(marker_file_suffix, marker_text(client));
  }
  const bytes dirty = "model = \"m\"\n[mcp_servers.x]\ncommand = \"c\"\n";
};

TEST_F(heal_desktop_config_test, leaves_the_file_alone_unless_signed_in_for_desktop) {
  put(config_file_suffix, dirty);
  put(marker_file_suffix, marker_text(platform::desktop));
  heal_desktop_config();
  EXPECT_EQ(file(config_file_suffix), dirty) << "no saved key";

  sign_in_as(platform::cli);
  heal_desktop_config();
  EXPECT_EQ(file(config_file_suffix), dirty);
}

TEST_F(heal_desktop_config_test, rewrites_only_a_desktop_config_that_needs_it) {
  sign_in_as(platform::desktop);
  heal_desktop_config();
  EXPECT_FALSE(has(config_file_suffix)) << "a missing file is not created";
  put(config_file_suffix, "");
  heal_desktop_config();
  EXPECT_EQ(file(config_file_suffix), "");

  // Clean text is not written, so a byte-order mark survives.
  put(config_file_suffix, bom + desktop_template);
  heal_desktop_config();
  EXPECT_EQ(file(config_file_suffix), bom + desktop_template);

  put(config_file_suffix, bom + dirty);
  heal_desktop_config();
  EXPECT_EQ(file(config_file_suffix), "model = \"m\"\n");

  put(config_file_suffix, "a = 1\r\nnotify = 1\r\nb = 2\r\n");
  heal_desktop_config();
  EXPECT_EQ(file(config_file_suffix), "a = 1\r\nb = 2\r\n");

  // A value that never closes would take the rest of the file along.
  const bytes unclosed = "[mcp_servers.x]\nargs = [\n[profiles.mine]\nmodel = \"o3\"\n";
  put(config_file_suffix, unclosed);
  heal_desktop_config();
  EXPECT_EQ(file(config_file_suffix), unclosed);
}
