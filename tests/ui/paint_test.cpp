// Painting checked pixel by pixel against the palette, on an off-screen
// 32-bit image that reads back exactly.
#include "paint.h"

#include <cstdint>

#include "resources.h"
#include "status.h"
#include "ui_test_support.h"
#include "window.h"

namespace {

COLORREF hex(std::uint32_t rrggbb) {
  return RGB(rrggbb >> 16, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF);
}

const COLORREF accent = hex(0x3B82F6);
const COLORREF outline = hex(0x243042);
const COLORREF surface = hex(0x161E2C);
const COLORREF surface_hover = hex(0x1C2638);
const COLORREF selected_surface = hex(0x16243A);

class paint_tests : public window_test {
 protected:
  void SetUp() override {
    window_test::SetUp();
    open_window(false);
    signed_in = false;
    status_line = u"Not signed in";
    key_line.clear();
    selected_mode = u"app";
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

  EXPECT_EQ(image.at(5, 100), hex(0x0B0F16));  // background
  EXPECT_EQ(image.at(439, 519), hex(0x0B0F16));
  EXPECT_EQ(image.at(200, 80), hex(0x111827));  // header band
  EXPECT_EQ(image.at(0, 87), outline);          // header rule
  EXPECT_EQ(image.at(439, 87), outline);
  EXPECT_EQ(image.at(26, 42), hex(0x142034));  // logo square
  EXPECT_EQ(image.at(24, 42), outline);
  EXPECT_EQ(image.at(23, 148), outline);  // key field frame
  EXPECT_EQ(image.at(416, 148), outline);
  EXPECT_EQ(image.at(200, 130), outline);
}

TEST_F(paint_tests, cards_show_selection_over_hover) {
  struct look {
    const char16_t* mode;
    int hovered;
    COLORREF cli_surface, app_surface;
  };
  const look looks[] = {
      {u"cli", 0, selected_surface, surface},
      {u"app", 0, surface, selected_surface},
      {u"app", zone_cli, surface_hover, selected_surface},
      {u"app", zone_app, surface, selected_surface},
      {u"", zone_app, surface, surface_hover},
      {u"CLI", 0, surface, surface},
  };
  for (const look& l : looks) {
    selected_mode = l.mode;
    hovered_zone = l.hovered;
    image.paint();
    bool cli = selected_mode == u"cli";
    bool app = selected_mode == u"app";
    SCOPED_TRACE(testing::Message() << "mode " << selected_mode.size() << " hovered " << l.hovered);
    EXPECT_EQ(image.at(200, 240), l.cli_surface);
    EXPECT_EQ(image.at(400, 240), l.app_surface);
    EXPECT_EQ(image.at(24, 263), cli ? accent : outline);  // outline
    EXPECT_EQ(image.at(225, 263), app ? accent : outline);
    EXPECT_EQ(image.at(26, 263), cli ? accent : l.cli_surface);  // bar
    EXPECT_EQ(image.at(227, 263), app ? accent : l.app_surface);
    EXPECT_EQ(image.at(26, 240), l.cli_surface);  // the bar stops 10 pixels short
  }
}

TEST_F(paint_tests, buttons_at_rest_hovered_and_pressed) {
  struct look {
    int hovered, pressed;
    COLORREF sign_in, reset;
  };
  const look looks[] = {
      {0, 0, accent, surface},
      {zone_sign_in, 0, hex(0x468CFA), surface},
      {zone_reset, 0, accent, surface_hover},
      {zone_sign_in, zone_sign_in, hex(0x2563EB), surface},
      {0, zone_sign_in, hex(0x2563EB), surface},
      {zone_reset, zone_reset, accent, hex(0x233044)},
      {0, zone_reset, accent, hex(0x233044)},
  };
  for (const look& l : looks) {
    hovered_zone = l.hovered;
    pressed_zone = l.pressed;
    image.paint();
    SCOPED_TRACE(testing::Message() << "hovered " << l.hovered << " pressed " << l.pressed);
    EXPECT_EQ(image.at(30, 329), l.sign_in);
    EXPECT_EQ(image.at(24, 329), l.sign_in);  // no separate outline
    EXPECT_EQ(image.at(188, 329), l.reset);
    EXPECT_EQ(image.at(182, 329), outline);
  }
}

TEST_F(paint_tests, language_chip_and_show_key_box) {
  image.paint();
  EXPECT_EQ(image.at(371, 41), surface);
  EXPECT_EQ(image.at(368, 41), outline);
  EXPECT_EQ(image.at(24, 183), outline);
  EXPECT_EQ(image.count({25, 176, 39, 190}, accent), 0);

  hovered_zone = zone_language;
  key_visible = 1;
  image.paint();
  EXPECT_EQ(image.at(371, 41), surface_hover);
  EXPECT_EQ(image.at(368, 41), outline);
  EXPECT_EQ(image.at(24, 183), accent);
  EXPECT_GT(image.count({25, 176, 39, 190}, accent), 0);  // the tick

  hovered_zone = zone_show_key;  // no hover look
  image.paint();
  EXPECT_EQ(image.at(26, 177), surface);
}

TEST_F(paint_tests, status_card_signed_in_and_out) {
  image.paint();
  EXPECT_EQ(image.at(408, 400), surface);
  EXPECT_EQ(image.at(24, 400), outline);
  EXPECT_GT(image.count({40, 404, 48, 412}, hex(0x64748B)), 0);  // dot
  // Nothing below the status line while key_line is empty.
  EXPECT_EQ(image.count({52, 416, 402, 426}, surface), 350 * 10);

  signed_in = true;
  status_line = u"Signed in  \u00B7  CLI";
  key_line = u"Key: sk-saved-key-0123";
  image.paint();
  EXPECT_EQ(image.at(408, 400), hex(0x06281C));
  EXPECT_EQ(image.at(24, 400), hex(0x105A37));
  EXPECT_GT(image.count({40, 404, 48, 412}, hex(0x10B981)), 0);
  EXPECT_LT(image.count({52, 416, 402, 426}, hex(0x06281C)), 350 * 10);
}

TEST_F(paint_tests, logo_falls_back_to_the_glyph) {
  const RECT inside{25, 23, 63, 61};
  HICON icon = logo_icon;
  logo_icon = nullptr;
  image.paint();
  logo_icon = icon;
  EXPECT_GT(image.count(inside, accent), 0);
  EXPECT_EQ(image.at(26, 42), hex(0x142034));
}

TEST_F(paint_tests, paint_message_fills_the_window) {
  ShowWindow(main_window, SW_SHOW);
  InvalidateRect(main_window, nullptr, FALSE);
  UpdateWindow(main_window);
  HDC dc = GetDC(main_window);
  EXPECT_EQ(GetPixel(dc, 5, 100), hex(0x0B0F16));
  EXPECT_EQ(GetPixel(dc, 30, 329), accent);
  ReleaseDC(main_window, dc);
  EXPECT_FALSE(repaint_requested());
}

}  // namespace
