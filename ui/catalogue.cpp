// Every language-dependent text of the interface. The source is UTF-8; the
// Vietnamese texts are precomposed (NFC) so they match what users type and
// what the fonts expect.
#include "catalogue.h"

#include <cstring>

unsigned char ui_language = language_vietnamese;

namespace {

struct catalogue_entry {
  const char* key;
  const char16_t* english;
  const char16_t* vietnamese;
};

// Message texts separate their two sentences with a blank line ("\n\n"):
// message boxes show that as a paragraph break.
const catalogue_entry catalogue[] = {
    {"sub", u"Activate your license", u"Kích hoạt license của bạn"},
    {"show", u"Show key", u"Hiện key"},
    {"mode", u"PLATFORM", u"NỀN TẢNG"},
    {"cli", u"CLI", u"CLI"},
    {"cli_d", u"Terminal · Codex", u"Terminal · Codex"},
    {"app", u"Desktop", u"Desktop"},
    {"app_d", u"API only · no proxy", u"API only · no proxy"},
    {"login", u"Sign in", u"Đăng nhập"},
    {"reset", u"Reset", u"Reset"},
    {"status", u"ACCOUNT", u"TÀI KHOẢN"},
    {"idle", u"Not signed in", u"Chưa đăng nhập"},
    {"footer", u"After signing in, restart the ChatGPT app to apply.",
     u"Sau khi đăng nhập, khởi động lại ứng dụng ChatGPT để áp dụng."},
    {"lang", u"VI", u"EN"},
    {"empty", u"Please enter your license key.", u"Vui lòng nhập license key."},
    {"bad", u"Invalid key. Check and try again.", u"Key không hợp lệ. Kiểm tra lại."},
    {"ok_t", u"Welcome", u"Thành công"},
    {"ok_cli", u"You're all set.\n\nOpen your terminal and start using Codex.",
     u"Hoàn tất.\n\nMở terminal và sử dụng Codex bình thường."},
    {"ok_app", u"Signed in successfully.\n\nOpen the ChatGPT app to start using it.",
     u"Đăng nhập thành công.\n\nMở ứng dụng ChatGPT để sử dụng."},
    {"fail", u"Sign in failed", u"Đăng nhập thất bại"},
    {"rst_t", u"Reset", u"Reset"},
    {"rst_a", u"Reset configuration on this device?\n\nYou can sign in again anytime.",
     u"Reset cấu hình trên thiết bị này?\n\nBạn có thể đăng nhập lại bất cứ lúc nào."},
    {"rst_ok", u"Configuration has been reset.\n\nRestart the desktop app if it is open.",
     u"Đã reset cấu hình.\n\nKhởi động lại ứng dụng desktop nếu đang mở."},
    {"rst_d", u"Reset complete", u"Reset hoàn tất"},
    {"signed", u"Signed in", u"Đã đăng nhập"},
    {"key", u"LICENSE KEY", u"LICENSE KEY"},
};

}  // namespace

const char16_t* ui_text(const char* key) {
  const bool vietnamese = ui_language == language_vietnamese;
  if (key == nullptr) return u"";
  for (const catalogue_entry& entry : catalogue) {
    if (std::strcmp(entry.key, key) == 0) return vietnamese ? entry.vietnamese : entry.english;
  }
  return u"";
}

void switch_language() {
  ui_language = ui_language == language_vietnamese ? language_english : language_vietnamese;
}
