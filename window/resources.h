#pragma once
// Drawing resources shared by the window and its painting. Made once at
// start, before the window exists; fonts and brush are deleted after the
// message loop, the icons live as long as the process.
#include <windows.h>

#include "unique_handle.h"

extern unique_font body_font;
extern unique_font small_font;
extern unique_font title_font;
extern unique_font label_font;
extern unique_font key_font;
extern unique_font symbol_font;
extern unique_brush edit_brush;
extern HICON big_icon;
extern HICON small_icon;
extern HICON logo_icon;

// Fonts, the edit brush, then the icons with their fallbacks.
void create_drawing_resources();
// Fonts and the edit brush, in the order they were made.
void delete_drawing_resources();
