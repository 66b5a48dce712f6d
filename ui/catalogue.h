#pragma once
// Every language-dependent text of the interface, Vietnamese and English.

enum : unsigned char { language_english = 0, language_vietnamese = 1 };
extern unsigned char ui_language;  // Vietnamese at start; any other value reads as English

// The language chip's command: Vietnamese to English and back.
void switch_language();

// Constant text for the key in the current language; "" for unknown keys.
const char16_t* ui_text(const char* key);
// Likewise for the texts only the command line shows.
const char16_t* command_line_text(const char* key);
