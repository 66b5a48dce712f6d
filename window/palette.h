#pragma once
// The window's colours, as the platform stores them (0x00BBGGRR). Painting,
// the key field's colours and the tests all take them from here.
#include <windows.h>

constexpr COLORREF background_colour = RGB(0x0B, 0x0F, 0x16);
constexpr COLORREF header_colour = RGB(0x11, 0x18, 0x27);
constexpr COLORREF outline_colour = RGB(0x24, 0x30, 0x42);  // header rule, neutral outlines
constexpr COLORREF logo_colour = RGB(0x14, 0x20, 0x34);
constexpr COLORREF accent_colour = RGB(0x3B, 0x82, 0xF6);  // also Sign in at rest
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
// The key field: bright text on its own dark background.
constexpr COLORREF key_field_text = bright_text;
constexpr COLORREF key_field_background = RGB(0x14, 0x1C, 0x2A);
