#pragma once
// The main window: fixed layout, clickable zones, the key field, mouse and
// keyboard input, and the commands a click runs.
#include <windows.h>

#include "window_state.h"

int hit_test(int x, int y);
LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM w_param, LPARAM l_param);

bool register_main_window_class(HINSTANCE instance);
// Creates main_window hidden, with a 440 x 520 client area; null on failure.
HWND create_main_window(HINSTANCE instance);
// One message taken by the message loop: Enter in the key field signs in
// and is neither translated nor dispatched; every other message is.
void process_message(const MSG& message);
