// The terminal on Windows: the console when there is one, pipes and files
// otherwise.
#include <windows.h>

#include <cstdlib>
#include <cwchar>

#include "console.h"
#include "host.h"
#include "unique_handle.h"

namespace {

HANDLE handle_of(out_stream stream) {
  return GetStdHandle(stream == out_stream::output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool is_console(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

// Reads what is there, up to limit + 1 bytes, so that too much shows; stops
// at a line feed when `one_line`.
input_result read_from(HANDLE handle, bool one_line, bytes& out) {
  out.clear();
  char chunk[4096];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(handle, chunk, one_line ? 1 : sizeof chunk, &got, nullptr)) {
      // A pipe whose writer has gone is the end of the input.
      if (GetLastError() == ERROR_BROKEN_PIPE) break;
      return input_result::unreadable;
    }
    if (got == 0) break;
    if (one_line && chunk[0] == '\n') break;
    out.append(chunk, got);
    if (out.size() > max_key_input) return input_result::too_large;
  }
  return input_result::read;
}

// A line typed at the console, read as UTF-16 so that any character comes
// through whatever the console's code page.
input_result read_console_line(HANDLE input, bytes& line) {
  wide typed;
  wchar_t unit = 0;
  DWORD got = 0;
  while (ReadConsoleW(input, &unit, 1, &got, nullptr) && got == 1 && unit != L'\n') {
    typed += static_cast<char16_t>(unit);
    if (typed.size() > max_key_input) return input_result::too_large;
  }
  line = to_utf8(typed);
  return input_result::read;
}

}  // namespace

void prepare_standard_streams() {}

bool input_is_terminal() {
  return is_console(GetStdHandle(STD_INPUT_HANDLE));
}

bool is_terminal(out_stream stream) {
  return is_console(handle_of(stream));
}

bool shows_colour(out_stream stream) {
  const HANDLE handle = handle_of(stream);
  DWORD mode = 0;
  const char* no_colour = std::getenv("NO_COLOR");
  if ((no_colour != nullptr && *no_colour != '\0') || !is_console(handle) ||
      !GetConsoleMode(handle, &mode))
    return false;
  // Colour codes only where the console reads them as such.
  return SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

bool write_text(out_stream stream, const bytes& utf8) {
  const HANDLE handle = handle_of(stream);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  if (is_console(handle)) {
    const wide text = from_utf8(utf8);
    DWORD written = 0;
    return WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
  }
  DWORD written = 0;
  return WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) &&
         written == utf8.size();
}

namespace {

// The console's mode before typing was hidden, for Ctrl-C, Ctrl-Break or a
// closed console window at the prompt to put back before the program ends.
DWORD shown_console_mode = 0;

BOOL WINAPI show_typing_and_end(DWORD) {
  SetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), shown_console_mode);
  return FALSE;  // the usual handling then ends the program
}

}  // namespace

input_result read_input_line(bytes& line, const bytes& secret_prompt) {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  if (input == nullptr || input == INVALID_HANDLE_VALUE) return input_result::unreadable;
  if (!is_console(input)) return read_from(input, true, line);
  const bool secret = !secret_prompt.empty();
  GetConsoleMode(input, &shown_console_mode);
  if (secret) {
    SetConsoleCtrlHandler(show_typing_and_end, TRUE);
    SetConsoleMode(input, shown_console_mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    write_text(out_stream::error, secret_prompt);
  }
  const input_result result = read_console_line(input, line);
  if (secret) {
    SetConsoleMode(input, shown_console_mode);
    SetConsoleCtrlHandler(show_typing_and_end, FALSE);
    write_text(out_stream::error, "\n");  // the line end the user typed was not shown
  }
  return result;
}

input_result read_key_file(const std::string& path, bytes& content, int& error) {
  const unique_file file(CreateFileW(win(from_utf8(path)), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
  if (!file) {
    error = static_cast<int>(GetLastError());
    return input_result::unreadable;
  }
  const input_result result = read_from(file.get(), false, content);
  error = result == input_result::unreadable ? static_cast<int>(GetLastError()) : 0;
  return result;
}

bool user_prefers_vietnamese() {
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_VIETNAMESE ||
         PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID())) == LANG_VIETNAMESE;
}
