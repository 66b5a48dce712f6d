// Sign in, end to end: the key field and the message box through the
// recording window, files and environment through the host.
#include <cstdlib>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "codex_files.h"
#include "command_test.h"
#include "config_files.h"
#include "host.h"

namespace {

const char16_t* const proxy_names[] = {u"HTTP_PROXY",  u"HTTPS_PROXY", u"ALL_PROXY", u"http_proxy",
                                       u"https_proxy", u"all_proxy",   u"NO_PROXY",  u"no_proxy"};

class sign_in_test : public command_test {
 protected:
  void seed_proxies() {
    for (const char16_t* name : proxy_names) set_user_env(name, u"http://10.0.0.1:3128", false);
  }
  void expect_proxies_cleared() {
    for (const char16_t* name : proxy_names) EXPECT_EQ(read_user_env(name), u"") << narrow(name);
  }
};

TEST_F(sign_in_test, refused_keys_show_their_box_and_change_nothing) {
  seed_proxies();
  set_user_env(u"OPENAI_API_KEY", u"earlier-key", false);
  struct refused {
    const char16_t* key;
    const char* box;
  };
  const refused cases[] = {
      {u"", "empty"},
      {u" \t\r\n\v\f ", "empty"},
      {u"1234567", "bad"},
      {u"  1234567\t\n", "bad"},  // seven once trimmed
      {u"YOUR_API_KEY", "bad"},
      {u"YOUR_API_KEYsk-123", "bad"},
      {u"sk-YOUR_API_KEY-123", "bad"},
      {u"sk-123YOUR_API_KEY", "bad"},
  };
  for (const refused& c : cases) {
    sign_in(c.key, platform::desktop);
    expect_failure(c.box);
    EXPECT_EQ(win.key, c.key);
    EXPECT_EQ(win.key_sets, 0);
  }
  EXPECT_TRUE(directory_entries(codex_home()).empty());
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"earlier-key");
  EXPECT_EQ(read_user_env(u"HTTPS_PROXY"), u"http://10.0.0.1:3128");
  EXPECT_EQ(read_user_env(u"no_proxy"), u"http://10.0.0.1:3128");
  EXPECT_FALSE(signed_in);
  EXPECT_EQ(status_line, u"status before");
}

TEST_F(sign_in_test, accepts_eight_units_and_the_placeholder_in_lower_case) {
  sign_in(u" 12345678 ", platform::cli);
  expect_success("ok_cli");
  EXPECT_EQ(file(auth_file_suffix), auth_file_text(u"12345678"));

  sign_in(u"sk-your_api_key", platform::cli);
  expect_success("ok_cli");
  EXPECT_EQ(file(auth_file_suffix), auth_file_text(u"sk-your_api_key"));

  // A key outside the basic plane counts in UTF-16 units: four pairs pass.
  sign_in(u"\U0001F511\U0001F511\U0001F511\U0001F511", platform::cli);
  expect_success("ok_cli");
}

TEST_F(sign_in_test, desktop_writes_the_trimmed_key_and_clears_proxies) {
  seed_proxies();
  const wide typed = u" \t sk-live-0123456789\r\n";
  sign_in(typed, platform::desktop);

  expect_success("ok_app");
  EXPECT_EQ(file(auth_file_suffix), auth_file_text(u"sk-live-0123456789"));
  EXPECT_EQ(file(config_file_suffix), sanitize_desktop_config(desktop_template));
  EXPECT_EQ(file(marker_file_suffix), marker_text(platform::desktop));
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"sk-live-0123456789");
  expect_proxies_cleared();
  // The field keeps what the user typed; the status shows the stored key.
  EXPECT_EQ(win.key, typed);
  EXPECT_EQ(win.key_sets, 0);
  EXPECT_TRUE(signed_in);
  EXPECT_EQ(selected_mode, platform::desktop);
  EXPECT_NE(key_line.find(u"sk-live-0123456789"), wide::npos);
  EXPECT_GE(win.repaints, 1);
}

TEST_F(sign_in_test, cli_after_desktop_rewrites_everything_and_drops_the_key) {
  sign_in(u"sk-desktop-key", platform::desktop);
  expect_success("ok_app");
  ASSERT_EQ(read_user_env(u"OPENAI_API_KEY"), u"sk-desktop-key");

  seed_proxies();
  sign_in(u"sk-cli-key-42", platform::cli);
  expect_success("ok_cli");
  EXPECT_EQ(file(auth_file_suffix), auth_file_text(u"sk-cli-key-42"));
  EXPECT_EQ(file(config_file_suffix), cli_template);
  EXPECT_EQ(file(marker_file_suffix), marker_text(platform::cli));
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"");
  expect_proxies_cleared();
  EXPECT_EQ(selected_mode, platform::cli);
}

TEST_F(sign_in_test, cli_backs_up_the_users_config_once) {
  const bytes original = "model = \"mine\"\r\n# the user's own\n";
  put(config_file_suffix, original);
  sign_in(u"sk-first-key", platform::cli);
  expect_success("ok_cli");
  EXPECT_EQ(file(backup_copy_suffix), original);
  EXPECT_EQ(file(config_file_suffix), cli_template);
#ifndef _WIN32
  // Nothing to remove from the user environment: no store is made for it.
  EXPECT_FALSE(raw_exists(from_utf8(std::getenv("XDG_CONFIG_HOME"))));
#endif

  // Later runs, on either platform, keep that first copy.
  sign_in(u"sk-second-key", platform::desktop);
  sign_in(u"sk-third-key", platform::cli);
  EXPECT_EQ(file(backup_copy_suffix), original);
}

TEST_F(sign_in_test, desktop_backs_up_the_users_config_once) {
  const bytes original = "model = \"mine\"\n[notify]\n";
  put(config_file_suffix, original);
  sign_in(u"sk-first-key", platform::desktop);
  expect_success("ok_app");
  EXPECT_EQ(file(backup_copy_suffix), original);
  EXPECT_EQ(file(config_file_suffix), sanitize_desktop_config(desktop_template));

  put(config_file_suffix, "edited by hand since\n");
  sign_in(u"sk-second-key", platform::desktop);
  sign_in(u"sk-third-key", platform::cli);
  EXPECT_EQ(file(backup_copy_suffix), original);
}

TEST_F(sign_in_test, no_config_means_no_backup_directory) {
  sign_in(u"sk-fresh-user", platform::desktop);
  expect_success("ok_app");
  EXPECT_FALSE(has(backup_dir_suffix));
  EXPECT_TRUE(has(config_file_suffix));
}

TEST_F(sign_in_test, unwritable_auth_file_fails_and_leaves_the_rest) {
  seed_proxies();
  put(config_file_suffix, "user config\n");
  set_user_env(u"OPENAI_API_KEY", u"earlier-key", false);
  ASSERT_TRUE(create_directory(path(auth_file_suffix)));

  sign_in(u"sk-new-key-123", platform::desktop);
  expect_failure("fail");
  EXPECT_EQ(file(config_file_suffix), "user config\n");
  EXPECT_FALSE(has(marker_file_suffix));
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"earlier-key");
  EXPECT_FALSE(signed_in);
  EXPECT_EQ(status_line, u"status before");
  EXPECT_EQ(win.repaints, 0);
  // Done before the writes, and not rolled back; but the copy of a config
  // that was never replaced goes, lest it pass for the user's latest later.
  expect_proxies_cleared();
  EXPECT_FALSE(has(backup_copy_suffix));
}

TEST_F(sign_in_test, unwritable_config_fails_but_keeps_the_new_auth_file) {
  set_user_env(u"OPENAI_API_KEY", u"earlier-key", false);
  ASSERT_TRUE(create_directory(codex_home()));
  ASSERT_TRUE(create_directory(path(config_file_suffix)));
  put(backup_copy_suffix, "kept from an earlier Sign in\n");

  sign_in(u"sk-new-key-123", platform::cli);
  expect_failure("fail");
  EXPECT_EQ(file(auth_file_suffix), auth_file_text(u"sk-new-key-123"));
  EXPECT_FALSE(has(marker_file_suffix));
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"earlier-key");
  EXPECT_EQ(status_line, u"status before");
  EXPECT_EQ(win.repaints, 0);
}

TEST_F(sign_in_test, unwritable_marker_still_succeeds_and_box_follows_the_saved_mode) {
  ASSERT_TRUE(create_directory(codex_home()));
  ASSERT_TRUE(create_directory(path(marker_file_suffix)));

  // Without the marker the environment value decides the mode read back.
  sign_in(u"sk-desktop-key", platform::desktop);
  expect_success("ok_app");
  EXPECT_EQ(file(config_file_suffix), sanitize_desktop_config(desktop_template));
  EXPECT_EQ(selected_mode, platform::desktop);

  sign_in(u"sk-cli-key-123", platform::cli);
  expect_success("ok_cli");
  EXPECT_EQ(selected_mode, platform::cli);
}

#ifndef _WIN32
// On this host the user environment is a file under XDG_CONFIG_HOME; a
// directory in its place is a store that cannot be opened. The desktop app
// takes the key from there, so the Sign in has failed and says where; the
// next Reset finishes from what it left.
TEST_F(sign_in_test, desktop_fails_without_its_environment_value) {
  const wide store = from_utf8(std::getenv("XDG_CONFIG_HOME"));
  ASSERT_TRUE(create_directory(store));
  ASSERT_TRUE(create_directory(store + u"/environment.d"));
  ASSERT_TRUE(create_directory(store + u"/environment.d/60-morvane.conf"));

  // After all three files were written: changed, though failed.
  const sign_in_outcome outcome = sign_in_with_key(u"sk-desktop-key", platform::desktop);
  EXPECT_EQ(outcome.result, sign_in_result::environment_not_set);
  EXPECT_TRUE(outcome.changed);
  reset_without_asking();
  sign_in(u"sk-desktop-key", platform::desktop);
  expect_failure("fail");
  EXPECT_NE(win.boxes[0].text.find(u"60-morvane.conf"), wide::npos) << narrow(win.boxes[0].text);
  EXPECT_EQ(status_line, u"status before");
  // The CLI's key in the environment would stand before auth.json.
  sign_in(u"sk-cli-key-123", platform::cli);
  expect_failure("fail");
  EXPECT_NE(win.boxes[0].text.find(u"OPENAI_API_KEY"), wide::npos) << narrow(win.boxes[0].text);
  EXPECT_EQ(status_line, u"status before");
  reset();
  EXPECT_EQ(win.boxes.back().text, ui_text("rst_ok"));
  EXPECT_EQ(directory_entries(codex_home()), std::vector<wide>());
}
#endif

#ifndef _WIN32
// Every file a Sign in writes must load in the clients' own parsers, and
// the key must read back unchanged, even with characters that need escaping.
TEST_F(sign_in_test, written_files_parse) {
  const wide key = u"sk-\"quoted\"\\back\tslash";
  std::string key_hex;
  for (unsigned char c : to_utf8(key)) {
    const char digits[] = "0123456789abcdef";
    key_hex += digits[c >> 4];
    key_hex += digits[c & 15];
  }
  for (const platform chosen : {platform::cli, platform::desktop}) {
    const std::string mode = mode_name(chosen);
    SCOPED_TRACE(mode);
    sign_in(u" " + key + u" ", chosen);
    expect_success(chosen == platform::cli ? "ok_cli" : "ok_app");
    struct checked {
      const char* format;
      const char16_t* suffix;
      std::string expectation;
    };
    const checked files[] = {{"toml", config_file_suffix, "model_provider='\"Veskara\"'"},
                             {"json", auth_file_suffix, "OPENAI_API_KEY:hex=" + key_hex},
                             {"json", marker_file_suffix, "mode='\"" + mode + "\"'"}};
    for (const checked& f : files) {
      const std::string command = std::string("'" MORVANE_PYTHON "' '") + MORVANE_TEST_TOOLS_DIR +
                                  "/check_files.py' " + f.format + " '" + narrow(path(f.suffix)) +
                                  "' " + f.expectation + " >/dev/null";
      EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }
  }
}

// With no home directory at all, every path would start at the file system
// root. The child runs without HOME inside a chroot that has no password
// database, so the Codex home really is unknown, and "/" is a folder the
// test can look into: an account there must be neither read nor changed.
TEST_F(sign_in_test, unknown_home_touches_no_file) {
  ASSERT_EQ(geteuid(), 0u) << "chroot needs root";
  const std::string root = narrow(path(u"")) + "-root";
  const bytes config = "model = \"mine\"\n[mcp_servers.x]\ncommand = \"c\"\n";
  ASSERT_TRUE(create_directory(from_utf8(root)));
  ASSERT_TRUE(raw_write(from_utf8(root + "/config.toml"), config));
  ASSERT_TRUE(raw_write(from_utf8(root + "/auth.json"), auth_file_text(u"sk-at-the-root")));
  ASSERT_TRUE(raw_write(from_utf8(root + "/.morvane-applied"), marker_text(platform::desktop)));
  fflush(stdout);  // the child must not print the parent's buffered output again
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    unsetenv("HOME");
    unsetenv("XDG_CONFIG_HOME");
    if (chroot(root.c_str()) != 0 || chdir("/") != 0) _exit(10);
    if (!codex_home().empty()) _exit(11);
    refresh_status();
    heal_desktop_config();
    if (signed_in) _exit(12);
    sign_in(u"sk-valid-key-123", platform::desktop);
    if (win.boxes.size() != 1 || win.boxes[0].text.find(ui_text("fail")) != 0) _exit(13);
    reset();
    if (win.boxes.size() != 2 || win.boxes[1].text != ui_text("rst_ok")) _exit(14);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0)
      << "10 setup, 11 home found, 12 signed in, 13 Sign in box, 14 Reset box";
  EXPECT_EQ(directory_entries(from_utf8(root)).size(), 3u);
  EXPECT_EQ(raw_read(from_utf8(root + "/config.toml")), config);
  EXPECT_EQ(raw_read(from_utf8(root + "/auth.json")), auth_file_text(u"sk-at-the-root"));
  EXPECT_EQ(raw_read(from_utf8(root + "/.morvane-applied")), marker_text(platform::desktop));
}
#endif

}  // namespace

#ifdef _WIN32
using environment_broadcast_test = command_test;

// Programs started from Explorer see a changed user environment only after
// an announcement: one per step that changes it.
TEST_F(environment_broadcast_test, each_environment_step_announces_once) {
  settings_listener listener;
  ASSERT_NE(listener.window, nullptr);
  const std::vector<std::wstring> once = {L"Environment"};
  const std::vector<std::wstring> twice = {L"Environment", L"Environment"};

  clear_proxy_settings();
  EXPECT_EQ(listener.received, once) << "eight deletions, one announcement";
  listener.received.clear();
  sign_in(u"sk-desktop-key", platform::desktop);
  EXPECT_EQ(listener.received, twice) << "proxies cleared, then the key set";
  listener.received.clear();
  sign_in(u"sk-cli-key", platform::cli);
  EXPECT_EQ(listener.received, twice) << "proxies cleared, then the key deleted";
  listener.received.clear();
  reset(IDNO);
  EXPECT_TRUE(listener.received.empty()) << "a declined Reset changes nothing";
  reset();
  EXPECT_EQ(listener.received, twice) << "proxies cleared, then the key deleted";
}
#endif
