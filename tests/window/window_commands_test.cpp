// The status card the window shows for what is stored, and the box that
// ends each command.
#include "window_commands.h"

#include <gtest/gtest.h>

#include "catalogue.h"
#include "codex_files.h"
#include "config_files.h"
#include "host.h"
#include "message_boxes.h"
#include "recording_window.h"
#include "test_home.h"

namespace {

const char16_t signed_in_vietnamese[] = u"\u0110\u00E3 \u0111\u0103ng nh\u1EADp";
const char16_t idle_vietnamese[] = u"Ch\u01B0a \u0111\u0103ng nh\u1EADp";

class status_card_test : public user_test {
 protected:
  void SetUp() override {
    user_test::SetUp();
    ui_language = 1;
    signed_in = false;
    status_line.clear();
    key_line.clear();
    selected_mode = platform::desktop;
  }
  void TearDown() override {
    ui_language = 1;
    selected_mode = platform::desktop;
    user_test::TearDown();
  }

  void put_auth_key(const wide& key) { put(auth_file_suffix, auth_file_text(key)); }
  void set_env_key(const wide& value) { set_user_env(u"OPENAI_API_KEY", value, false); }

  recording_window fake_window;
};

}  // namespace

TEST_F(status_card_test, refresh_shows_signed_in_state_in_the_current_language) {
  set_env_key(u"sk-env");
  refresh_status();
  EXPECT_TRUE(signed_in);
  EXPECT_EQ(status_line, wide(signed_in_vietnamese) + u"  \u00B7  Desktop");
  EXPECT_EQ(key_line, u"Key: sk-env");
  EXPECT_EQ(selected_mode, platform::desktop);
  EXPECT_EQ(fake_window.key, u"sk-env") << "an empty key field receives the key";
  EXPECT_EQ(fake_window.key_sets, 1);
  EXPECT_EQ(fake_window.repaints, 1);

  ui_language = 0;
  refresh_status();
  EXPECT_EQ(status_line, u"Signed in  \u00B7  Desktop");
  EXPECT_EQ(key_line, u"Key: sk-env");
  EXPECT_EQ(fake_window.key_sets, 1) << "a filled key field is left alone";
  EXPECT_EQ(fake_window.repaints, 2);

  put_auth_key(u"sk-cli");
  put(marker_file_suffix, marker_text(platform::cli));
  fake_window.key = u"  typed key  ";
  refresh_status();
  EXPECT_EQ(status_line, u"Signed in  \u00B7  CLI");
  EXPECT_EQ(key_line, u"Key: sk-cli");
  EXPECT_EQ(selected_mode, platform::cli);
  EXPECT_EQ(fake_window.key, u"  typed key  ");
  EXPECT_EQ(fake_window.key_sets, 1);
}

TEST_F(status_card_test, refresh_when_signed_out_keeps_the_chosen_card_and_key_field) {
  selected_mode = platform::cli;
  fake_window.key = u"half typed";
  refresh_status();
  EXPECT_FALSE(signed_in);
  EXPECT_EQ(status_line, idle_vietnamese);
  EXPECT_EQ(key_line, u"");
  EXPECT_EQ(selected_mode, platform::cli);
  EXPECT_EQ(fake_window.key, u"half typed");
  EXPECT_EQ(fake_window.repaints, 1);

  // Signing out after a signed-in refresh clears the key line only.
  fake_window.key.clear();
  put_auth_key(u"sk-file");
  set_env_key(u"sk-env");
  refresh_status();
  EXPECT_TRUE(signed_in);
  EXPECT_EQ(selected_mode, platform::desktop);
  delete_file(path(auth_file_suffix));
  delete_user_env(u"OPENAI_API_KEY", false);
  ui_language = 0;
  selected_mode = platform::cli;
  refresh_status();
  EXPECT_FALSE(signed_in);
  EXPECT_EQ(status_line, u"Not signed in");
  EXPECT_EQ(key_line, u"");
  EXPECT_EQ(selected_mode, platform::cli);
  EXPECT_EQ(fake_window.key, u"sk-file") << "the key field is not emptied";
  EXPECT_EQ(fake_window.repaints, 3);
}

TEST(message_boxes, each_outcome_has_its_box) {
  using result = sign_in_result;
  constexpr unsigned error = box_ok | box_icon_error, information = box_ok | box_icon_information;
  struct row {
    result outcome;
    platform shown;
    box_choice box;
  };
  const row rows[] = {
      {result::done, platform::cli, {"ok_cli", "ok_t", information}},
      {result::done, platform::desktop, {"ok_app", "ok_t", information}},
      {result::key_empty, platform::cli, {"empty", "fail", error}},
      {result::key_refused, platform::desktop, {"bad", "fail", error}},
      {result::no_codex_home, platform::cli, {"fail", "fail", error}},
      {result::busy, platform::desktop, {"fail", "fail", error}},
      {result::copy_not_kept, platform::cli, {"fail", "fail", error}},
      {result::not_written, platform::desktop, {"fail", "fail", error}},
  };
  for (const row& r : rows) {
    const box_choice box = sign_in_box(r.outcome, r.shown);
    SCOPED_TRACE(r.box.text_key);
    EXPECT_STREQ(box.text_key, r.box.text_key);
    EXPECT_STREQ(box.caption_key, r.box.caption_key);
    EXPECT_EQ(box.flags, r.box.flags);
  }
  reset_outcome busy;
  busy.busy = true;
  EXPECT_STREQ(reset_box(busy).text_key, "rst_bz");
  EXPECT_EQ(reset_box(busy).flags, error);
  EXPECT_STREQ(reset_box(reset_outcome()).text_key, "rst_ok");
  EXPECT_STREQ(reset_box(reset_outcome()).caption_key, "rst_d");
}
