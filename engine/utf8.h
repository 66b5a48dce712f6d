#pragma once
// The UTF-8 codec of hosts without WideCharToMultiByte and
// MultiByteToWideChar: text in, text out, the same results as those calls.
#include "wide.h"

// A lone surrogate becomes U+FFFD.
bytes utf8_from_utf16(const wide& text);
// Each maximal ill-formed subpart becomes one U+FFFD.
wide utf16_from_utf8(const bytes& text);
// One Unicode scalar value, appended as UTF-8.
void append_utf8(bytes& out, char32_t code);
