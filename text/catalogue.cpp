// Every language-dependent text of the interface. The source is UTF-8; the
// Vietnamese texts are precomposed (NFC) so they match what users type and
// what the fonts expect.
#include "catalogue.h"

#include <cstddef>
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
    {"rst_bz", u"Another Sign in or Reset is running.\n\nNothing was reset; try again in a moment.",
     u"Một lần đăng nhập hoặc reset khác đang chạy.\n\nChưa reset gì; hãy thử lại sau giây lát."},
    {"rst_no", u"Reset did not finish.", u"Reset chưa hoàn tất."},
    {"signed", u"Signed in", u"Đã đăng nhập"},
    {"key", u"LICENSE KEY", u"LICENSE KEY"},
};

// The command line's own texts. A text that ends in a space is followed by
// a path; the system's reason, where there is one, comes after a colon.
const catalogue_entry command_line_catalogue[] = {
    {"desktop_only", u"The Desktop platform exists only on Windows.",
     u"Nền tảng Desktop chỉ có trên Windows."},
    {"key_file", u"Cannot read the key file.", u"Không đọc được tệp key."},
    {"stdin", u"Cannot read the key from standard input.", u"Không đọc được key từ đầu vào chuẩn."},
    {"too_large", u"The key input is larger than 64 KiB.", u"Dữ liệu key lớn hơn 64 KiB."},
    {"not_text", u"The key input is not text.", u"Dữ liệu key không phải là văn bản."},
    {"needs_yes",
     u"Reset asks before it changes anything; with no terminal to ask on, confirm it with --yes.",
     u"Reset cần được xác nhận trước khi thay đổi; khi không có terminal để hỏi, hãy xác nhận "
     u"bằng --yes."},
    {"not_reset", u"Nothing was reset.", u"Chưa reset gì."},
    {"home_at", u"Codex folder: ", u"Thư mục Codex: "},
    {"already", u"Already signed in; nothing to change.",
     u"Đã đăng nhập sẵn; không cần thay đổi gì."},
    {"would_sign_in", u"Sign in would change the set-up of this device.",
     u"Đăng nhập sẽ thay đổi cấu hình trên thiết bị này."},
    {"rst_none", u"Nothing to reset.", u"Không có gì để reset."},
    {"would_reset", u"Reset would undo the sign-in on this device.",
     u"Reset sẽ hoàn tác việc đăng nhập trên thiết bị này."},
};

// What a command could not do, by the engine's name for it; each text is
// followed by a path.
const catalogue_entry failure_catalogue[] = {
    {"not_read", u"cannot read ", u"không đọc được "},
    {"no_profile", u"cannot find your home folder", u"không tìm thấy thư mục cá nhân của bạn"},
    {"not_absolute", u"CODEX_HOME must be an absolute path, not ",
     u"CODEX_HOME phải là đường dẫn tuyệt đối, không phải "},
    {"no_home", u"cannot create the Codex folder ", u"không tạo được thư mục Codex "},
    {"busy", u"another Sign in or Reset is running on ",
     u"một lần Đăng nhập hoặc Reset khác đang chạy trên "},
    {"no_lock", u"cannot lock ", u"không khoá được "},
    {"not_kept", u"cannot keep a copy of your file at ",
     u"không giữ được bản sao tệp của bạn tại "},
    {"not_written", u"cannot write ", u"không ghi được "},
    {"no_environment", u"cannot change OPENAI_API_KEY in ",
     u"không đổi được OPENAI_API_KEY trong "},
    {"not_back", u"cannot give back ", u"không trả lại được "},
    {"not_removed", u"cannot remove ", u"không xoá được "},
    {"copy_kept", u"the copy is kept for the next Reset", u"bản sao được giữ cho lần Reset sau"},
};

template <std::size_t count>
const char16_t* look_up(const catalogue_entry (&table)[count], const char* key) {
  const bool vietnamese = ui_language == language_vietnamese;
  if (key == nullptr) return u"";
  for (const catalogue_entry& entry : table) {
    if (std::strcmp(entry.key, key) == 0) return vietnamese ? entry.vietnamese : entry.english;
  }
  return u"";
}

}  // namespace

const char16_t* ui_text(const char* key) {
  return look_up(catalogue, key);
}

const char16_t* command_line_text(const char* key) {
  return look_up(command_line_catalogue, key);
}

std::u16string failure_detail(const char* fault_name, const std::u16string& path,
                              const std::u16string& reason) {
  std::u16string line = look_up(failure_catalogue, fault_name) + path;
  if (!reason.empty()) line += u": " + reason;
  // A file not given back still has its copy, which the next Reset uses.
  if (std::strcmp(fault_name, "not_back") == 0)
    line += u"; " + std::u16string(look_up(failure_catalogue, "copy_kept"));
  return line;
}

void switch_language() {
  ui_language = ui_language == language_vietnamese ? language_english : language_vietnamese;
}

std::u16string status_text(const char* mode_name) {
  if (mode_name == nullptr) return ui_text("idle");
  // The platform names are the same in both languages, and their text keys
  // are the names the marker file stores.
  return ui_text("signed") + std::u16string(u"  \u00B7  ") + ui_text(mode_name);
}
