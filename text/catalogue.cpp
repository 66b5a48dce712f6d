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
    {"dr_home_not_exact",
     u"The Codex folder's name %1 is not valid Unicode, so Morvane cannot use it exactly as it "
     u"is; rename the folder, or set CODEX_HOME to a folder whose name is.",
     u"Tên thư mục Codex %1 không phải Unicode hợp lệ nên Morvane không dùng đúng được tên đó; "
     u"hãy đổi tên thư mục, hoặc đặt CODEX_HOME là một thư mục có tên hợp lệ."},
    {"dr_home_none", u"Cannot find your home folder, so there is no Codex folder to read.",
     u"Không tìm thấy thư mục cá nhân của bạn nên không có thư mục Codex nào để đọc."},
    {"dr_home_relative",
     u"CODEX_HOME is \"%1\", not a full path: Codex started here reads %2, started elsewhere "
     u"another folder; set it to a full path.",
     u"CODEX_HOME là \"%1\", không phải đường dẫn đầy đủ: Codex khởi động ở đây sẽ đọc %2, khởi "
     u"động ở nơi khác sẽ đọc thư mục khác; hãy đặt đường dẫn đầy đủ."},
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
    {"dr_own_key",
     u"Your own key %1 is in place, not one signed in through Morvane; run morvanectl sign-in to "
     u"use the service.",
     u"Key riêng của bạn %1 đang được dùng, không phải key đăng nhập qua Morvane; hãy chạy "
     u"morvanectl sign-in để dùng dịch vụ."},
    {"dr_skip_home", u"Skipped: there is no Codex folder to look in.",
     u"Bỏ qua: không có thư mục Codex để kiểm tra."},
    {"dr_file_missing", u"%1 is missing; run morvanectl sign-in to write it.",
     u"Thiếu %1; hãy chạy morvanectl sign-in để ghi tệp này."},
    {"dr_file_unreadable",
     u"%1 cannot be read (no permission, or not a file); make it readable to you, or run "
     u"morvanectl sign-in to write it anew.",
     u"Không đọc được %1 (không có quyền, hoặc không phải tệp); hãy cho phép bạn đọc nó, hoặc chạy "
     u"morvanectl sign-in để ghi lại."},
    {"dr_env_file_unreadable",
     u"%1 cannot be read (no permission, or not a file), so what it sets for Codex is unknown; "
     u"make it readable to you, or remove it.",
     u"Không đọc được %1 (không có quyền, hoặc không phải tệp) nên không rõ nó đặt gì cho Codex; "
     u"hãy cho phép bạn đọc nó, hoặc xoá nó."},
    {"dr_env_file_too_large",
     u"%1 is larger than 4 MiB, so what it sets for Codex was not read; shorten it or remove it.",
     u"%1 lớn hơn 4 MiB nên không đọc được nó đặt gì cho Codex; hãy rút gọn hoặc xoá nó."},
    {"dr_file_too_large", u"%1 is larger than 4 MiB, so it was not read; run morvanectl sign-in.",
     u"%1 lớn hơn 4 MiB nên không được đọc; hãy chạy morvanectl sign-in."},
    {"dr_config_bad",
     u"%1 is not valid TOML at line %2, column %3 (%4); fix that line, or run morvanectl sign-in "
     u"to write the file anew.",
     u"%1 không phải TOML hợp lệ ở dòng %2, cột %3 (%4); hãy sửa dòng đó, hoặc chạy morvanectl "
     u"sign-in để ghi lại tệp."},
    {"dr_no_provider",
     u"%1 sets no model_provider, so Codex would not use Veskara; run morvanectl sign-in.",
     u"%1 không đặt model_provider nên Codex sẽ không dùng Veskara; hãy chạy morvanectl sign-in."},
    {"dr_not_veskara",
     u"model_provider is \"%1\", not Veskara, so Codex uses that provider, not the service; run "
     u"morvanectl sign-in to use the service.",
     u"model_provider là \"%1\" chứ không phải Veskara nên Codex dùng nhà cung cấp đó chứ không "
     u"dùng dịch vụ; hãy chạy morvanectl sign-in để dùng dịch vụ."},
    {"dr_provider_missing",
     u"model_provider is \"%1\", but there is no [model_providers.%1] table; run morvanectl "
     u"sign-in.",
     u"model_provider là \"%1\" nhưng không có bảng [model_providers.%1]; hãy chạy morvanectl "
     u"sign-in."},
    {"dr_setting", u"In [model_providers.%4], %1 should be %2 (now: %3); run morvanectl sign-in.",
     u"Trong [model_providers.%4], %1 phải là %2 (hiện tại: %3); hãy chạy morvanectl sign-in."},
    {"dr_unset", u"not set", u"chưa đặt"},
    {"dr_cli_env_key",
     u"[model_providers.%1] has env_key = \"%2\", so Codex takes the key from %2, which Sign in "
     u"for CLI removes, not from auth.json; run morvanectl sign-in.",
     u"[model_providers.%1] có env_key = \"%2\" nên Codex lấy key từ %2, biến mà Đăng nhập cho "
     u"CLI xoá, chứ không lấy từ auth.json; hãy chạy morvanectl sign-in."},
    {"dr_base_url_other",
     u"base_url is %1, not the service's %2 (a test or a mirror?); run morvanectl sign-in to use "
     u"the service itself.",
     u"base_url là %1, không phải địa chỉ %2 của dịch vụ (bản thử hay bản sao?); hãy chạy "
     u"morvanectl sign-in để dùng chính dịch vụ."},
    {"dr_config_ok", u"%1 points Codex at %2, %3.", u"%1 trỏ Codex tới %2, %3."},
    {"dr_forced_chatgpt",
     u"forced_login_method = \"chatgpt\" makes Codex refuse the key, log out and remove auth.json; "
     u"remove that line from %1.",
     u"forced_login_method = \"chatgpt\" khiến Codex từ chối key, đăng xuất và xoá auth.json; hãy "
     u"xoá dòng đó khỏi %1."},
    {"dr_store_keyring",
     u"cli_auth_credentials_store = \"keyring\" makes Codex read its login from the system "
     u"keyring, "
     u"not from auth.json; remove that line from %1.",
     u"cli_auth_credentials_store = \"keyring\" khiến Codex đọc thông tin đăng nhập từ keyring của "
     u"hệ thống chứ không từ auth.json; hãy xoá dòng đó khỏi %1."},
    {"dr_store_auto",
     u"cli_auth_credentials_store = \"auto\" makes Codex read the system keyring first, and "
     u"auth.json only when the keyring holds nothing; remove that line from %1.",
     u"cli_auth_credentials_store = \"auto\" khiến Codex đọc keyring của hệ thống trước, và chỉ "
     u"đọc auth.json khi keyring không có gì; hãy xoá dòng đó khỏi %1."},
    {"dr_profile",
     u"A top-level profile (%1) makes newer Codex clients refuse the file; remove that line.",
     u"Khoá profile ở cấp trên cùng (%1) khiến các bản Codex mới từ chối tệp này; hãy xoá dòng "
     u"đó."},
    {"dr_no_key", u"%1 holds no API key; run morvanectl sign-in.",
     u"%1 không chứa API key; hãy chạy morvanectl sign-in."},
    {"dr_key_ok", u"auth.json holds the key %1, which Codex sends.",
     u"auth.json chứa key %1, key mà Codex gửi đi."},
    {"dr_key_readable",
     u"%1 can be read by %2 as well as by you; run morvanectl sign-in, which makes it yours alone.",
     u"%1 có thể bị %2 đọc, không chỉ riêng bạn; hãy chạy morvanectl sign-in để chỉ mình bạn đọc "
     u"được tệp này."},
    {"dr_why_proxy", u"the proxy failed", u"proxy gặp lỗi"},
    {"dr_key_from", u"Codex sends the key %1 from %2 (%3).", u"Codex gửi key %1 lấy từ %2 (%3)."},
    {"dr_env_key_unset",
     u"Codex takes the key from %1 (the provider's env_key), which is set neither here nor in "
     u".env; "
     u"run morvanectl sign-in.",
     u"Codex lấy key từ %1 (env_key của nhà cung cấp), nhưng biến này không được đặt ở đây hay "
     u"trong .env; hãy chạy morvanectl sign-in."},
    {"dr_in_dot_env", u"%1, line %2", u"%1, dòng %2"},
    {"dr_in_environment", u"this environment", u"môi trường này"},
    {"dr_in_user_environment", u"the user environment", u"môi trường người dùng"},
    {"dr_env_differs",
     u"Codex sends the key %1, not the one in auth.json (%2) that Sign in for Desktop wrote; run "
     u"morvanectl sign-in.",
     u"Codex gửi key %1, không phải key trong auth.json (%2) mà Đăng nhập cho Desktop đã ghi; hãy "
     u"chạy morvanectl sign-in."},
    {"dr_codex_api_key",
     u"codex exec sends CODEX_API_KEY from this environment (%1), not the key in auth.json; unset "
     u"it.",
     u"codex exec gửi CODEX_API_KEY từ môi trường này (%1) chứ không gửi key trong auth.json; hãy "
     u"bỏ biến này."},
    {"dr_no_env_file", u"No .env file in the Codex folder overrides anything.",
     u"Không có tệp .env nào trong thư mục Codex ghi đè thiết lập."},
    {"dr_env_file_ok", u"%1 sets no key and no proxy.", u"%1 không đặt key hay proxy nào."},
    {"dr_env_file_ignored", u"%1, line %2, sets %3, which Codex ignores in this file.",
     u"%1, dòng %2, đặt %3, mà Codex bỏ qua trong tệp này."},
    {"dr_env_file_sets",
     u"%1, line %2, sets %3, which Codex loads at start over the environment; remove that line.",
     u"%1, dòng %2, đặt %3, mà Codex nạp khi khởi động và ghi đè môi trường; hãy xoá dòng đó."},
    {"dr_proxy_none", u"No proxy variable applies to base_url, so Codex reaches it directly.",
     u"Không có biến proxy nào áp dụng cho base_url nên Codex kết nối trực tiếp."},
    {"dr_proxy_bypassed", u"%2 exempts base_url's host, so Codex does not send it through %1.",
     u"%2 miễn trừ máy chủ của base_url nên Codex không đi qua %1."},
    {"dr_proxy_used", u"Codex reaches base_url through the proxy %1 (%2, from %3).",
     u"Codex kết nối tới base_url qua proxy %1 (%2, từ %3)."},
    {"dr_proxy_down",
     u"Codex reaches base_url through the proxy %1 (%2, from %3), which cannot be reached: %4; "
     u"start the proxy, or remove %2 there.",
     u"Codex kết nối tới base_url qua proxy %1 (%2, từ %3), nhưng không kết nối được proxy: %4; "
     u"hãy bật proxy, hoặc xoá %2 ở đó."},
    {"dr_client_missing",
     u"codex is not on PATH; install the Codex client (npm install -g @openai/codex) or add its "
     u"folder to PATH.",
     u"Không tìm thấy codex trong PATH; hãy cài Codex (npm install -g @openai/codex) hoặc thêm thư "
     u"mục của nó vào PATH."},
    {"dr_client_silent", u"%1 did not tell its version within 5 s; reinstall the Codex client.",
     u"%1 không cho biết phiên bản trong vòng 5 giây; hãy cài lại Codex."},
    {"dr_client_ok", u"%1 at %2.", u"%1 tại %2."},
    {"dr_client_says", u"The client's own doctor says %1: %2.",
     u"Công cụ chẩn đoán của chính Codex báo %1: %2."},
    {"dr_client_doctor_silent", u"%1 doctor --json did not finish within 15 s.",
     u"%1 doctor --json không kết thúc trong vòng 15 giây."},
    {"dr_offline", u"Skipped: --offline.", u"Bỏ qua: --offline."},
    {"dr_skip_no_key", u"Skipped: there is no key to try.", u"Bỏ qua: không có key để thử."},
    {"dr_skip_no_url", u"Skipped: config.toml gives no base_url to ask.",
     u"Bỏ qua: config.toml không có base_url để hỏi."},
    {"dr_skip_proxy", u"Skipped: the proxy cannot be reached.",
     u"Bỏ qua: không kết nối được proxy."},
    {"dr_plain_through_proxy",
     u"Codex would send %1 plain HTTP through the proxy, so the key was not sent to check it; use "
     u"https, or exempt the host in NO_PROXY.",
     u"Codex sẽ gửi %1 bằng HTTP không mã hoá qua proxy nên key không được gửi để kiểm tra; hãy "
     u"dùng https, hoặc miễn trừ máy chủ trong NO_PROXY."},
    {"dr_not_web", u"base_url %1 is not an http or https address; run morvanectl sign-in.",
     u"base_url %1 không phải địa chỉ http hay https; hãy chạy morvanectl sign-in."},
    {"dr_plain_http",
     u"base_url %1 is plain HTTP to another machine, so the key was not sent; use https.",
     u"base_url %1 là HTTP không mã hoá tới máy khác nên key không được gửi; hãy dùng https."},
    {"dr_service_ok", u"%1 accepted the key from %4: HTTP %2 in %3 ms.",
     u"%1 đã chấp nhận key từ %4: HTTP %2 trong %3 ms."},
    {"dr_refused",
     u"%1 refused the key from %3 (HTTP %2): it is mistyped, expired or out of credit; check it in "
     u"your Veskara account, then sign in again with the right one.",
     u"%1 từ chối key từ %3 (HTTP %2): key bị gõ sai, đã hết hạn hoặc hết tín dụng; hãy kiểm tra "
     u"trong tài khoản Veskara rồi đăng nhập lại bằng key đúng."},
    {"dr_no_models_list",
     u"%1 answered HTTP %2: this service has no models list; the key was not checked.",
     u"%1 trả lời HTTP %2: dịch vụ này không có danh sách model; key chưa được kiểm tra."},
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
