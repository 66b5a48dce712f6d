#pragma once
// Every fixed position of the main window, in client pixels, rectangles
// (left, top, right, bottom) with right and bottom exclusive. The window,
// its painting and the tests all take their coordinates from here.
#include <windows.h>

constexpr int client_width = 440;
constexpr int client_height = 520;

// The nine rectangles the window is laid out in; six of them are zones.
constexpr RECT header_rect{0, 0, 440, 88};
constexpr RECT language_rect{368, 28, 416, 54};
constexpr RECT show_key_rect{24, 172, 144, 194};
constexpr RECT cli_rect{24, 234, 215, 292};
constexpr RECT app_rect{225, 234, 416, 292};
constexpr RECT sign_in_rect{24, 310, 172, 348};
constexpr RECT reset_rect{182, 310, 270, 348};
constexpr RECT status_rect{24, 366, 416, 434};
constexpr RECT footer_rect{24, 448, 416, 488};

// The key field, a child EDIT control, and what is painted around it.
constexpr RECT key_edit_rect{30, 136, 410, 160};
constexpr RECT key_frame_rect{23, 130, 417, 166};
constexpr RECT key_label_rect{24, 104, 416, 122};

// Header: the logo square with the icon (or a glyph) in it, title, subtitle.
constexpr RECT logo_square_rect{24, 22, 64, 62};
constexpr POINT logo_icon_origin{30, 28};
constexpr int logo_icon_size = 28;
constexpr RECT title_rect{76, 22, language_rect.left - 8, 48};
constexpr RECT subtitle_rect{76, 48, language_rect.left - 8, 70};

// The tick box and its label inside the show-key zone.
constexpr RECT show_key_box_rect{show_key_rect.left, show_key_rect.top + 3, show_key_rect.left + 16,
                                 show_key_rect.top + 19};
constexpr RECT show_key_label_rect{show_key_rect.left + 22, show_key_rect.top,
                                   show_key_rect.right + 40, show_key_rect.bottom};

constexpr RECT platform_heading_rect{24, cli_rect.top - 26, 416, cli_rect.top - 8};

// Inside a platform card: the selection bar along its left edge, the
// title and the description.
constexpr RECT card_bar_rect(const RECT& card) {
  return {card.left + 1, card.top + 10, card.left + 4, card.bottom - 10};
}
constexpr RECT card_title_rect(const RECT& card) {
  return {card.left + 14, card.top + 12, card.right - 10, card.top + 34};
}
constexpr RECT card_description_rect(const RECT& card) {
  return {card.left + 14, card.top + 34, card.right - 10, card.bottom - 10};
}

// Inside the status card.
constexpr RECT status_heading_rect{status_rect.left + 14, status_rect.top + 10,
                                   status_rect.right - 14, status_rect.top + 28};
constexpr RECT status_dot_rect{status_rect.left + 14, status_rect.top + 36, status_rect.left + 26,
                               status_rect.top + 48};
constexpr RECT status_line_rect{status_rect.left + 28, status_rect.top + 32, status_rect.right - 14,
                                status_rect.top + 50};
constexpr RECT key_line_rect{status_rect.left + 28, status_rect.top + 48, status_rect.right - 14,
                             status_rect.bottom - 8};

// Drawn after the footer, over its last four rows.
constexpr RECT version_rect{24, 484, 120, 504};

// Corner sizes of the rounded rectangles.
constexpr int card_corner = 10;  // cards, buttons, status card, logo square
constexpr int chip_corner = 8;   // language chip, key field frame
constexpr int box_corner = 4;    // show-key tick box

constexpr bool contains(const RECT& r, int x, int y) {
  return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}
