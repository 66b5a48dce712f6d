#include "window.h"

#include <windowsx.h>

#include <string>

#include "catalogue.h"
#include "config_files.h"
#include "layout.h"
#include "paint.h"
#include "palette.h"
#include "resources.h"
#include "window_commands.h"
#include "window_port.h"
#include "window_state.h"

HWND main_window = nullptr;
HWND key_edit = nullptr;
int hovered_zone = zone_none;
int pressed_zone = zone_none;
unsigned char key_visible = 0;

namespace {

constexpr wchar_t window_class_name[] = L"MorvaneWnd";
constexpr WPARAM mask_character = 0x25CF;  // BLACK CIRCLE
constexpr int key_edit_id = 1001;

void repaint() {
  InvalidateRect(main_window, nullptr, FALSE);
}

// What the window's commands see of the window.
class win32_window final : public window_port {
 public:
  wide key_text() override {
    int length = GetWindowTextLengthW(key_edit);
    if (length <= 0) return {};
    wide text(static_cast<size_t>(length) + 1, u'\0');
    GetWindowTextW(key_edit, reinterpret_cast<wchar_t*>(&text[0]), length + 1);
    text.resize(std::char_traits<char16_t>::length(text.c_str()));
    return text;
  }
  void set_key_text(const wide& text) override { SetWindowTextW(key_edit, win(text)); }
  void hide_key() override {
    key_visible = 0;
    SendMessageW(key_edit, EM_SETPASSWORDCHAR, mask_character, 0);
    InvalidateRect(key_edit, nullptr, TRUE);
  }
  int message_box(const wide& text, const wide& caption, unsigned flags) override {
    return MessageBoxW(main_window, win(text), win(caption), flags);
  }
  void request_repaint() override { repaint(); }
};

win32_window the_window;

// Asks for WM_MOUSELEAVE once the mouse leaves the client area.
void track_leave(HWND window) {
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = window;
  track.dwHoverTime = 0;
  TrackMouseEvent(&track);
}

LRESULT on_create(HWND window) {
  main_window = window;
  set_window_port(&the_window);
  const RECT& field = key_edit_rect;
  key_edit =
      CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_PASSWORD | ES_AUTOHSCROLL,
                      field.left, field.top, field.right - field.left, field.bottom - field.top,
                      window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(key_edit_id)),
                      GetModuleHandleW(nullptr), nullptr);
  SendMessageW(key_edit, WM_SETFONT, reinterpret_cast<WPARAM>(key_font.get()), TRUE);
  SendMessageW(key_edit, EM_SETPASSWORDCHAR, mask_character, 0);
  refresh_status();
  heal_desktop_config();
  refresh_status();
  SetFocus(key_edit);
  track_leave(window);
  return 0;
}

LRESULT on_mouse_move(HWND window, LPARAM l_param) {
  int zone = hit_test(GET_X_LPARAM(l_param), GET_Y_LPARAM(l_param));
  if (zone != hovered_zone) {
    hovered_zone = zone;
    repaint();
  }
  track_leave(window);
  SetCursor(LoadCursorW(nullptr, zone != zone_none ? IDC_HAND : IDC_ARROW));
  return 0;
}

LRESULT on_left_button_down(LPARAM l_param) {
  pressed_zone = hit_test(GET_X_LPARAM(l_param), GET_Y_LPARAM(l_param));
  if (pressed_zone != zone_none) {
    SetCapture(main_window);
    repaint();
  }
  return 0;
}

void toggle_key_visible() {
  key_visible ^= 1;
  SendMessageW(key_edit, EM_SETPASSWORDCHAR, key_visible ? 0 : mask_character, 0);
  InvalidateRect(key_edit, nullptr, TRUE);
  repaint();
}

void run_zone_command(int zone) {
  switch (zone) {
    case zone_cli:
      selected_mode = platform::cli;
      repaint();
      break;
    case zone_app:
      selected_mode = platform::desktop;
      repaint();
      break;
    case zone_sign_in:
      apply_key();
      break;
    case zone_reset:
      reset_configuration();
      break;
    case zone_language:
      switch_language();
      refresh_status();
      break;
    case zone_show_key:
      toggle_key_visible();
      break;
  }
}

LRESULT on_left_button_up(LPARAM l_param) {
  int zone = hit_test(GET_X_LPARAM(l_param), GET_Y_LPARAM(l_param));
  int pressed = pressed_zone;
  pressed_zone = zone_none;
  ReleaseCapture();
  repaint();
  if (zone != zone_none && zone == pressed) run_zone_command(zone);
  return 0;
}

LRESULT on_mouse_leave() {
  hovered_zone = zone_none;
  pressed_zone = zone_none;
  repaint();
  return 0;
}

LRESULT on_key_down(WPARAM key) {
  if (key == VK_RETURN) apply_key();
  return 0;
}

// Draws the client area into the DC it brings, as WM_PAINT draws it.
LRESULT on_print_client(HWND window, WPARAM w_param) {
  RECT client{};
  GetClientRect(window, &client);
  paint_client(reinterpret_cast<HDC>(w_param), client.right, client.bottom);
  return 0;
}

LRESULT on_ctl_color_edit(WPARAM w_param) {
  HDC dc = reinterpret_cast<HDC>(w_param);
  SetTextColor(dc, key_field_text);
  SetBkColor(dc, key_field_background);
  return reinterpret_cast<LRESULT>(edit_brush.get());
}

}  // namespace

int hit_test(int x, int y) {
  if (contains(language_rect, x, y)) return zone_language;
  if (contains(cli_rect, x, y)) return zone_cli;
  if (contains(app_rect, x, y)) return zone_app;
  if (contains(sign_in_rect, x, y)) return zone_sign_in;
  if (contains(reset_rect, x, y)) return zone_reset;
  if (contains(show_key_rect, x, y)) return zone_show_key;
  return zone_none;
}

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) {
  switch (message) {
    case WM_CREATE:
      return on_create(window);
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_PAINT:
      return paint_window(window);
    case WM_PRINTCLIENT:
      return on_print_client(window, w_param);
    case WM_ERASEBKGND:
      return 1;
    case WM_KEYDOWN:
      return on_key_down(w_param);
    case WM_CTLCOLOREDIT:
      return on_ctl_color_edit(w_param);
    case WM_MOUSEMOVE:
      return on_mouse_move(window, l_param);
    case WM_LBUTTONDOWN:
      return on_left_button_down(l_param);
    case WM_LBUTTONUP:
      return on_left_button_up(l_param);
    case WM_MOUSELEAVE:
      return on_mouse_leave();
  }
  return DefWindowProcW(window, message, w_param, l_param);
}

bool register_main_window_class(HINSTANCE instance) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.style = CS_HREDRAW | CS_VREDRAW;
  window_class.lpfnWndProc = main_window_proc;
  window_class.hInstance = instance;
  window_class.hIcon = big_icon ? big_icon : LoadIconW(nullptr, IDI_APPLICATION);
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = nullptr;  // painting covers the whole client area
  window_class.lpszClassName = window_class_name;
  window_class.hIconSm = small_icon ? small_icon : window_class.hIcon;
  return RegisterClassExW(&window_class) != 0;
}

HWND create_main_window(HINSTANCE instance) {
  const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT outer{0, 0, client_width, client_height};
  AdjustWindowRectEx(&outer, style, FALSE, 0);
  int width = outer.right - outer.left;
  int height = outer.bottom - outer.top;
  int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 3;
  return CreateWindowExW(0, window_class_name, L"Morvane", style, x, y, width, height, nullptr,
                         nullptr, instance, nullptr);
}

void process_message(const MSG& message) {
  // Enter in the key field signs in, and the key never reaches the field.
  if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && key_edit &&
      GetFocus() == key_edit) {
    apply_key();
    return;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}
