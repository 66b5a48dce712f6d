#include "paint.h"

#include "catalogue.h"
#include "layout.h"
#include "palette.h"
#include "resources.h"
#include "unique_handle.h"
#include "version.h"
#include "window_commands.h"
#include "window_state.h"

namespace {

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

void draw_text(HDC dc, const char16_t* text, RECT r, const unique_font& font, COLORREF colour,
               UINT flags) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  scoped_select font_chosen(dc, font.get());
  DrawTextW(dc, reinterpret_cast<const wchar_t*>(text), -1, &r, flags);
}

void draw_header(HDC dc, int width) {
  fill_rect(dc, header_rect, header_colour);
  fill_rect(dc, {0, header_rect.bottom - 1, width, header_rect.bottom}, outline_colour);

  fill_round_rect(dc, logo_square_rect, card_corner, logo_colour);
  outline_round_rect(dc, logo_square_rect, card_corner, outline_colour);
  if (logo_icon) {
    DrawIconEx(dc, logo_icon_origin.x, logo_icon_origin.y, logo_icon, logo_icon_size,
               logo_icon_size, 0, nullptr, DI_NORMAL);
  } else {
    draw_text(dc, u"\u2726", logo_square_rect, symbol_font, accent_colour, centred_flags);
  }

  draw_text(dc, u"Morvane", title_rect, title_font, bright_text, left_flags);
  draw_text(dc, ui_text("sub"), subtitle_rect, small_font, muted_text, left_flags);

  bool hovered = hovered_zone == zone_language;
  fill_round_rect(dc, language_rect, chip_corner, hovered ? surface_hover_colour : surface_colour);
  outline_round_rect(dc, language_rect, chip_corner, outline_colour);
  draw_text(dc, ui_text("lang"), language_rect, small_font, hovered ? bright_text : secondary_text,
            centred_flags);
}

void draw_key_field(HDC dc) {
  draw_text(dc, ui_text("key"), key_label_rect, small_font, secondary_text, left_flags);
  outline_round_rect(dc, key_frame_rect, chip_corner, outline_colour);

  fill_round_rect(dc, show_key_box_rect, box_corner, surface_colour);
  outline_round_rect(dc, show_key_box_rect, box_corner,
                     key_visible ? accent_colour : outline_colour);
  if (key_visible)
    draw_text(dc, u"\u2713", show_key_box_rect, small_font, accent_colour, centred_flags);
  draw_text(dc, ui_text("show"), show_key_label_rect, small_font, muted_text, left_flags);
}

void draw_mode_card(HDC dc, const RECT& r, bool selected, bool hovered, const char16_t* title,
                    const char16_t* description) {
  COLORREF surface = selected ? selected_colour : hovered ? surface_hover_colour : surface_colour;
  fill_round_rect(dc, r, card_corner, surface);
  outline_round_rect(dc, r, card_corner, selected ? accent_colour : outline_colour);
  if (selected) fill_rect(dc, card_bar_rect(r), accent_colour);
  draw_text(dc, title, card_title_rect(r), label_font, selected ? bright_text : secondary_text,
            left_flags);
  draw_text(dc, description, card_description_rect(r), small_font, muted_text, left_flags);
}

void draw_button(HDC dc, const RECT& r, const char16_t* caption, bool primary, bool hovered,
                 bool pressed) {
  COLORREF surface = primary ? (pressed   ? accent_pressed_colour
                                : hovered ? accent_hover_colour
                                          : accent_colour)
                             : (pressed   ? surface_pressed_colour
                                : hovered ? surface_hover_colour
                                          : surface_colour);
  fill_round_rect(dc, r, card_corner, surface);
  if (!primary) outline_round_rect(dc, r, card_corner, outline_colour);
  draw_text(dc, caption, r, label_font, primary ? white_text : secondary_text, centred_flags);
}

void draw_platforms(HDC dc) {
  draw_text(dc, ui_text("mode"), platform_heading_rect, small_font, secondary_text, left_flags);
  draw_mode_card(dc, cli_rect, selected_mode == platform::cli, hovered_zone == zone_cli,
                 ui_text("cli"), ui_text("cli_d"));
  draw_mode_card(dc, app_rect, selected_mode == platform::desktop, hovered_zone == zone_app,
                 ui_text("app"), ui_text("app_d"));
}

void draw_buttons(HDC dc) {
  draw_button(dc, sign_in_rect, ui_text("login"), true, hovered_zone == zone_sign_in,
              pressed_zone == zone_sign_in);
  draw_button(dc, reset_rect, ui_text("reset"), false, hovered_zone == zone_reset,
              pressed_zone == zone_reset);
}

void draw_status(HDC dc) {
  fill_round_rect(dc, status_rect, card_corner, signed_in ? signed_in_colour : surface_colour);
  outline_round_rect(dc, status_rect, card_corner,
                     signed_in ? signed_in_outline_colour : outline_colour);
  draw_text(dc, ui_text("status"), status_heading_rect, small_font, muted_text, left_flags);
  draw_text(dc, u"\u25CF", status_dot_rect, small_font,
            signed_in ? signed_in_dot_colour : muted_text, centred_flags);
  draw_text(dc, status_line.c_str(), status_line_rect, body_font,
            signed_in ? bright_text : secondary_text, left_flags);
  if (!key_line.empty())
    draw_text(dc, key_line.c_str(), key_line_rect, small_font, muted_text, left_flags);
}

void draw_footer(HDC dc) {
  draw_text(dc, ui_text("footer"), footer_rect, small_font, footer_text, wrapped_flags);
  draw_text(dc, u"v" MORVANE_VERSION_TEXT, version_rect, small_font, version_text, left_flags);
}

}  // namespace

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
