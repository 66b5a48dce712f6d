// Painting checked pixel by pixel against the palette, on an off-screen
// 32-bit image that reads back exactly.
#include "paint.h"

#include "layout.h"
#include "palette.h"
#include "resources.h"
#include "status.h"
#include "ui_test_support.h"
#include "window.h"
#include "window_commands.h"

namespace {

class paint_tests : public window_test {
 protected:
  void SetUp() override {
    window_test::SetUp();
    open_window(false);
    signed_in = false;
    status_line = u"Not signed in";
    key_line.clear();
    selected_mode = platform::desktop;
  }
  canvas image{client_width, client_height};
};

TEST_F(paint_tests, fixed_parts_and_restored_selections) {
  HGDIOBJ pen = GetCurrentObject(image.dc(), OBJ_PEN);
  HGDIOBJ brush = GetCurrentObject(image.dc(), OBJ_BRUSH);
  HGDIOBJ font = GetCurrentObject(image.dc(), OBJ_FONT);
  image.paint();
  EXPECT_EQ(GetCurrentObject(image.dc(), OBJ_PEN), pen);
  EXPECT_EQ(GetCurrentObject(image.dc(), OBJ_BRUSH), brush);
  EXPECT_EQ(GetCurrentObject(image.dc(), OBJ_FONT), font);

  EXPECT_EQ(image.at({5, header_rect.bottom + 12}), background_colour);
  EXPECT_EQ(image.at({client_width - 1, client_height - 1}), background_colour);
  EXPECT_EQ(image.at({middle(header_rect).x, subtitle_rect.bottom + 4}), header_colour);
  EXPECT_EQ(image.at({0, header_rect.bottom - 1}), outline_colour);  // header rule
  EXPECT_EQ(image.at({client_width - 1, header_rect.bottom - 1}), outline_colour);
  const int logo_row = middle(logo_square_rect).y;
  EXPECT_EQ(image.at({logo_square_rect.left + 2, logo_row}), logo_colour);
  EXPECT_EQ(image.at({logo_square_rect.left, logo_row}), outline_colour);
  const int frame_row = middle(key_frame_rect).y;
  EXPECT_EQ(image.at({key_frame_rect.left, frame_row}), outline_colour);
  EXPECT_EQ(image.at({key_frame_rect.right - 1, frame_row}), outline_colour);
  EXPECT_EQ(image.at({middle(key_frame_rect).x, key_frame_rect.top}), outline_colour);
}

TEST_F(paint_tests, cards_show_selection_over_hover) {
  struct look {
    platform mode;
    int hovered;
    COLORREF cli_surface, app_surface;
  };
  const look looks[] = {
      {platform::cli, 0, selected_colour, surface_colour},
      {platform::desktop, 0, surface_colour, selected_colour},
      {platform::desktop, zone_cli, surface_hover_colour, selected_colour},
      {platform::desktop, zone_app, surface_colour, selected_colour},
      {platform::cli, zone_app, selected_colour, surface_hover_colour},
  };
  const int row = middle(cli_rect).y;
  const int above_bar = cli_rect.top + 6;  // the bar stops 10 pixels short
  for (const look& l : looks) {
    selected_mode = l.mode;
    hovered_zone = l.hovered;
    image.paint();
    bool cli = selected_mode == platform::cli;
    bool app = selected_mode == platform::desktop;
    SCOPED_TRACE(testing::Message()
                 << "mode " << mode_name(selected_mode) << " hovered " << l.hovered);
    EXPECT_EQ(image.at({cli_rect.right - 15, above_bar}), l.cli_surface);
    EXPECT_EQ(image.at({app_rect.right - 16, above_bar}), l.app_surface);
    EXPECT_EQ(image.at({cli_rect.left, row}), cli ? accent_colour : outline_colour);
    EXPECT_EQ(image.at({app_rect.left, row}), app ? accent_colour : outline_colour);
    EXPECT_EQ(image.at({card_bar_rect(cli_rect).left + 1, row}),
              cli ? accent_colour : l.cli_surface);
    EXPECT_EQ(image.at({card_bar_rect(app_rect).left + 1, row}),
              app ? accent_colour : l.app_surface);
    EXPECT_EQ(image.at({card_bar_rect(cli_rect).left + 1, above_bar}), l.cli_surface);
  }
}

TEST_F(paint_tests, buttons_at_rest_hovered_and_pressed) {
  struct look {
    int hovered, pressed;
    COLORREF sign_in, reset;
  };
  const look looks[] = {
      {0, 0, accent_colour, surface_colour},
      {zone_sign_in, 0, accent_hover_colour, surface_colour},
      {zone_reset, 0, accent_colour, surface_hover_colour},
      {zone_sign_in, zone_sign_in, accent_pressed_colour, surface_colour},
      {0, zone_sign_in, accent_pressed_colour, surface_colour},
      {zone_reset, zone_reset, accent_colour, surface_pressed_colour},
      {0, zone_reset, accent_colour, surface_pressed_colour},
  };
  const int row = middle(sign_in_rect).y;
  for (const look& l : looks) {
    hovered_zone = l.hovered;
    pressed_zone = l.pressed;
    image.paint();
    SCOPED_TRACE(testing::Message() << "hovered " << l.hovered << " pressed " << l.pressed);
    EXPECT_EQ(image.at({sign_in_rect.left + 6, row}), l.sign_in);
    EXPECT_EQ(image.at({sign_in_rect.left, row}), l.sign_in);  // no separate outline
    EXPECT_EQ(image.at({reset_rect.left + 6, row}), l.reset);
    EXPECT_EQ(image.at({reset_rect.left, row}), outline_colour);
  }
}

TEST_F(paint_tests, language_chip_and_show_key_box) {
  const POINT chip_surface{language_rect.left + 3, middle(language_rect).y};
  const POINT chip_edge{language_rect.left, middle(language_rect).y};
  const POINT box_edge{show_key_box_rect.left, middle(show_key_box_rect).y};
  const RECT box_inside = inset(show_key_box_rect, 1);
  image.paint();
  EXPECT_EQ(image.at(chip_surface), surface_colour);
  EXPECT_EQ(image.at(chip_edge), outline_colour);
  EXPECT_EQ(image.at(box_edge), outline_colour);
  EXPECT_EQ(image.count(box_inside, accent_colour), 0);

  hovered_zone = zone_language;
  key_visible = 1;
  image.paint();
  EXPECT_EQ(image.at(chip_surface), surface_hover_colour);
  EXPECT_EQ(image.at(chip_edge), outline_colour);
  EXPECT_EQ(image.at(box_edge), accent_colour);
  EXPECT_GT(image.count(box_inside, accent_colour), 0);  // the tick

  hovered_zone = zone_show_key;  // no hover look
  image.paint();
  EXPECT_EQ(image.at({show_key_box_rect.left + 2, show_key_box_rect.top + 2}), surface_colour);
}

TEST_F(paint_tests, status_card_signed_in_and_out) {
  const POINT card_surface{status_rect.right - 8, middle(status_rect).y};
  const POINT card_edge{status_rect.left, middle(status_rect).y};
  const RECT dot = inset(status_dot_rect, 2);
  // Below the status line, where only the key line is drawn.
  const RECT below{key_line_rect.left, status_line_rect.bottom, key_line_rect.right,
                   key_line_rect.bottom};
  image.paint();
  EXPECT_EQ(image.at(card_surface), surface_colour);
  EXPECT_EQ(image.at(card_edge), outline_colour);
  EXPECT_GT(image.count(dot, muted_text), 0);
  EXPECT_EQ(image.count(below, surface_colour), area(below)) << "nothing while key_line is empty";

  signed_in = true;
  status_line = u"Signed in  \u00B7  CLI";
  key_line = u"Key: sk-saved-key-0123";
  image.paint();
  EXPECT_EQ(image.at(card_surface), signed_in_colour);
  EXPECT_EQ(image.at(card_edge), signed_in_outline_colour);
  EXPECT_GT(image.count(dot, signed_in_dot_colour), 0);
  EXPECT_LT(image.count(below, signed_in_colour), area(below));
}

TEST_F(paint_tests, logo_falls_back_to_the_glyph) {
  HICON icon = logo_icon;
  logo_icon = nullptr;
  image.paint();
  logo_icon = icon;
  EXPECT_GT(image.count(inset(logo_square_rect, 1), accent_colour), 0);
  EXPECT_EQ(image.at({logo_square_rect.left + 2, middle(logo_square_rect).y}), logo_colour);
}

TEST_F(paint_tests, paint_message_fills_the_window) {
  ShowWindow(main_window, SW_SHOW);
  InvalidateRect(main_window, nullptr, FALSE);
  UpdateWindow(main_window);
  const scoped_window_dc dc(main_window);
  EXPECT_EQ(GetPixel(dc.get(), 5, header_rect.bottom + 12), background_colour);
  EXPECT_EQ(GetPixel(dc.get(), sign_in_rect.left + 6, middle(sign_in_rect).y), accent_colour);
  EXPECT_FALSE(repaint_requested());
}

}  // namespace
