#include "resources.h"

#include "app_icon.h"
#include "palette.h"

unique_font body_font;
unique_font small_font;
unique_font title_font;
unique_font label_font;
unique_font key_font;
unique_font symbol_font;
unique_brush edit_brush;
HICON big_icon = nullptr;
HICON small_icon = nullptr;
HICON logo_icon = nullptr;

namespace {

// A positive height matches the cell height, internal leading included.
HFONT make_font(const wchar_t* face, int height, int weight) {
  return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace

void create_drawing_resources() {
  body_font.reset(make_font(L"Segoe UI", 15, 400));
  small_font.reset(make_font(L"Segoe UI", 13, 400));
  title_font.reset(make_font(L"Segoe UI", 20, 600));
  label_font.reset(make_font(L"Segoe UI", 15, 600));
  key_font.reset(make_font(L"Consolas", 15, 400));
  symbol_font.reset(make_font(L"Segoe UI Symbol", 18, 700));
  edit_brush.reset(CreateSolidBrush(key_field_background));

  big_icon = load_app_icon(32, 32);
  if (!big_icon) big_icon = load_app_icon(48, 48);
  small_icon = load_app_icon(16, 16);
  if (!small_icon) small_icon = big_icon;
  logo_icon = load_app_icon(32, 32);
  if (!logo_icon) logo_icon = big_icon;
}

void delete_drawing_resources() {
  body_font.reset();
  small_font.reset();
  title_font.reset();
  label_font.reset();
  key_font.reset();
  symbol_font.reset();
  edit_brush.reset();
}
