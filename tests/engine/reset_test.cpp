// Reset, end to end, usually after a real Sign in.
#include "command_test.h"
#include "config_files.h"
#include "host.h"

namespace {

constexpr int box_answer_no = 7;

class reset_test : public command_test {
 protected:
  void signed_in_as(const wide& key, const char16_t* mode) {
    sign_in(key, mode);
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
  signed_in_as(u"sk-desktop-key", u"app");
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

TEST_F(reset_test, after_desktop_restores_the_users_config_and_keeps_the_copy) {
  const bytes original = "model = \"mine\"\r\n[notify]\r\nx = 1\r\n";
  put(config_file_suffix, original);
  signed_in_as(u"sk-desktop-key", u"app");
  ASSERT_NE(file(config_file_suffix), original);
  set_user_env(u"https_proxy", u"http://10.0.0.1:3128", false);
  win.key_masked = false;  // the user had the key shown

  reset();
  expect_confirmation_then_completion();
  EXPECT_EQ(file(config_file_suffix), original);
  EXPECT_EQ(file(backup_copy_suffix), original);
  expect_signed_out();
  EXPECT_EQ(read_user_env(u"https_proxy"), u"");
  EXPECT_EQ(win.key, u"");
  EXPECT_TRUE(win.key_masked);
  EXPECT_EQ(selected_mode, u"app");

  // A second Reset restores the same copy again.
  put(config_file_suffix, "changed again\n");
  reset();
  expect_confirmation_then_completion();
  EXPECT_EQ(file(config_file_suffix), original);
}

TEST_F(reset_test, after_cli_with_no_config_before_deletes_the_written_one) {
  signed_in_as(u"sk-cli-key-123", u"cli");
  ASSERT_TRUE(has(config_file_suffix));

  reset();
  expect_confirmation_then_completion();
  EXPECT_FALSE(has(config_file_suffix));
  EXPECT_FALSE(has(backup_dir_suffix));
  expect_signed_out();
  EXPECT_EQ(selected_mode, u"cli");

  // Nothing left to undo: the same completion box, nothing else changes.
  reset();
  expect_confirmation_then_completion();
  EXPECT_FALSE(has(config_file_suffix));
}

TEST_F(reset_test, after_cli_restores_the_users_own_config) {
  put(config_file_suffix, "the user's cli config\n");
  signed_in_as(u"sk-cli-key-123", u"cli");
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
  ASSERT_TRUE(create_directory(codex_home()));
  ASSERT_TRUE(create_directory(path(backup_dir_suffix)));
  put(backup_copy_suffix, "saved\n");
  put(config_file_suffix, "current\n");

  reset();
  expect_confirmation_then_completion();
  EXPECT_EQ(file(config_file_suffix), "saved\n");
  EXPECT_EQ(file(backup_copy_suffix), "saved\n");
}

TEST_F(reset_test, on_a_clean_user_creates_nothing) {
  win.key = u"sk-typed-not-applied";
  reset();
  expect_confirmation_then_completion();
  EXPECT_TRUE(directory_entries(codex_home()).empty());
  EXPECT_EQ(win.key, u"");
  EXPECT_FALSE(signed_in);
}

}  // namespace
