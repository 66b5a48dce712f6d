// Random sessions of one user who signs in, resets and works on their own
// files in between, checked after every Reset against a small model of what
// is theirs: their own config.toml and auth.json come back byte for byte,
// or stay absent when they had none, whatever came before.
#include <cstdint>
#include <optional>

#include "codex_files.h"
#include "command_test.h"
#include "config_files.h"
#include "host.h"
#include "test_random.h"

namespace {

using maybe_bytes = std::optional<bytes>;

// What the user owns of one file. While signed out, whatever is on disk.
// A Sign in that finds a file of the user's in place (not one the tool
// wrote, and with no copy kept yet) makes it the one to give back; edits
// made while signed in change the tool's file, which is not theirs.
struct owned_file {
  maybe_bytes own;
  maybe_bytes on_disk;
  bool written_by_tool = false;
  bool kept = false;

  void user_sets(const maybe_bytes& content, bool signed_in) {
    on_disk = content;
    written_by_tool = false;
    if (!signed_in) own = content;
  }
  void signing_in(const bytes& tool_text) {
    if (!kept) {
      kept = on_disk && !written_by_tool;
      own = kept ? on_disk : std::nullopt;
    }
    on_disk = tool_text;
    written_by_tool = true;
  }
  void reset() {
    on_disk = own;
    written_by_tool = false;
    kept = false;
  }
};

const bytes user_configs[] = {
    "model = \"o3\"\n",
    "",
    "\xEF\xBB\xBFmodel = \"gpt-5\"\r\n\r\n[mcp_servers.files]\r\ncommand = \"npx\"\r\n",
    "notify = [\n  \"C:\\\\Tools\\\\notify.exe\",\n]\n[profiles.fast]\nmodel_reasoning_effort = "
    "\"low\"\n",
};
const bytes user_logins[] = {
    "{\n  \"OPENAI_API_KEY\": null,\n  \"tokens\": {\n    \"id_token\": \"eyJ0\",\n"
    "    \"refresh_token\": \"rt-1\"\n  },\n  \"last_refresh\": \"2026-12-01T10:00:00Z\"\n}",
    "{\n  \"OPENAI_API_KEY\": \"sk-stored-by-the-client\"\n}\n",
    "",
};

class own_files_model : public command_test {
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
    user_sets(config, config_file_suffix, any_of(user_configs, 4));
    user_sets(auth, auth_file_suffix, any_of(user_logins, 3));

    for (int step = 0; step < 12; ++step) {
      switch (random.below(6)) {
        case 0:
        case 1: {
          const bool desktop = random.below(2) == 0;
          steps += desktop ? " sign-in-desktop" : " sign-in-cli";
          const wide key = desktop ? u"sk-desktop-key-1" : u"sk-cli-key-22";
          sign_in(key, desktop ? u"app" : u"cli");
          ASSERT_TRUE(::signed_in) << steps;
          config.signing_in(desktop ? sanitize_desktop_config(desktop_template) : cli_template);
          auth.signing_in(auth_file_text(key));
          signed_in_now = true;
          break;
        }
        case 2:
          steps += " reset";
          reset();
          config.reset();
          auth.reset();
          signed_in_now = false;
          ++resets;
          expect_on_disk(config_file_suffix, config.on_disk, steps.c_str());
          expect_on_disk(auth_file_suffix, auth.on_disk, steps.c_str());
          EXPECT_FALSE(has(backup_copy_suffix)) << steps;
          EXPECT_FALSE(has(auth_backup_copy_suffix)) << steps;
          break;
        case 3:
          steps += " edit-config";
          user_sets(config, config_file_suffix,
                    config.on_disk.value_or("") + "# edit " + std::to_string(step) + "\n");
          break;
        case 4:
          steps += " delete-config";
          user_sets(config, config_file_suffix, std::nullopt);
          break;
        case 5:
          steps += " own-login";
          user_sets(auth, auth_file_suffix, any_of(user_logins, 3));
          break;
      }
      if (HasFatalFailure() || HasNonfatalFailure()) return;
    }
  }
  EXPECT_GT(resets, sessions);  // the sessions did exercise Reset
}

}  // namespace
