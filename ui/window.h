#pragma once
// The main window: fixed layout, clickable zones, the key field, mouse and
// keyboard input, and the commands a click runs.
#include <windows.h>

// Clickable zones, as hit_test returns them.
enum : int {
  zone_none = 0,
  zone_cli = 1,
  zone_app = 2,
  zone_sign_in = 3,
  zone_reset = 4,
  zone_language = 5,
  zone_show_key = 6,
};

extern HWND main_window;
extern HWND key_edit;
extern int hovered_zone;
extern int pressed_zone;
extern unsigned char key_visible;  // 1 while the key is shown in clear

// Client rectangles, right and bottom exclusive; fixed at window creation.
extern RECT header_rect;
extern RECT language_rect;
extern RECT show_key_rect;
extern RECT cli_rect;
extern RECT app_rect;
extern RECT sign_in_rect;
extern RECT reset_rect;
extern RECT status_rect;
extern RECT footer_rect;

constexpr int client_width = 440;
constexpr int client_height = 520;

int hit_test(int x, int y);
LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM w_param, LPARAM l_param);

bool register_main_window_class(HINSTANCE instance);
// Creates main_window hidden, with a 440 x 520 client area; null on failure.
HWND create_main_window(HINSTANCE instance);
// One message taken by the message loop: Enter in the key field signs in
// and is neither translated nor dispatched; every other message is.
void process_message(const MSG& message);
