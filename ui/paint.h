#pragma once
// Drawing of the main window's client area in its dark theme.
#include <windows.h>

// Draws every element of the window into dc, whose drawing surface is
// width x height; used by WM_PAINT on an off-screen bitmap and by tests.
void paint_client(HDC dc, int width, int height);
// WM_PAINT: composes the client area off-screen and copies it in one piece.
LRESULT paint_window(HWND window);

void draw_mode_card(HDC dc, const RECT& r, bool selected, bool hovered, const char16_t* title,
                    const char16_t* description);
void draw_button(HDC dc, const RECT& r, const char16_t* caption, bool primary, bool hovered,
                 bool pressed);
