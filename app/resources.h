#pragma once
// Drawing resources shared by the window and its painting. Made once at
// start, before the window exists; fonts and brush are deleted after the
// message loop, the icons live as long as the process.
#include <windows.h>

extern HFONT body_font;
extern HFONT small_font;
extern HFONT title_font;
extern HFONT label_font;
extern HFONT key_font;
extern HFONT symbol_font;
extern HBRUSH edit_brush;
extern HICON big_icon;
extern HICON small_icon;
extern HICON logo_icon;

// Fonts, the edit brush, then the icons with their fallbacks.
void create_drawing_resources();
// Fonts and the edit brush, in the order they were made.
void delete_drawing_resources();
