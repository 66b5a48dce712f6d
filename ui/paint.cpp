#include "paint.h"

#include "catalogue.h"
#include "gdi_owner.h"
#include "resources.h"
#include "status.h"
#include "version.h"
#include "window.h"

namespace {

// Palette, as the platform stores colours.
constexpr COLORREF background_colour = RGB(0x0B, 0x0F, 0x16);
constexpr COLORREF header_colour = RGB(0x11, 0x18, 0x27);
constexpr COLORREF outline_colour = RGB(0x24, 0x30, 0x42);
constexpr COLORREF logo_colour = RGB(0x14, 0x20, 0x34);
constexpr COLORREF accent_colour = RGB(0x3B, 0x82, 0xF6);
constexpr COLORREF accent_hover_colour = RGB(0x46, 0x8C, 0xFA);
constexpr COLORREF accent_pressed_colour = RGB(0x25, 0x63, 0xEB);
constexpr COLORREF surface_colour = RGB(0x16, 0x1E, 0x2C);
constexpr COLORREF surface_hover_colour = RGB(0x1C, 0x26, 0x38);
constexpr COLORREF surface_pressed_colour = RGB(0x23, 0x30, 0x44);
constexpr COLORREF selected_colour = RGB(0x16, 0x24, 0x3A);
constexpr COLORREF signed_in_colour = RGB(0x06, 0x28, 0x1C);
constexpr COLORREF signed_in_outline_colour = RGB(0x10, 0x5A, 0x37);
constexpr COLORREF signed_in_dot_colour = RGB(0x10, 0xB9, 0x81);
constexpr COLORREF bright_text = RGB(0xF8, 0xFA, 0xFC);
constexpr COLORREF white_text = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF secondary_text = RGB(0x94, 0xA3, 0xB8);
constexpr COLORREF muted_text = RGB(0x64, 0x74, 0x8B);
constexpr COLORREF footer_text = RGB(0x46, 0x5A, 0x73);
constexpr COLORREF version_text = RGB(0x2D, 0x37, 0x48);

constexpr UINT left_flags = DT_SINGLELINE | DT_VCENTER;
constexpr UINT centred_flags = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
constexpr UINT wrapped_flags = DT_WORDBREAK;

void fill_rect(HDC dc, const RECT& r, COLORREF colour) {
  unique_brush brush(CreateSolidBrush(colour));
  FillRect(dc, &r, brush.get());
}

void fill_round_rect(HDC dc, const RECT& r, int corner, COLORREF colour) {
  unique_brush brush(CreateSolidBrush(colour));
  unique_pen pen(CreatePen(PS_SOLID, 1, colour));
  scoped_select brush_chosen(dc, brush.get());
  scoped_select pen_chosen(dc, pen.get());
  RoundRect(dc, r.left, r.top, r.right, r.bottom, corner, corner);
}

void outline_round_rect(HDC dc, const RECT& r, int corner, COLORREF colour) {
  unique_pen pen(CreatePen(PS_SOLID, 1, colour));
  scoped_select pen_chosen(dc, pen.get());
  scoped_select brush_chosen(dc, GetStockObject(NULL_BRUSH));
  RoundRect(dc, r.left, r.top, r.right, r.bottom, corner, corner);
}

void draw_text(HDC dc, const char16_t* text, RECT r, HFONT font, COLORREF colour, UINT flags) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  scoped_select font_chosen(dc, font);
  DrawTextW(dc, reinterpret_cast<const wchar_t*>(text), -1, &r, flags);
}

void draw_header(HDC dc, int width) {
  fill_rect(dc, header_rect, header_colour);
  fill_rect(dc, {0, header_rect.bottom - 1, width, header_rect.bottom}, outline_colour);

  const RECT logo_square{24, 22, 64, 62};
  fill_round_rect(dc, logo_square, 10, logo_colour);
  outline_round_rect(dc, logo_square, 10, outline_colour);
  if (logo_icon) {
    DrawIconEx(dc, 30, 28, logo_icon, 28, 28, 0, nullptr, DI_NORMAL);
  } else {
    draw_text(dc, u"\u2726", logo_square, symbol_font, accent_colour, centred_flags);
  }

  draw_text(dc, u"Morvane", {76, 22, language_rect.left - 8, 48}, title_font, bright_text,
            left_flags);
  draw_text(dc, ui_text("sub"), {76, 48, language_rect.left - 8, 70}, small_font, muted_text,
            left_flags);

  bool hovered = hovered_zone == zone_language;
  fill_round_rect(dc, language_rect, 8, hovered ? surface_hover_colour : surface_colour);
  outline_round_rect(dc, language_rect, 8, outline_colour);
  draw_text(dc, ui_text("lang"), language_rect, small_font, hovered ? bright_text : secondary_text,
            centred_flags);
}

void draw_key_field(HDC dc) {
  draw_text(dc, ui_text("key"), {24, 104, 416, 122}, small_font, secondary_text, left_flags);
  outline_round_rect(dc, {23, 130, 417, 166}, 8, outline_colour);

  const RECT& s = show_key_rect;
  const RECT box{s.left, s.top + 3, s.left + 16, s.top + 19};
  fill_round_rect(dc, box, 4, surface_colour);
  outline_round_rect(dc, box, 4, key_visible ? accent_colour : outline_colour);
  if (key_visible) draw_text(dc, u"\u2713", box, small_font, accent_colour, centred_flags);
  draw_text(dc, ui_text("show"), {s.left + 22, s.top, s.right + 40, s.bottom}, small_font,
            muted_text, left_flags);
}

void draw_platforms(HDC dc) {
  draw_text(dc, ui_text("mode"), {24, cli_rect.top - 26, 416, cli_rect.top - 8}, small_font,
            secondary_text, left_flags);
  draw_mode_card(dc, cli_rect, selected_mode == u"cli", hovered_zone == zone_cli, ui_text("cli"),
                 ui_text("cli_d"));
  draw_mode_card(dc, app_rect, selected_mode == u"app", hovered_zone == zone_app, ui_text("app"),
                 ui_text("app_d"));
}

void draw_buttons(HDC dc) {
  draw_button(dc, sign_in_rect, ui_text("login"), true, hovered_zone == zone_sign_in,
              pressed_zone == zone_sign_in);
  draw_button(dc, reset_rect, ui_text("reset"), false, hovered_zone == zone_reset,
              pressed_zone == zone_reset);
}

void draw_status(HDC dc) {
  const RECT& s = status_rect;
  fill_round_rect(dc, s, 10, signed_in ? signed_in_colour : surface_colour);
  outline_round_rect(dc, s, 10, signed_in ? signed_in_outline_colour : outline_colour);
  draw_text(dc, ui_text("status"), {s.left + 14, s.top + 10, s.right - 14, s.top + 28}, small_font,
            muted_text, left_flags);
  draw_text(dc, u"\u25CF", {s.left + 14, s.top + 36, s.left + 26, s.top + 48}, small_font,
            signed_in ? signed_in_dot_colour : muted_text, centred_flags);
  draw_text(dc, status_line.c_str(), {s.left + 28, s.top + 32, s.right - 14, s.top + 50}, body_font,
            signed_in ? bright_text : secondary_text, left_flags);
  if (!key_line.empty()) {
    draw_text(dc, key_line.c_str(), {s.left + 28, s.top + 48, s.right - 14, s.bottom - 8},
              small_font, muted_text, left_flags);
  }
}

void draw_footer(HDC dc) {
  draw_text(dc, ui_text("footer"), footer_rect, small_font, footer_text, wrapped_flags);
  draw_text(dc, u"v" MORVANE_VERSION_WIDE, {24, 484, 120, 504}, small_font, version_text,
            left_flags);
}

}  // namespace

void draw_mode_card(HDC dc, const RECT& r, bool selected, bool hovered, const char16_t* title,
                    const char16_t* description) {
  COLORREF surface = selected ? selected_colour : hovered ? surface_hover_colour : surface_colour;
  fill_round_rect(dc, r, 10, surface);
  outline_round_rect(dc, r, 10, selected ? accent_colour : outline_colour);
  if (selected) fill_rect(dc, {r.left + 1, r.top + 10, r.left + 4, r.bottom - 10}, accent_colour);
  draw_text(dc, title, {r.left + 14, r.top + 12, r.right - 10, r.top + 34}, label_font,
            selected ? bright_text : secondary_text, left_flags);
  draw_text(dc, description, {r.left + 14, r.top + 34, r.right - 10, r.bottom - 10}, small_font,
            muted_text, left_flags);
}

void draw_button(HDC dc, const RECT& r, const char16_t* caption, bool primary, bool hovered,
                 bool pressed) {
  COLORREF surface = primary ? (pressed   ? accent_pressed_colour
                                : hovered ? accent_hover_colour
                                          : accent_colour)
                             : (pressed   ? surface_pressed_colour
                                : hovered ? surface_hover_colour
                                          : surface_colour);
  fill_round_rect(dc, r, 10, surface);
  if (!primary) outline_round_rect(dc, r, 10, outline_colour);
  draw_text(dc, caption, r, label_font, primary ? white_text : secondary_text, centred_flags);
}

void paint_client(HDC dc, int width, int height) {
  fill_rect(dc, {0, 0, width, height}, background_colour);
  draw_header(dc, width);
  draw_key_field(dc);
  draw_platforms(dc);
  draw_buttons(dc);
  draw_status(dc);
  draw_footer(dc);
}

LRESULT paint_window(HWND window) {
  scoped_paint paint(window);
  RECT client{};
  GetClientRect(window, &client);
  int width = client.right;
  int height = client.bottom;
  // Declared so that they unwind as: deselect the bitmap, delete it, delete the DC.
  unique_memory_dc memory(CreateCompatibleDC(paint.dc()));
  unique_bitmap bitmap(CreateCompatibleBitmap(paint.dc(), width, height));
  scoped_select bitmap_chosen(memory.get(), bitmap.get());
  paint_client(memory.get(), width, height);
  BitBlt(paint.dc(), 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
  return 0;
}
