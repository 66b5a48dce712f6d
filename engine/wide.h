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
