#pragma once
// The window's interface state, which its procedure changes and painting
// reads. Defined with the window procedure in window.cpp.
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
