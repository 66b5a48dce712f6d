#pragma once
// Gives every test a clean user: natively an empty temporary HOME and
// XDG_CONFIG_HOME; under Wine the profile's .codex folder emptied and the
// environment and Internet-settings values the tool touches removed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wide.h"

#ifdef _WIN32
#include "unique_handle.h"

// A key under HKEY_CURRENT_USER, opened or created; empty when that failed.
unique_hkey open_user_key(const wchar_t* name, REGSAM access);
unique_hkey create_user_key(const wchar_t* name, REGSAM access);

// A hidden top-level window of this thread: a broadcast reaches it as it
// reaches Explorer, and it notes the text of each WM_SETTINGCHANGE. A
// message-only window would hear no broadcast at all.
class settings_listener {
 public:
  settings_listener() {
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"MorvaneTestSettingsListener";
    RegisterClassW(&window_class);  // already there from an earlier test is fine
    window = CreateWindowExW(0, window_class.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                             nullptr, window_class.hInstance, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received));
  }
  ~settings_listener() { DestroyWindow(window); }
  settings_listener(const settings_listener&) = delete;
  settings_listener& operator=(const settings_listener&) = delete;

  HWND window = nullptr;
  std::vector<std::wstring> received;

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* log =
        reinterpret_cast<std::vector<std::wstring>*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_SETTINGCHANGE && log)
      log->push_back(lparam ? reinterpret_cast<const wchar_t*>(lparam) : L"(no text)");
    return DefWindowProcW(window, message, wparam, lparam);
  }
};
#endif

class user_test : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Path of a file in the Codex home, from its suffix ("\\auth.json").
  wide path(const char16_t* suffix) const;
  // Raw bytes of a file (no byte-order mark removed); "" when missing.
  bytes file(const char16_t* suffix) const;
  bool has(const char16_t* suffix) const;
  // Creates the Codex home when needed and writes the bytes as they are.
  void put(const char16_t* suffix, const bytes& content);
  // Removes a file or an empty folder of the Codex home.
  void remove(const char16_t* suffix);
};

// Raw file access for tests, independent of the host layer under test.
bytes raw_read(const wide& path);
bool raw_write(const wide& path, const bytes& content);
bool raw_exists(const wide& path);
// Removes a file or an empty directory; true when it is gone.
bool raw_remove(const wide& path);
// Names of the entries of a directory (no "." or "..").
std::vector<wide> directory_entries(const wide& path);
// Sets CODEX_HOME in this process's environment (null: unsets it), as a
// user's shell would. Every test starts without it.
void set_codex_home_variable(const char* value);
// A template as earlier versions wrote it: the agent role without its
// description line.
bytes earlier_template(bytes text);
// Printable form of wide text for assertion messages.
std::string narrow(const wide& text);
