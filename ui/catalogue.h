#pragma once
// Every language-dependent text of the interface, Vietnamese and English.

extern unsigned char ui_language;  // 1 Vietnamese (at start), else English

// Constant text for the key in the current language; "" for unknown keys.
const char16_t* ui_text(const char* key);
