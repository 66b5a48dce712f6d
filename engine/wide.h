#pragma once
// Text types shared by the engine: wide text is UTF-16 on every platform
// (wchar_t is 32-bit on Linux), byte text is a plain 8-bit string.
#include <string>

using wide = std::u16string;
using bytes = std::string;

// Some editors start UTF-8 files with a byte-order mark; readers drop it.
inline bool starts_with_byte_order_mark(const bytes& text) {
  return text.compare(0, 3, "\xEF\xBB\xBF") == 0;
}

// ASCII letters in lower case, everything else as it stands: schemes, file
// endings and other names that compare without regard to case.
template <typename text_type>
text_type lower_case(text_type text) {
  for (auto& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<typename text_type::value_type>(c + ('a' - 'A'));
  }
  return text;
}

#ifdef _WIN32
// Wide text as the Win32 calls take it: wchar_t is UTF-16 on Windows.
inline const wchar_t* win(const wide& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}
#endif
