#pragma once
// Drawing of the main window's client area in its dark theme.
#include <windows.h>

// Draws every element of the window into dc, whose drawing surface is
// width x height: on WM_PAINT into an off-screen bitmap, on WM_PRINTCLIENT
// straight into the DC it brings.
void paint_client(HDC dc, int width, int height);
// WM_PAINT: composes the client area off-screen and copies it in one piece.
LRESULT paint_window(HWND window);
