#pragma once
// Every language-dependent text of the interface, Vietnamese and English,
// and the few fixed pieces shown beside them.
#include <string>

enum : unsigned char { language_english = 0, language_vietnamese = 1 };
extern unsigned char ui_language;  // Vietnamese at start; any other value reads as English

// The language chip's command: Vietnamese to English and back.
void switch_language();

// Constant text for the key in the current language; "" for unknown keys.
const char16_t* ui_text(const char* key);
// Likewise for the texts only the command line shows.
const char16_t* command_line_text(const char* key);
// What a command could not do, as the line under a failure says it in both
// programs: the text for the engine's name of the fault, the path, and the
// system's reason after a colon when it gave one ("cannot write
// /home/ana/.codex/auth.json: Is a directory").
std::u16string failure_detail(const char* fault_name, const std::u16string& path,
                              const std::u16string& reason);

// Starts the status card's second line, in both languages.
constexpr char16_t key_line_prefix[] = u"Key: ";
// The status card's first line: the signed-in text and the platform's name,
// by the name the marker file gives it ("cli" or "app"); the idle text for
// null.
std::u16string status_text(const char* mode_name);
