#include "ui_test_support.h"

#include <algorithm>

#include "catalogue.h"
#include "codex_files.h"
#include "config_files.h"
#include "host.h"
#include "paint.h"
#include "resources.h"
#include "status.h"
#include "window.h"
#include "window_commands.h"

namespace {

void ensure_window_class() {
  static bool registered = false;
  if (registered) return;
  create_drawing_resources();
  registered = register_main_window_class(GetModuleHandleW(nullptr));
  ASSERT_TRUE(registered);
}

// Lets posted messages (paint, focus, a WM_QUIT from WM_DESTROY) run out.
void drain_messages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

LPARAM point(POINT at) {
  return MAKELPARAM(at.x, at.y);
}

}  // namespace

int answering_port::message_box(const wide& text, const wide& caption, unsigned) {
  texts.push_back(text);
  captions.push_back(caption);
  return box_answer_yes;
}

void clear_user_state() {
  const wide home = codex_home();
  for (const char16_t* suffix : {auth_file_suffix, config_file_suffix, marker_file_suffix,
                                 backup_copy_suffix, auth_backup_copy_suffix})
    delete_file(join_path(home, suffix));
  RemoveDirectoryW(win(join_path(home, backup_dir_suffix)));
  delete_user_env(u"OPENAI_API_KEY", false);
}

void reset_interface_state() {
  ui_language = language_vietnamese;
  signed_in = false;
  status_line.clear();
  key_line.clear();
  selected_mode = platform::desktop;
  hovered_zone = 0;
  pressed_zone = 0;
  key_visible = 0;
}

void window_test::SetUp() {
  ensure_window_class();
  clear_user_state();
  reset_interface_state();
}

void window_test::TearDown() {
  if (main_window) DestroyWindow(main_window);
  drain_messages();
  set_window_port(nullptr);
  main_window = nullptr;
  key_edit = nullptr;
  delete owned_answers_;
  owned_answers_ = answers = nullptr;
  clear_user_state();
  reset_interface_state();
}

void window_test::store_account(const char* key, platform client) {
  const wide home = codex_home();
  ASSERT_TRUE(create_directory(home));
  ASSERT_TRUE(write_text_file(join_path(home, auth_file_suffix), auth_file_text(from_utf8(key))));
  ASSERT_TRUE(write_text_file(join_path(home, marker_file_suffix), marker_text(client)));
}

void window_test::open_window(bool shown) {
  ASSERT_NE(create_main_window(GetModuleHandleW(nullptr)), nullptr);
  ASSERT_NE(main_window, nullptr);
  ASSERT_NE(key_edit, nullptr);
  // A shown window keeps an update region; hiding it again costs Wine
  // about two seconds, so tests that only need the layout skip it.
  if (shown) {
    ShowWindow(main_window, SW_SHOW);
    UpdateWindow(main_window);
  }
  drain_messages();
  // The window shows up under the mouse pointer wherever Xvfb left it.
  hovered_zone = 0;
  repaint_requested();
}

void window_test::answer_boxes() {
  owned_answers_ = answers = new answering_port(window());
  set_window_port(answers);
}

void window_test::press(POINT at) {
  SendMessageW(main_window, WM_LBUTTONDOWN, MK_LBUTTON, point(at));
}
void window_test::release(POINT at) {
  SendMessageW(main_window, WM_LBUTTONUP, 0, point(at));
}
void window_test::click(POINT at) {
  press(at);
  release(at);
}
void window_test::move(POINT at) {
  SendMessageW(main_window, WM_MOUSEMOVE, 0, point(at));
}

bool window_test::repaint_requested() {
  RECT update{};
  bool pending = GetUpdateRect(main_window, &update, FALSE) != 0;
  ValidateRect(main_window, nullptr);
  return pending;
}

canvas::canvas(int width, int height) : width_(width), height_(height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  dc_.reset(CreateCompatibleDC(nullptr));
  void* bits = nullptr;
  bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  bits_ = static_cast<std::uint32_t*>(bits);
  previous_ = SelectObject(dc_.get(), bitmap_.get());
}

canvas::~canvas() {
  SelectObject(dc_.get(), previous_);
}

// Through the window's own WM_PRINTCLIENT, which draws as WM_PAINT does.
void canvas::paint() {
  SendMessageW(main_window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_.get()), PRF_CLIENT);
  GdiFlush();
}

void canvas::fill(COLORREF colour) {
  const std::uint32_t pixel = GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
  std::fill(bits_, bits_ + width_ * height_, pixel);
}

COLORREF canvas::at(POINT p) const {
  const std::uint32_t pixel = bits_[p.y * width_ + p.x];
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

int canvas::count(const RECT& r, COLORREF colour) const {
  int found = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) found += at({x, y}) == colour;
  return found;
}
