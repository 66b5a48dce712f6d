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
    {"own_key", u"Your own key is in place; not signed in through Morvane.",
     u"Key riêng của bạn đang được dùng; chưa đăng nhập qua Morvane."},
    {"argument", u"the file named by argument ", u"tệp ở đối số "},
    {"already", u"Already signed in; nothing to change.",
     u"Đã đăng nhập sẵn; không cần thay đổi gì."},
    {"would_sign_in", u"Sign in would change the set-up of this device.",
     u"Đăng nhập sẽ thay đổi cấu hình trên thiết bị này."},
    {"rst_none", u"Nothing to reset.", u"Không có gì để reset."},
    {"would_reset", u"Reset would undo the sign-in on this device.",
     u"Reset sẽ hoàn tác việc đăng nhập trên thiết bị này."},
    // morvanectl doctor: a sentence per finding, %1, %2... standing for its values.
    {"dr_home_none", u"Cannot find your home folder, so there is no Codex folder to read.",
     u"Không tìm thấy thư mục cá nhân của bạn nên không có thư mục Codex nào để đọc."},
    {"dr_home_relative",
     u"CODEX_HOME is \"%1\", not a full path, so Codex would read another folder in each folder it "
     u"starts from; set it to a full path or unset it.",
     u"CODEX_HOME là \"%1\", không phải đường dẫn đầy đủ, nên Codex sẽ đọc một thư mục khác tuỳ "
     u"nơi nó được khởi động; hãy đặt đường dẫn đầy đủ hoặc bỏ biến này."},
    {"dr_home_missing", u"%1 does not exist; run morvanectl sign-in, which creates it.",
     u"%1 không tồn tại; hãy chạy morvanectl sign-in để tạo thư mục này."},
    {"dr_home_not_folder", u"%1 is not a folder; move that file away, then run morvanectl sign-in.",
     u"%1 không phải là thư mục; hãy chuyển tệp đó đi nơi khác rồi chạy morvanectl sign-in."},
    {"dr_home_ok", u"Codex reads %1.", u"Codex đọc %1."},
    {"dr_home_set", u"Codex reads %1, as CODEX_HOME says.", u"Codex đọc %1, theo CODEX_HOME."},
    {"dr_home_wsl",
     u"This is WSL: the ChatGPT desktop app on Windows reads your Windows profile instead, so sign "
     u"it in with morvane.exe on Windows.",
     u"Đây là WSL: ứng dụng ChatGPT trên Windows đọc hồ sơ Windows của bạn chứ không đọc thư mục "
     u"này, nên hãy đăng nhập cho nó bằng morvane.exe trên Windows."},
    {"dr_not_signed",
     u"Not signed in, so Codex is not ready through Morvane; run morvanectl sign-in.",
     u"Chưa đăng nhập nên Codex chưa sẵn sàng qua Morvane; hãy chạy morvanectl sign-in."},
    {"dr_signed", u"Signed in for %1 with the key %2.", u"Đã đăng nhập cho %1 với key %2."},
    {"dr_skip_home", u"Skipped: there is no Codex folder to look in.",
     u"Bỏ qua: không có thư mục Codex để kiểm tra."},
    {"dr_config_missing", u"%1 is missing; run morvanectl sign-in to write it.",
     u"Thiếu %1; hãy chạy morvanectl sign-in để ghi tệp này."},
    {"dr_config_bad",
     u"%1 is not valid TOML at line %2, column %3 (%4); fix that line, or run morvanectl sign-in "
     u"to write the file anew.",
     u"%1 không phải TOML hợp lệ ở dòng %2, cột %3 (%4); hãy sửa dòng đó, hoặc chạy morvanectl "
     u"sign-in để ghi lại tệp."},
    {"dr_no_provider",
     u"%1 sets no model_provider, so Codex would not use Veskara; run morvanectl sign-in.",
     u"%1 không đặt model_provider nên Codex sẽ không dùng Veskara; hãy chạy morvanectl sign-in."},
    {"dr_not_veskara",
     u"model_provider is \"%1\", not Veskara, so Codex does not use the service; run morvanectl "
     u"sign-in.",
     u"model_provider là \"%1\" chứ không phải Veskara nên Codex không dùng dịch vụ; hãy chạy "
     u"morvanectl sign-in."},
    {"dr_provider_missing",
     u"model_provider is \"%1\", but there is no [model_providers.%1] table; run morvanectl "
     u"sign-in.",
     u"model_provider là \"%1\" nhưng không có bảng [model_providers.%1]; hãy chạy morvanectl "
     u"sign-in."},
    {"dr_setting",
     u"In [model_providers.Veskara], %1 should be %2 (now: %3); run morvanectl sign-in.",
     u"Trong [model_providers.Veskara], %1 phải là %2 (hiện tại: %3); hãy chạy morvanectl "
     u"sign-in."},
    {"dr_unset", u"not set", u"chưa đặt"},
    {"dr_cli_env_key",
     u"[model_providers.Veskara] has an env_key, but Sign in for CLI keeps the key in auth.json "
     u"alone and removes OPENAI_API_KEY; run morvanectl sign-in.",
     u"[model_providers.Veskara] có env_key, nhưng Đăng nhập cho CLI chỉ giữ key trong auth.json "
     u"và xoá OPENAI_API_KEY; hãy chạy morvanectl sign-in."},
    {"dr_base_url_other",
     u"base_url is %1, not the service's %2 (a test or a mirror?); run morvanectl sign-in to use "
     u"the service itself.",
     u"base_url là %1, không phải địa chỉ %2 của dịch vụ (bản thử hay bản sao?); hãy chạy "
     u"morvanectl sign-in để dùng chính dịch vụ."},
    {"dr_config_ok", u"%1 points Codex at %2.", u"%1 trỏ Codex tới %2."},
    {"dr_profile",
     u"A top-level profile (%1) makes newer Codex clients refuse the file; remove that line.",
     u"Khoá profile ở cấp trên cùng (%1) khiến các bản Codex mới từ chối tệp này; hãy xoá dòng "
     u"đó."},
    {"dr_no_key", u"%1 holds no API key; run morvanectl sign-in.",
     u"%1 không chứa API key; hãy chạy morvanectl sign-in."},
    {"dr_key_ok", u"auth.json holds the key %1.", u"auth.json chứa key %1."},
    {"dr_key_ok_both", u"auth.json and the user environment hold the same key %1.",
     u"auth.json và môi trường người dùng chứa cùng key %1."},
    {"dr_env_differs",
     u"The user environment's OPENAI_API_KEY (%1) is not the key in auth.json (%2), and the "
     u"desktop app reads it there; run morvanectl sign-in.",
     u"OPENAI_API_KEY trong môi trường người dùng (%1) khác key trong auth.json (%2), mà ứng dụng "
     u"desktop đọc key từ đó; hãy chạy morvanectl sign-in."},
    {"dr_codex_api_key",
     u"CODEX_API_KEY is set here (%1), and codex exec prefers it to auth.json; unset it.",
     u"CODEX_API_KEY đang được đặt ở đây (%1) và codex exec ưu tiên nó hơn auth.json; hãy bỏ biến "
     u"này."},
    {"dr_no_env_file", u"No .env file in the Codex folder overrides anything.",
     u"Không có tệp .env nào trong thư mục Codex ghi đè thiết lập."},
    {"dr_env_file_ok", u"%1 sets no key and no proxy.", u"%1 không đặt key hay proxy nào."},
    {"dr_env_file_sets",
     u"%1, line %2, sets %3, which Codex loads at start over the environment; remove that line.",
     u"%1, dòng %2, đặt %3, mà Codex nạp khi khởi động và ghi đè môi trường; hãy xoá dòng đó."},
    {"dr_proxy_none", u"No proxy variable is set here or for the whole machine.",
     u"Không có biến proxy nào được đặt ở đây hay cho toàn máy."},
    {"dr_proxy_here",
     u"This environment sets %1, which Sign in does not clear (it clears only your own settings); "
     u"unset each in the shell or program that starts Codex.",
     u"Môi trường này đặt %1, mà Đăng nhập không xoá (nó chỉ xoá thiết lập của riêng bạn); hãy bỏ "
     u"từng biến trong shell hoặc chương trình khởi động Codex."},
    {"dr_proxy_machine",
     u"%2 sets %1 for the whole machine; ask whoever runs it to remove them, or unset them where "
     u"Codex is started.",
     u"%2 đặt %1 cho toàn máy; hãy nhờ người quản trị máy xoá chúng, hoặc bỏ chúng ở nơi khởi động "
     u"Codex."},
    {"dr_client_missing",
     u"codex is not on PATH; install the Codex client (npm install -g @openai/codex) or add its "
     u"folder to PATH.",
     u"Không tìm thấy codex trong PATH; hãy cài Codex (npm install -g @openai/codex) hoặc thêm thư "
     u"mục của nó vào PATH."},
    {"dr_client_silent", u"%1 did not tell its version within 5 s; reinstall the Codex client.",
     u"%1 không cho biết phiên bản trong vòng 5 giây; hãy cài lại Codex."},
    {"dr_client_ok", u"%1 at %2.", u"%1 tại %2."},
    {"dr_offline", u"Skipped: --offline.", u"Bỏ qua: --offline."},
    {"dr_skip_no_key", u"Skipped: there is no key to try.", u"Bỏ qua: không có key để thử."},
    {"dr_skip_no_url", u"Skipped: config.toml gives no base_url to ask.",
     u"Bỏ qua: config.toml không có base_url để hỏi."},
    {"dr_not_web", u"base_url %1 is not an http or https address; run morvanectl sign-in.",
     u"base_url %1 không phải địa chỉ http hay https; hãy chạy morvanectl sign-in."},
    {"dr_plain_http",
     u"base_url %1 is plain HTTP to another machine, so the key was not sent; use https.",
     u"base_url %1 là HTTP không mã hoá tới máy khác nên key không được gửi; hãy dùng https."},
    {"dr_service_ok", u"%1 accepted the key: HTTP %2 in %3 ms.",
     u"%1 đã chấp nhận key: HTTP %2 trong %3 ms."},
    {"dr_refused",
     u"%1 refused the key (HTTP %2): it is mistyped, expired or out of credit; check it in your "
     u"Veskara account, then sign in again with the right one.",
     u"%1 từ chối key (HTTP %2): key bị gõ sai, đã hết hạn hoặc hết tín dụng; hãy kiểm tra trong "
     u"tài khoản Veskara rồi đăng nhập lại bằng key đúng."},
    {"dr_http_status", u"%1 answered HTTP %2; try again later, and check base_url if it goes on.",
     u"%1 trả lời HTTP %2; hãy thử lại sau, và kiểm tra base_url nếu lỗi còn tiếp diễn."},
    {"dr_unreachable", u"Cannot reach %1: %2; check the network and base_url.",
     u"Không kết nối được tới %1: %2; hãy kiểm tra mạng và base_url."},
    {"dr_why_name", u"the name was not found", u"không tìm thấy tên máy chủ"},
    {"dr_why_refused", u"the connection was refused", u"kết nối bị từ chối"},
    {"dr_why_timeout", u"no answer within 10 s", u"không có phản hồi trong 10 giây"},
    {"dr_why_tls", u"the secure connection failed (TLS)", u"kết nối bảo mật (TLS) thất bại"},
    {"dr_why_withheld", u"the name led to another machine, so the key was not sent",
     u"tên máy dẫn tới một máy khác nên key không được gửi"},
};

// What a command could not do, by the engine's name for it; each text is
// followed by a path.
const catalogue_entry failure_catalogue[] = {
    {"not_read", u"cannot read ", u"không đọc được "},
    {"no_profile", u"cannot find your home folder", u"không tìm thấy thư mục cá nhân của bạn"},
    {"not_absolute", u"CODEX_HOME must be an absolute path, not ",
     u"CODEX_HOME phải là đường dẫn tuyệt đối, không phải "},
    {"not_exact", u"cannot use this folder name exactly as it is (not valid Unicode): ",
     u"không dùng được đúng tên thư mục này (không phải Unicode hợp lệ): "},
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
    {"key_not_removed", u"cannot remove OPENAI_API_KEY from ",
     u"không xoá được OPENAI_API_KEY khỏi "},
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
