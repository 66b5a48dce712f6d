#pragma once
// Text types shared by the engine: wide text is UTF-16 on every platform
// (wchar_t is 32-bit on Linux), byte text is a plain 8-bit string.
#include <string>

using wide = std::u16string;
using bytes = std::string;
