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

// Refusals and success say only their text; every other failure adds what
// could not be done, to which file and why, in the current language.
TEST(message_boxes, each_outcome_has_its_box) {
  ui_language = language_english;
  using result = sign_in_result;
  using kind = fault_kind;
  constexpr unsigned error = box_ok | box_icon_error, information = box_ok | box_icon_information;
  const auto expect = [](const box_choice& box, const char* text, const char* caption,
                         unsigned flags, const wide& detail) {
    EXPECT_STREQ(box.text_key, text);
    EXPECT_STREQ(box.caption_key, caption);
    EXPECT_EQ(box.flags, flags);
    EXPECT_EQ(box.detail, detail);
  };
  expect(sign_in_box({result::done, {}}, platform::cli), "ok_cli", "ok_t", information, u"");
  expect(sign_in_box({result::done, {}}, platform::desktop), "ok_app", "ok_t", information, u"");
  expect(sign_in_box({result::key_empty, {}}, platform::cli), "empty", "fail", error, u"");
  expect(sign_in_box({result::key_refused, {}}, platform::cli), "bad", "fail", error, u"");

  const wide file = u"/h/auth.json", reason = u": " + system_message(5);
  struct failure {
    sign_in_outcome outcome;
    wide detail;
  };
  // clang-format off
  const failure failures[] = {
      {{result::no_codex_home, {kind::no_profile, u"", 0}}, u"cannot find your home folder"},
      {{result::no_codex_home, {kind::not_absolute, u"codex", 0}}, u"CODEX_HOME must be an absolute path, not codex"},
      {{result::busy, {kind::busy, u"/h", 0}}, u"another Sign in or Reset is running on /h"},
      {{result::lock_failed, {kind::no_lock, file, 5}}, u"cannot lock " + file + reason},
      {{result::copy_not_kept, {kind::not_kept, file, 5}}, u"cannot keep a copy of your file at " + file + reason},
      {{result::not_written, {kind::not_written, file, 5}}, u"cannot write " + file + reason},
      {{result::environment_not_set, {kind::no_environment, u"HKCU", 5}}, u"cannot change OPENAI_API_KEY in HKCU" + reason},
  };
  // clang-format on
  for (const failure& f : failures)
    expect(sign_in_box(f.outcome, platform::cli), "fail", "fail", error, f.detail);

  reset_outcome reset;
  expect(reset_box(reset), "rst_ok", "rst_d", information, u"");
  reset.changes = {{reset_step::removed, {kind::none, file, 0}, true},
                   {reset_step::gave_back, {kind::not_back, u"/c", 5}, false},
                   {reset_step::removed, {kind::not_removed, file, 5}, false}};
  expect(reset_box(reset), "rst_no", "rst_t", error,
         u"cannot give back /c" + reason +
             u"; the copy is kept for the next Reset\ncannot remove " + file + reason);
  reset.stopped = {kind::no_lock, file, 5};
  expect(reset_box(reset), "rst_no", "rst_t", error, u"cannot lock " + file + reason);
  reset.stopped = {kind::busy, u"/h", 0};
  expect(reset_box(reset), "rst_bz", "rst_t", error, u"");
  ui_language = language_vietnamese;
}
