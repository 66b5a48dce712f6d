#include "resources.h"

#include "app_icon.h"

HFONT body_font = nullptr;
HFONT small_font = nullptr;
HFONT title_font = nullptr;
HFONT label_font = nullptr;
HFONT key_font = nullptr;
HFONT symbol_font = nullptr;
HBRUSH edit_brush = nullptr;
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

template <typename H>
void delete_and_clear(H& object) {
  if (object) DeleteObject(object);
  object = nullptr;
}

}  // namespace

void create_drawing_resources() {
  body_font = make_font(L"Segoe UI", 15, 400);
  small_font = make_font(L"Segoe UI", 13, 400);
  title_font = make_font(L"Segoe UI", 20, 600);
  label_font = make_font(L"Segoe UI", 15, 600);
  key_font = make_font(L"Consolas", 15, 400);
  symbol_font = make_font(L"Segoe UI Symbol", 18, 700);
  edit_brush = CreateSolidBrush(RGB(0x14, 0x1C, 0x2A));

  big_icon = load_app_icon(32, 32);
  if (!big_icon) big_icon = load_app_icon(48, 48);
  small_icon = load_app_icon(16, 16);
  if (!small_icon) small_icon = big_icon;
  logo_icon = load_app_icon(32, 32);
  if (!logo_icon) logo_icon = big_icon;
}

void delete_drawing_resources() {
  delete_and_clear(body_font);
  delete_and_clear(small_font);
  delete_and_clear(title_font);
  delete_and_clear(label_font);
  delete_and_clear(key_font);
  delete_and_clear(symbol_font);
  delete_and_clear(edit_brush);
}
