// The main window driven with real messages.
#include "window.h"

#include <vector>

#include "catalogue.h"
#include "host.h"
#include "layout.h"
#include "palette.h"
#include "resources.h"
#include "status.h"
#include "test_home.h"
#include "ui_test_support.h"
#include "window_commands.h"

namespace {

using window_tests = window_test;

TEST_F(window_tests, hit_test_edges_and_gaps) {
  open_window();
  const RECT& chip = language_rect;

  EXPECT_EQ(hit_test(chip.left, chip.top), zone_language);
  EXPECT_EQ(hit_test(chip.right - 1, chip.bottom - 1), zone_language);
  EXPECT_EQ(hit_test(chip.right, middle(chip).y), zone_none);   // right edge is outside
  EXPECT_EQ(hit_test(middle(chip).x, chip.bottom), zone_none);  // bottom edge is outside
  const int card_row = middle(cli_rect).y;
  for (int x = cli_rect.right; x < app_rect.left; ++x)
    EXPECT_EQ(hit_test(x, card_row), zone_none) << x;
  const int button_row = middle(sign_in_rect).y;
  for (int x = sign_in_rect.right; x < reset_rect.left; ++x)
    EXPECT_EQ(hit_test(x, button_row), zone_none) << x;
  // The show-key zone ends before its label does.
  EXPECT_EQ(hit_test(show_key_rect.right + 6, middle(show_key_rect).y), zone_none);
  EXPECT_EQ(hit_test(cli_rect.right - 1, card_row), zone_cli);
  EXPECT_EQ(hit_test(app_rect.left, card_row), zone_app);
  EXPECT_EQ(hit_test(sign_in_rect.right - 1, button_row), zone_sign_in);
  EXPECT_EQ(hit_test(reset_rect.left, button_row), zone_reset);
  EXPECT_EQ(hit_test(show_key_rect.left, show_key_rect.top), zone_show_key);
  EXPECT_EQ(hit_test(-1, card_row), zone_none);
  EXPECT_EQ(hit_test(100, -300), zone_none);

  // A captured drag released left of the window is in no zone.
  press(middle(cli_rect));
  release({-5, card_row});
  EXPECT_EQ(selected_mode, platform::desktop);
}

TEST_F(window_tests, creation_masks_the_key_and_fills_it_from_the_saved_account) {
  store_account("sk-saved-key-0123", platform::cli);
  open_window();

  EXPECT_EQ(SendMessageW(key_edit, EM_GETPASSWORDCHAR, 0, 0), 0x25CF);
  EXPECT_EQ(GetDlgCtrlID(key_edit), 1001);
  EXPECT_EQ(GetFocus(), key_edit);
  RECT client{};
  GetClientRect(main_window, &client);
  EXPECT_EQ(client.right, client_width);
  EXPECT_EQ(client.bottom, client_height);
  RECT field{};
  GetWindowRect(key_edit, &field);
  MapWindowPoints(nullptr, main_window, reinterpret_cast<POINT*>(&field), 2);
  EXPECT_TRUE(EqualRect(&field, &key_edit_rect));
  EXPECT_TRUE(signed_in);
  EXPECT_EQ(selected_mode, platform::cli);
  EXPECT_EQ(window().key_text(), u"sk-saved-key-0123");
}

TEST_F(window_tests, a_click_needs_press_and_release_in_the_same_zone) {
  open_window();
  const POINT cli = middle(cli_rect);
  const POINT app = middle(app_rect);
  const POINT no_zone{show_key_rect.right + 6, middle(show_key_rect).y};

  press(cli);
  EXPECT_EQ(pressed_zone, zone_cli);
  EXPECT_EQ(GetCapture(), main_window);
  release(app);
  EXPECT_EQ(selected_mode, platform::desktop);
  EXPECT_EQ(pressed_zone, zone_none);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(repaint_requested());

  // A press outside every zone takes no capture and does not repaint,
  // but the release still does.
  press(no_zone);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(repaint_requested());
  release(cli);
  EXPECT_EQ(selected_mode, platform::desktop);
  EXPECT_TRUE(repaint_requested());

  // Leaving the window between press and release drops the click.
  press(cli);
  SendMessageW(main_window, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(pressed_zone, zone_none);
  release(cli);
  EXPECT_EQ(selected_mode, platform::desktop);

  click(cli);
  EXPECT_EQ(selected_mode, platform::cli);
  click(app);
  EXPECT_EQ(selected_mode, platform::desktop);
}

TEST_F(window_tests, hover_repaints_only_when_the_zone_changes) {
  open_window();

  move({sign_in_rect.left + 16, sign_in_rect.top + 10});
  EXPECT_EQ(hovered_zone, zone_sign_in);
  EXPECT_TRUE(repaint_requested());
  move({sign_in_rect.left + 36, sign_in_rect.top + 20});
  EXPECT_FALSE(repaint_requested());
  move(middle(reset_rect));
  EXPECT_EQ(hovered_zone, zone_reset);
  EXPECT_TRUE(repaint_requested());
  move({200, header_rect.top + 10});
  EXPECT_EQ(hovered_zone, zone_none);
  EXPECT_TRUE(repaint_requested());
  move({210, header_rect.top + 12});
  EXPECT_FALSE(repaint_requested());

  move(middle(language_rect));
  press(middle(language_rect));
  SendMessageW(main_window, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(hovered_zone, zone_none);
  EXPECT_EQ(pressed_zone, zone_none);
  EXPECT_TRUE(repaint_requested());
  release(middle(language_rect));
  EXPECT_EQ(ui_language, language_vietnamese);
}

TEST_F(window_tests, show_key_alternates_the_mask) {
  open_window();
  const POINT tick = middle(show_key_box_rect);

  click(tick);
  EXPECT_EQ(key_visible, 1);
  EXPECT_EQ(SendMessageW(key_edit, EM_GETPASSWORDCHAR, 0, 0), 0);
  click(tick);
  EXPECT_EQ(key_visible, 0);
  EXPECT_EQ(SendMessageW(key_edit, EM_GETPASSWORDCHAR, 0, 0), 0x25CF);

  click(tick);
  window().hide_key();  // as Reset does
  EXPECT_EQ(key_visible, 0);
  EXPECT_EQ(SendMessageW(key_edit, EM_GETPASSWORDCHAR, 0, 0), 0x25CF);
}

TEST_F(window_tests, language_chip_switches_language_and_status) {
  open_window();
  click(middle(cli_rect));
  ASSERT_EQ(selected_mode, platform::cli);

  click(middle(language_rect));
  EXPECT_EQ(ui_language, language_english);
  EXPECT_EQ(status_line, u"Not signed in");
  EXPECT_EQ(selected_mode, platform::cli);  // not signed in: the chosen card stays
  click(middle(language_rect));
  EXPECT_EQ(ui_language, language_vietnamese);
  EXPECT_EQ(status_line, ui_text("idle"));
}

TEST_F(window_tests, language_chip_while_signed_in_restores_the_saved_card) {
  store_account("sk-saved-key-0123", platform::cli);
  open_window();
  click(middle(app_rect));
  ASSERT_EQ(selected_mode, platform::desktop);

  click(middle(language_rect));
  EXPECT_EQ(ui_language, language_english);
  EXPECT_EQ(selected_mode, platform::cli);
  EXPECT_EQ(status_line, u"Signed in  \u00B7  CLI");
  EXPECT_EQ(key_line, u"Key: sk-saved-key-0123");
}

// Key messages that reach the key field itself, as its own procedure sees them.
std::vector<UINT> key_field_heard;
WNDPROC key_field_procedure = nullptr;

LRESULT CALLBACK listening_key_field(HWND window, UINT message, WPARAM w_param, LPARAM l_param) {
  if (message == WM_KEYDOWN || message == WM_CHAR) key_field_heard.push_back(message);
  return CallWindowProcW(key_field_procedure, window, message, w_param, l_param);
}

// Posts a key press to the key field and lets the program's own message
// handling take it, as the message loop would.
void press_key_in_field(WPARAM key, LPARAM scan) {
  PostMessageW(key_edit, WM_KEYDOWN, key, scan);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) process_message(message);
}

TEST_F(window_tests, enter_in_the_key_field_signs_in_once_and_types_nothing) {
  open_window();
  answer_boxes();
  SetWindowTextW(key_edit, L"abc");
  SetFocus(key_edit);
  ASSERT_EQ(GetFocus(), key_edit);
  key_field_heard.clear();
  key_field_procedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(key_edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listening_key_field)));

  press_key_in_field(VK_RETURN, 0x001C0001);
  EXPECT_TRUE(key_field_heard.empty()) << "neither the key nor a character reached the field";
  EXPECT_EQ(window().key_text(), u"abc");
  ASSERT_EQ(answers->captions.size(), 1u);  // one refusal for a short key
  EXPECT_EQ(answers->captions[0], ui_text("fail"));

  // Any other key goes the normal way and types its character.
  press_key_in_field('A', 0x001E0001);
  EXPECT_EQ(key_field_heard, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR}));
  EXPECT_EQ(answers->captions.size(), 1u);
  SetWindowLongPtrW(key_edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(key_field_procedure));

  // Enter that reaches the window itself signs in too.
  SetFocus(main_window);
  SendMessageW(main_window, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(answers->captions.size(), 2u);
  SendMessageW(main_window, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(answers->captions.size(), 2u);
}

// A failed Sign in's box says which file and gives the system's own reason.
TEST_F(window_tests, a_failed_sign_in_names_the_file_and_the_reason) {
  ASSERT_TRUE(create_directory(codex_home()));
  ASSERT_TRUE(create_directory(codex_home() + u"\\auth.json"));
  open_window();
  answer_boxes();
  SetWindowTextW(key_edit, L"sk-valid-key-123");
  click(middle(sign_in_rect));
  ASSERT_EQ(answers->texts.size(), 1u);
  const wide said = ui_text("fail") + wide(u"\n\n") +
                    failure_detail("not_written", codex_home() + u"\\auth.json", u"");
  EXPECT_EQ(answers->texts[0].compare(0, said.size(), said), 0) << narrow(answers->texts[0]);
  EXPECT_GT(answers->texts[0].size(), said.size() + 2) << "no reason given";
  EXPECT_EQ(answers->captions[0], ui_text("fail"));
}

TEST_F(window_tests, edit_colours_and_no_background_erase) {
  open_window();
  const scoped_window_dc dc(key_edit);
  LRESULT brush = SendMessageW(main_window, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.get()),
                               reinterpret_cast<LPARAM>(key_edit));
  EXPECT_EQ(GetTextColor(dc.get()), key_field_text);
  EXPECT_EQ(GetBkColor(dc.get()), key_field_background);
  EXPECT_EQ(brush, reinterpret_cast<LRESULT>(edit_brush.get()));
  EXPECT_EQ(SendMessageW(main_window, WM_ERASEBKGND, 0, 0), 1);
}

}  // namespace
