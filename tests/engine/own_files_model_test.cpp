// Random sessions of one user who signs in, resets and works on their own
// files in between, while the Codex client adds tables to the config Sign
// in wrote, checked after every Reset against a small model of what is
// theirs: their own config.toml and auth.json come back byte for byte, or
// stay absent when they had none, with the tables the client added after
// them, whatever came before.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "codex_files.h"
#include "commands.h"
#include "config_files.h"
#include "host.h"
#include "test_home.h"
#include "test_random.h"
#include "write_faults.h"

namespace {

using maybe_bytes = std::optional<bytes>;

// A table the client adds while signed in, and what in a config would
// already define it: its header line, or a key line starting with its name.
// One the tool cannot read with certainty keeps every table from being
// carried.
struct client_table {
  const char* header;
  const char* dotted;
  bytes text;
  bool readable = true;
};
const client_table client_tables[] = {
    {"[mcp_servers.github]", "mcp_servers.",
     "[mcp_servers.github]\ncommand = \"npx\"\nargs = [\n  \"-y\",\n  "
     "\"@modelcontextprotocol/server-github\",\n]\nenv = { GITHUB_TOKEN = \"ghp-1\" }\n"},
    {"[projects.\"/home/ana/work\"]", "projects.",
     "[projects.\"/home/ana/work\"]\ntrust_level = \"trusted\"\n"},
    {"[features]", "features.", "[features]\nweb_search_request = true\n"},
    {"[notice]", "notice.", "[notice]\nhide_full_access_warning = true\n"},
    {"[[hooks]]", "hooks",
     "[[hooks]]\ncommand = \"fmt\"\n[hooks.env]\nX = \"1\"\n\n[[hooks]]\ncommand = \"lint\"\n"},
    {"[notes]", "notes.", "[notes]\nsee the wiki\n", false},
};

bool defines(const bytes& config, const client_table& table) {
  for (const bytes& start : {bytes(table.header), bytes(table.dotted)}) {
    if (config.compare(0, start.size(), start) == 0 || config.find("\n" + start) != bytes::npos)
      return true;
  }
  return false;
}

// The text followed by a table, after one empty line.
bytes followed_by(const bytes& text, const bytes& table) {
  if (text.empty()) return table;
  return text + (text.back() == '\n' ? "\n" : "\n\n") + table;
}

// What the user owns of one file. While signed out, whatever is on disk.
// A Sign in that finds a file of the user's in place (not the tool's, and
// with no copy kept yet) makes it the one to give back; edits made while
// signed in change the tool's file, which is not theirs, except the tables
// the client adds to config.toml: a later Sign in writes them after its
// template, and Reset after the user's own file where it has none of them.
struct owned_file {
  struct added_table {
    const client_table* table;
    bytes text;  // with the edits that came after it
  };
  maybe_bytes own;
  maybe_bytes on_disk;
  bool tools = false;  // the tool's file, perhaps edited since
  bool kept = false;
  std::vector<added_table> added;

  void user_sets(const maybe_bytes& content, bool signed_in) {
    on_disk = content;
    tools = false;
    added.clear();
    if (!signed_in) own = content;
  }
  // An edit at the end of the file goes with the table that ends it.
  void user_appends(const bytes& line, bool signed_in) {
    const bool was_tools = tools;
    const std::vector<added_table> was_added = added;
    user_sets(on_disk.value_or("") + line, signed_in);
    tools = was_tools && signed_in;
    if (tools) added = was_added;
    if (!added.empty()) added.back().text += line;
  }
  void client_adds(const client_table& table) {
    if (!tools || defines(*on_disk, table)) return;
    on_disk = followed_by(*on_disk, table.text);
    added.push_back({&table, table.text});
  }
  bool all_readable() const {
    for (const added_table& a : added) {
      if (!a.table->readable) return false;
    }
    return true;
  }
  void signing_in(const bytes& template_text, bool desktop) {
    if (!kept) {
      kept = on_disk && !tools;
      own = kept ? on_disk : std::nullopt;
    }
    on_disk = template_text;
    if (!all_readable()) added.clear();
    std::vector<added_table> carried;
    for (const added_table& a : added) {
      // The Desktop filter drops MCP servers; a table the template has stays out.
      if (defines(*on_disk, *a.table) || (desktop && a.table->dotted == bytes("mcp_servers.")))
        continue;
      on_disk = followed_by(*on_disk, a.text);
      carried.push_back(a);
    }
    tools = true;
    added = carried;
  }
  void reset(bool signed_in) {
    if (!all_readable()) added.clear();
    if (signed_in) {
      bytes given_back = own.value_or("");
      for (const added_table& a : added) {
        if (!defines(given_back, *a.table)) given_back = followed_by(given_back, a.text);
      }
      on_disk = own || !given_back.empty() ? maybe_bytes(given_back) : std::nullopt;
    }
    own = on_disk;
    tools = false;
    kept = false;
    added.clear();
  }
};

const bytes user_configs[] = {
    "model = \"o3\"\n",
    "",
    "\xEF\xBB\xBFmodel = \"gpt-5\"\r\n\r\n[mcp_servers.files]\r\ncommand = \"npx\"\r\n",
    "notify = [\n  \"C:\\\\Tools\\\\notify.exe\",\n]\n[profiles.fast]\nmodel_reasoning_effort = "
    "\"low\"\n",
    "features.shell_tool = false\n[notice]\nhide_rate_limit_model_nudge = true",
};
const bytes user_logins[] = {
    "{\n  \"OPENAI_API_KEY\": null,\n  \"tokens\": {\n    \"id_token\": \"eyJ0\",\n"
    "    \"refresh_token\": \"rt-1\"\n  },\n  \"last_refresh\": \"2026-12-01T10:00:00Z\"\n}",
    "{\n  \"OPENAI_API_KEY\": \"sk-stored-by-the-client\"\n}\n",
    "",
};

class own_files_model : public user_test {
 protected:
  // The two commands, without a window to ask or tell.
  void sign_in(const wide& key, platform chosen) {
    signed_in = sign_in_with_key(key, chosen).result == sign_in_result::done;
  }
  void reset() { reset_without_asking(); }
  bool signed_in = false;  // the last Sign in was done
 protected:
  void expect_on_disk(const char16_t* suffix, const maybe_bytes& expected, const char* what) {
    if (expected) {
      EXPECT_EQ(file(suffix), *expected) << what;
    } else {
      EXPECT_FALSE(has(suffix)) << what;
    }
  }
  void write(const char16_t* suffix, const maybe_bytes& content) {
    if (content) {
      put(suffix, *content);
    } else if (has(suffix)) {
      remove(suffix);
    }
  }
  // Temporary files that stopped writes left in the home.
  int leftovers() const {
    int count = 0;
    for (const char16_t* folder : {u"", backup_dir_suffix}) {
      for (const wide& name : directory_entries(path(folder)))
        count += name.compare(0, 3, u"mvn") == 0 || name.compare(0, 3, u"MVN") == 0;
    }
    return count;
  }
  void start_over() {
    for (const char16_t* suffix : {auth_file_suffix, config_file_suffix, marker_file_suffix,
                                   backup_copy_suffix, auth_backup_copy_suffix})
      if (has(suffix)) remove(suffix);
  }
};

TEST_F(own_files_model, the_users_files_always_come_back) {
  // Fewer sessions under Wine, where every file operation is slower.
#ifdef _WIN32
  const int sessions = 25;
#else
  const int sessions = 300;
#endif
  test_random random{20261208u};
  int resets = 0;
  for (int session = 0; session < sessions; ++session) {
    start_over();
    owned_file config, auth;
    bool signed_in_now = false;
    std::string steps;
    const auto user_sets = [&](owned_file& f, const char16_t* suffix, const maybe_bytes& content) {
      f.user_sets(content, signed_in_now);
      write(suffix, content);
    };
    const auto any_of = [&](const bytes* choices, std::uint32_t count) -> maybe_bytes {
      const std::uint32_t pick = random.below(count + 1);
      return pick == count ? maybe_bytes() : maybe_bytes(choices[pick]);
    };
    user_sets(config, config_file_suffix, any_of(user_configs, 5));
    user_sets(auth, auth_file_suffix, any_of(user_logins, 3));

    for (int step = 0; step < 12; ++step) {
      switch (random.below(7)) {
        case 0:
        case 1: {
          const bool desktop = random.below(2) == 0;
          steps += desktop ? " sign-in-desktop" : " sign-in-cli";
          const wide key = desktop ? u"sk-desktop-key-1" : u"sk-cli-key-22";
          sign_in(key, desktop ? platform::desktop : platform::cli);
          ASSERT_TRUE(signed_in) << steps;
          config.signing_in(desktop ? sanitize_desktop_config(desktop_template) : cli_template,
                            desktop);
          auth.signing_in(auth_file_text(key), desktop);
          signed_in_now = true;
          break;
        }
        case 2:
          steps += " reset";
          reset();
          config.reset(signed_in_now);
          auth.reset(signed_in_now);
          signed_in_now = false;
          ++resets;
          expect_on_disk(config_file_suffix, config.on_disk, steps.c_str());
          expect_on_disk(auth_file_suffix, auth.on_disk, steps.c_str());
          EXPECT_FALSE(has(backup_copy_suffix)) << steps;
          EXPECT_FALSE(has(auth_backup_copy_suffix)) << steps;
          break;
        case 3:
          steps += " edit-config";
          config.user_appends("# edit " + std::to_string(step) + "\n", signed_in_now);
          write(config_file_suffix, config.on_disk);
          break;
        case 4:
          steps += " delete-config";
          user_sets(config, config_file_suffix, std::nullopt);
          break;
        case 5:
          steps += " own-login";
          user_sets(auth, auth_file_suffix, any_of(user_logins, 3));
          break;
        case 6: {
          const client_table& table = client_tables[random.below(6)];
          steps += std::string(" client-adds-") + table.header;
          config.client_adds(table);
          write(config_file_suffix, config.on_disk);
          break;
        }
      }
      if (HasFatalFailure() || HasNonfatalFailure()) return;
    }
  }
  EXPECT_GT(resets, sessions);  // the sessions did exercise Reset
}

// A home as a command may find it: the user's own files, and perhaps a Sign
// in done already.
struct starting_home {
  const char* name;
  maybe_bytes config, auth;
  std::optional<platform> signed_in_for;  // none when signed out
};

// A command stopped before any one of its changes, as a killed process or a
// machine switched off stops it, leaves a home that the next Reset, or the
// next Sign in and Reset, gives back as the user had it.
TEST_F(own_files_model, a_command_stopped_anywhere_loses_nothing) {
  const starting_home homes[] = {
      {"both files", user_configs[2], user_logins[0], std::nullopt},
      {"both files, signed in", user_configs[3], user_logins[1], platform::desktop},
      {"nothing of their own, signed in", std::nullopt, std::nullopt, platform::cli},
#ifndef _WIN32  // every file operation is slower under Wine
      {"a new user", std::nullopt, std::nullopt, std::nullopt},
      {"own config", user_configs[0], std::nullopt, std::nullopt},
      {"own login, signed in", std::nullopt, user_logins[0], platform::cli},
#endif
  };
  const char* const commands[] = {"sign-in-cli", "sign-in-desktop", "reset"};
  const auto run = [this](const std::string& command) {
    if (command == "reset") {
      reset();
    } else {
      sign_in(u"sk-stopped-key-1", command == "sign-in-cli" ? platform::cli : platform::desktop);
    }
  };
  int stops = 0;
  for (const starting_home& home : homes) {
    const auto prepare = [&] {
      start_over();
      write(config_file_suffix, home.config);
      write(auth_file_suffix, home.auth);
      if (home.signed_in_for) sign_in(u"sk-earlier-key-1", *home.signed_in_for);
    };
    for (const std::string command : commands) {
      prepare();
      stop_changes_after(SIZE_MAX);
      run(command);
      const std::size_t changes = changes_counted();
      for (std::size_t k = 0; k < changes; ++k) {
        for (const bool sign_in_first : {false, true}) {
          const std::string trace = std::string(home.name) + ", " + command +
                                    " stopped before change " + std::to_string(k + 1) + " of " +
                                    std::to_string(changes) +
                                    (sign_in_first ? ", then Sign in and Reset" : ", then Reset");
          SCOPED_TRACE(trace);
          prepare();
          stop_changes_after(k);
          run(command);
          stop_changes_after(SIZE_MAX);
          if (sign_in_first) sign_in(u"sk-next-key-22", platform::desktop);
          reset();
          expect_on_disk(config_file_suffix, home.config, "config.toml");
          expect_on_disk(auth_file_suffix, home.auth, "auth.json");
          EXPECT_FALSE(has(marker_file_suffix));
          EXPECT_FALSE(has(backup_copy_suffix));
          EXPECT_FALSE(has(auth_backup_copy_suffix));
          EXPECT_EQ(leftovers(), 0);
          ++stops;
          if (HasFailure()) return;
        }
      }
    }
  }
  std::printf("%d stopped commands, each finished by a Reset\n", stops);
}

}  // namespace
