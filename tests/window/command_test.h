#pragma once
// A clean user, a recording window, and the user's two commands as steps.
#include <string>

#include "catalogue.h"
#include "commands.h"
#include "recording_window.h"
#include "status.h"
#include "test_home.h"
#include "window_commands.h"

class command_test : public user_test {
 protected:
  void SetUp() override {
    user_test::SetUp();
    signed_in = false;
    status_line = u"status before";
    key_line.clear();
  }

  // Types the key, picks the platform and presses Sign in.
  void sign_in(const wide& key, platform chosen) {
    win.key = key;
    win.boxes.clear();
    selected_mode = chosen;
    apply_key();
  }

  // Answers the confirmation and runs Reset.
  void reset(int answer = box_answer_yes) {
    win.boxes.clear();
    win.answer = answer;
    reset_configuration();
  }

  // The last command ended with exactly this one box. A failure's text goes
  // on, after a blank line, to say what failed and why.
  void expect_box(const char* text_key, const char* caption_key, unsigned flags) {
    ASSERT_EQ(win.boxes.size(), 1u) << "after key " << narrow(win.key);
    if (std::string(text_key) == "fail") {
      const wide said = ui_text(text_key) + wide(u"\n\n");
      EXPECT_EQ(win.boxes[0].text.compare(0, said.size(), said), 0) << narrow(win.boxes[0].text);
      EXPECT_GT(win.boxes[0].text.size(), said.size()) << "names no file";
    } else {
      EXPECT_EQ(win.boxes[0].text, ui_text(text_key)) << text_key;
    }
    EXPECT_EQ(win.boxes[0].caption, ui_text(caption_key)) << text_key;
    EXPECT_EQ(win.boxes[0].flags, flags) << text_key;
  }
  void expect_failure(const char* text_key) {
    expect_box(text_key, "fail", box_ok | box_icon_error);
  }
  void expect_success(const char* text_key) {
    expect_box(text_key, "ok_t", box_ok | box_icon_information);
  }

  recording_window win;
};
