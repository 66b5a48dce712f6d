// UTF-8 and UTF-16 converted into each other with the results the Windows
// calls give, for hosts that have no such calls.
#include "utf8.h"

void append_utf8(bytes& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Same results as WideCharToMultiByte(CP_UTF8, 0): a lone surrogate becomes
// U+FFFD.
bytes utf8_from_utf16(const wide& text) {
  bytes out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    append_utf8(out, c);
  }
  return out;
}

// Same results as MultiByteToWideChar(CP_UTF8, 0): each maximal ill-formed
// subpart becomes one U+FFFD.
wide utf16_from_utf8(const bytes& text) {
  wide out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    unsigned char lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) {
      out += static_cast<char16_t>(lead);
      continue;
    }
    int trail;
    unsigned char low = 0x80, high = 0xBF;  // bounds of the first trail byte
    char32_t c;
    if (lead >= 0xC2 && lead <= 0xDF) {
      trail = 1;
      c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      trail = 2;
      c = lead & 0x0F;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      trail = 3;
      c = lead & 0x07;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      out += u'\xFFFD';
      continue;
    }
    bool complete = true;
    for (int k = 0; k < trail; ++k) {
      unsigned char b = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
      if (i >= text.size() || b < low || b > high) {
        complete = false;
        break;
      }
      c = (c << 6) | (b & 0x3F);
      ++i;
      low = 0x80;
      high = 0xBF;
    }
    if (!complete) {
      out += u'\xFFFD';
    } else if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}
