// Reset, end to end, usually after a real Sign in.
#include <cstdlib>

#include "codex_files.h"
#include "command_test.h"
#include "config_files.h"
#include "host.h"
#include "write_faults.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr int box_answer_no = 7;

class reset_test : public command_test {
 protected:
  void signed_in_as(const wide& key, platform chosen) {
    sign_in(key, chosen);
    ASSERT_TRUE(signed_in) << "Sign in failed";
  }

  void expect_confirmation_then_completion() {
    ASSERT_EQ(win.boxes.size(), 2u);
    EXPECT_EQ(win.boxes[0].text, ui_text("rst_a"));
    EXPECT_EQ(win.boxes[0].caption, ui_text("rst_t"));
    EXPECT_EQ(win.boxes[0].flags, unsigned{box_yes_no | box_icon_question});
    EXPECT_EQ(win.boxes[1].text, ui_text("rst_ok"));
    EXPECT_EQ(win.boxes[1].caption, ui_text("rst_d"));
    EXPECT_EQ(win.boxes[1].flags, unsigned{box_ok | box_icon_information});
  }

  // What Reset always removes, whatever else it finds.
  void expect_signed_out() {
    EXPECT_FALSE(has(auth_file_suffix));
    EXPECT_FALSE(has(marker_file_suffix));
    EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"");
    EXPECT_FALSE(signed_in);
    EXPECT_EQ(status_line, ui_text("idle"));
  }
};

TEST_F(reset_test, answering_no_changes_nothing) {
  put(config_file_suffix, "user config\n");
  signed_in_as(u"sk-desktop-key", platform::desktop);
  set_user_env(u"HTTP_PROXY", u"http://10.0.0.1:3128", false);
  win.key = u"  typed key ";
  win.key_masked = false;
  const int sets_before = win.key_sets;
  const std::vector<wide> entries = directory_entries(codex_home());
  const bytes auth = file(auth_file_suffix), config = file(config_file_suffix),
              marker = file(marker_file_suffix), backup = file(backup_copy_suffix);

  for (int answer : {box_answer_no, 0, 2}) {  // No, no box, Cancel
    reset(answer);
    ASSERT_EQ(win.boxes.size(), 1u);
    EXPECT_EQ(win.boxes[0].text, ui_text("rst_a"));
  }
  EXPECT_EQ(directory_entries(codex_home()), entries);
  EXPECT_EQ(file(auth_file_suffix), auth);
  EXPECT_EQ(file(config_file_suffix), config);
  EXPECT_EQ(file(marker_file_suffix), marker);
  EXPECT_EQ(file(backup_copy_suffix), backup);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"sk-desktop-key");
  EXPECT_EQ(read_user_env(u"HTTP_PROXY"), u"http://10.0.0.1:3128");
  EXPECT_EQ(win.key, u"  typed key ");
  EXPECT_FALSE(win.key_masked);
  EXPECT_EQ(win.key_sets, sets_before);
  EXPECT_TRUE(signed_in);
}

TEST_F(reset_test, after_desktop_gives_the_users_config_back) {
  const bytes original = "model = \"mine\"\r\n[notify]\r\nx = 1\r\n";
  put(config_file_suffix, original);
  signed_in_as(u"sk-desktop-key", platform::desktop);
  ASSERT_NE(file(config_file_suffix), original);
  set_user_env(u"https_proxy", u"http://10.0.0.1:3128", false);
  win.key_masked = false;  // the user had the key shown

  reset();
  expect_confirmation_then_completion();
  EXPECT_EQ(file(config_file_suffix), original);
  EXPECT_FALSE(has(backup_copy_suffix)) << "the copy is handed back, not kept";
  expect_signed_out();
  EXPECT_EQ(read_user_env(u"https_proxy"), u"");
  EXPECT_EQ(win.key, u"");
  EXPECT_TRUE(win.key_masked);
  EXPECT_EQ(selected_mode, platform::desktop);

  // What the user does with their config afterwards is theirs: a second
  // Reset leaves it, and so does the next Sign in and Reset cycle.
  const bytes edited = original + "[mcp_servers.added]\r\ncommand = \"npx\"\r\n";
  put(config_file_suffix, edited);
  reset();
  expect_confirmation_then_completion();
  EXPECT_EQ(file(config_file_suffix), edited);
  signed_in_as(u"sk-desktop-key", platform::desktop);
  reset();
  EXPECT_EQ(file(config_file_suffix), edited);
}

TEST_F(reset_test, after_cli_with_no_config_before_deletes_the_written_one) {
  signed_in_as(u"sk-cli-key-123", platform::cli);
  ASSERT_TRUE(has(config_file_suffix));

  reset();
  expect_confirmation_then_completion();
  EXPECT_FALSE(has(config_file_suffix));
  EXPECT_FALSE(has(backup_dir_suffix));
  expect_signed_out();
  EXPECT_EQ(selected_mode, platform::cli);

  // Nothing left to undo: the same completion box, nothing else changes.
  reset();
  expect_confirmation_then_completion();
  EXPECT_FALSE(has(config_file_suffix));
}

TEST_F(reset_test, after_cli_restores_the_users_own_config) {
  put(config_file_suffix, "the user's cli config\n");
  signed_in_as(u"sk-cli-key-123", platform::cli);
  reset();
  EXPECT_EQ(file(config_file_suffix), "the user's cli config\n");
  expect_signed_out();
}

TEST_F(reset_test, config_the_tool_never_wrote_stays) {
  put(config_file_suffix, "hand-made\n");
  put(auth_file_suffix, auth_file_text(u"sk-old-key-1"));
  put(u"\\history.jsonl", "other data\n");
  set_user_env(u"OPENAI_API_KEY", u"sk-old-key-1", false);

  reset();
  expect_confirmation_then_completion();
  EXPECT_EQ(file(config_file_suffix), "hand-made\n");
  EXPECT_EQ(file(u"\\history.jsonl"), "other data\n");
  expect_signed_out();
}

TEST_F(reset_test, backup_without_marker_is_still_restored) {
  put(backup_copy_suffix, "saved\n");
  put(config_file_suffix, "current\n");

  reset();
  expect_confirmation_then_completion();
  EXPECT_EQ(file(config_file_suffix), "saved\n");
  EXPECT_FALSE(has(backup_copy_suffix));
}

TEST_F(reset_test, the_tools_own_config_is_never_given_back) {
  // No config.toml before: the second Sign in finds the first one's template.
  signed_in_as(u"sk-cli-key-123", platform::cli);
  signed_in_as(u"sk-desktop-key", platform::desktop);
  EXPECT_FALSE(has(backup_copy_suffix));
  reset();
  EXPECT_FALSE(has(config_file_suffix));

  // A template kept as the copy, as earlier versions could, counts as none.
  for (const bytes& kept : {cli_template, earlier_template(desktop_template)}) {
    signed_in_as(u"sk-cli-key-123", platform::cli);
    put(backup_copy_suffix, kept);
    reset();
    EXPECT_FALSE(has(config_file_suffix));
    EXPECT_FALSE(has(backup_copy_suffix));
  }
}

TEST_F(reset_test, the_users_own_login_comes_back) {
  const bytes login =
      "{\n  \"OPENAI_API_KEY\": null,\n  \"tokens\": {\"refresh_token\": \"rt-1\"}\n}\n";
  put(auth_file_suffix, login);
  signed_in_as(u"sk-desktop-key", platform::desktop);
  EXPECT_EQ(file(auth_backup_copy_suffix), login);
  signed_in_as(u"sk-cli-key-123", platform::cli);
  EXPECT_EQ(file(auth_backup_copy_suffix), login) << "the first copy stays";

  reset();
  expect_confirmation_then_completion();
  EXPECT_EQ(file(auth_file_suffix), login);
  EXPECT_FALSE(has(auth_backup_copy_suffix));
  EXPECT_FALSE(signed_in) << "an account login holds no key";
  reset();
  EXPECT_EQ(file(auth_file_suffix), login) << "a later Reset leaves it alone";
}

TEST_F(reset_test, a_copy_that_cannot_go_back_waits_for_the_next_reset) {
  const bytes login = "{\"OPENAI_API_KEY\": \"sk-stored-by-the-client\"}";
  put(config_file_suffix, "mine\n");
  put(auth_file_suffix, login);
  signed_in_as(u"sk-cli-key-123", platform::cli);
  // Folders hold the files' places, so neither copy can be put back.
  for (const char16_t* suffix : {config_file_suffix, auth_file_suffix}) {
    remove(suffix);
    ASSERT_TRUE(create_directory(path(suffix)));
  }
  reset();
  // Not "Reset complete": which files did not go back, and that their
  // copies wait for the next Reset.
  ASSERT_EQ(win.boxes.size(), 2u);
  EXPECT_EQ(win.boxes[1].text.find(ui_text("rst_no")), 0u);
  EXPECT_NE(win.boxes[1].text.find(path(config_file_suffix)), wide::npos);
  EXPECT_NE(win.boxes[1].text.find(path(auth_file_suffix)), wide::npos);
  EXPECT_EQ(win.boxes[1].flags, unsigned{box_ok | box_icon_error});
  EXPECT_EQ(file(backup_copy_suffix), "mine\n");
  EXPECT_EQ(file(auth_backup_copy_suffix), login);

  remove(config_file_suffix);
  remove(auth_file_suffix);
  reset();
  EXPECT_EQ(file(config_file_suffix), "mine\n");
  EXPECT_EQ(file(auth_file_suffix), login);
  EXPECT_FALSE(has(backup_copy_suffix));
  EXPECT_FALSE(has(auth_backup_copy_suffix));
}

// A full disk while the copy goes back: the key still goes, the copy waits.
TEST_F(reset_test, a_restore_that_cannot_be_written_waits_for_the_next_reset) {
  const bytes login = "{\"OPENAI_API_KEY\": null, \"tokens\": {}}\n";
  put(auth_file_suffix, login);
  signed_in_as(u"sk-cli-key-123", platform::cli);
  inject_write_fault_after(0);
  reset();
  inject_write_fault_after(SIZE_MAX);
  EXPECT_FALSE(has(auth_file_suffix)) << "the key's auth.json is gone";
  EXPECT_EQ(file(auth_backup_copy_suffix), login);
  reset();
  EXPECT_EQ(file(auth_file_suffix), login);
  EXPECT_FALSE(has(auth_backup_copy_suffix));
}

#ifndef _WIN32
// A config.toml kept in a folder of dotfiles and linked into the Codex home
// stays a link, and the file it points at gets the user's bytes back; a
// file only the user may read keeps that mode throughout.
TEST_F(reset_test, links_and_modes_of_the_users_config_stay) {
  const bytes mine = "model = \"mine\"\n";
  const std::string dotfiles = narrow(path(u"")) + "-dotfiles";
  ASSERT_EQ(mkdir(dotfiles.c_str(), 0700), 0);
  ASSERT_TRUE(raw_write(from_utf8(dotfiles + "/config.toml"), mine));
  ASSERT_TRUE(create_directory(codex_home()));
  const std::string linked = narrow(path(config_file_suffix));
  ASSERT_EQ(symlink((dotfiles + "/config.toml").c_str(), linked.c_str()), 0);
  ASSERT_EQ(chmod(linked.c_str(), 0400), 0);
  const auto expect_linked_to = [&](const bytes& content) {
    struct stat link, target;
    EXPECT_TRUE(lstat(linked.c_str(), &link) == 0 && S_ISLNK(link.st_mode));
    EXPECT_EQ(raw_read(from_utf8(dotfiles + "/config.toml")), content);
    EXPECT_TRUE(stat(linked.c_str(), &target) == 0 && (target.st_mode & 0777) == 0400);
    EXPECT_EQ(directory_entries(from_utf8(dotfiles)).size(), 1u) << "no temporary file stays";
  };
  signed_in_as(u"sk-cli-key-123", platform::cli);
  expect_linked_to(cli_template);
  EXPECT_EQ(file(backup_copy_suffix), mine);
  reset();
  expect_linked_to(mine);
}
#endif

TEST_F(reset_test, on_a_clean_user_creates_nothing) {
  win.key = u"sk-typed-not-applied";
  reset();
  expect_confirmation_then_completion();
  EXPECT_TRUE(directory_entries(codex_home()).empty());
  EXPECT_EQ(win.key, u"");
  EXPECT_FALSE(signed_in);
#ifndef _WIN32
  EXPECT_FALSE(raw_exists(from_utf8(std::getenv("XDG_CONFIG_HOME")))) << "nor the environment's";
#endif
}

// Changed is what was undone: a Reset that could undo nothing says so.
TEST_F(reset_test, changed_only_where_something_was_undone) {
  set_user_env(u"OPENAI_API_KEY", u"sk-left-0123456", false);
  stop_changes_after(0);
  EXPECT_FALSE(reset_without_asking().changed);
  stop_changes_after(SIZE_MAX);
  EXPECT_TRUE(reset_without_asking().changed);
}

}  // namespace
