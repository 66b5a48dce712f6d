// The host on Windows: the profile folder, files, the user's registry
// environment, the change broadcast and the per-user Internet settings.
#include <shlobj.h>
#include <windows.h>

#include <cstdint>
#include <utility>

#include "host.h"
#include "input_file.h"
#include "unique_handle.h"
#include "write_faults.h"

namespace {

std::size_t write_fault_after = SIZE_MAX;

const wchar_t* win(const wide& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

const wchar_t environment_key[] = L"Environment";
const wchar_t internet_settings_key[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// Directory part of a path, "." when it names a file in the current one.
wide parent_directory(const wide& path) {
  std::size_t slash = path.find_last_of(u"\\/");
  if (slash == wide::npos) return u".";
  if (slash == 0 || (slash == 2 && path[1] == u':')) return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

// One WriteFile of everything, cut short by the test fault.
bool write_all(HANDLE file, const bytes& content) {
  std::size_t limit = content.size() < write_fault_after ? content.size() : write_fault_after;
  if (content.size() > MAXDWORD) return false;
  DWORD written = 0;
  if (limit > 0 && !WriteFile(file, content.data(), static_cast<DWORD>(limit), &written, nullptr))
    return false;
  return written == content.size();
}

}  // namespace

struct input_file::platform_file {
  unique_file handle;
};

// Opened without backup semantics, so a directory does not open.
input_file::input_file(const wide& path) {
  unique_file handle(
      CreateFileW(win(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER size;
  if (!handle || GetFileType(handle.get()) != FILE_TYPE_DISK ||
      !GetFileSizeEx(handle.get(), &size) || size.QuadPart < 0)
    return;
  size_ = static_cast<std::uint64_t>(size.QuadPart);
  file_.reset(new platform_file{std::move(handle)});
}

input_file::~input_file() = default;

std::int64_t input_file::read_some(char* buffer, std::size_t want) {
  std::size_t done = 0;
  while (done < want) {
    DWORD got = 0;
    const std::size_t asked = want - done < MAXDWORD ? want - done : MAXDWORD;
    if (!ReadFile(file_->handle.get(), buffer + done, static_cast<DWORD>(asked), &got, nullptr))
      return -1;
    if (got == 0) break;
    done += got;
  }
  return static_cast<std::int64_t>(done);
}

wide codex_home() {
  wchar_t buffer[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, 0, buffer))) return wide();
  return wide(reinterpret_cast<const char16_t*>(buffer)) + u"\\.codex";
}

wide join_path(const wide& base, const wide& suffix) {
  return base + suffix;
}

bytes read_text_file(const wide& path) {
  unique_file file(
      CreateFileW(win(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return bytes();
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
      static_cast<std::uint64_t>(size.QuadPart) > max_text_file_size)
    return bytes();
  bytes content(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), &content[0], static_cast<DWORD>(content.size()), &read, nullptr))
    read = 0;
  content.resize(read);
  if (starts_with_byte_order_mark(content)) content.erase(0, 3);
  return content;
}

// The new content goes into an "mvn" temporary file beside the target and is
// moved over it, so the old file stays whole until the new one is complete.
bool write_text_file(const wide& path, const bytes& content) {
  wchar_t temp[MAX_PATH] = {};
  if (!GetTempFileNameW(win(parent_directory(path)), L"mvn", 0, temp)) return false;
  unique_file file(
      CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    DeleteFileW(temp);
    return false;
  }
  bool ok = write_all(file.get(), content);
  if (ok) ok = FlushFileBuffers(file.get()) != 0;
  if (!file.close()) ok = false;
  if (ok)
    ok = MoveFileExW(temp, win(path), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!ok) DeleteFileW(temp);
  return ok;
}

bytes to_utf8(const wide& text) {
  if (text.empty()) return bytes();
  int length = WideCharToMultiByte(CP_UTF8, 0, win(text), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
  if (length <= 0) return bytes();
  bytes out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, win(text), static_cast<int>(text.size()), &out[0], length,
                      nullptr, nullptr);
  return out;
}

wide from_utf8(const bytes& text) {
  if (text.empty()) return wide();
  int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return wide();
  wide out(static_cast<std::size_t>(length), u'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                      reinterpret_cast<wchar_t*>(&out[0]), length);
  return out;
}

namespace {

// The user's environment store, or nothing when it cannot be opened.
unique_hkey open_environment(REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, environment_key, 0, access, &key) != ERROR_SUCCESS)
    return unique_hkey();
  return unique_hkey(key);
}

}  // namespace

wide read_user_env(const wide& name) {
  const unique_hkey key = open_environment(KEY_QUERY_VALUE);
  if (!key) return wide();
  wchar_t buffer[user_env_buffer_size / sizeof(wchar_t)] = {};
  DWORD size = sizeof buffer;
  if (RegQueryValueExW(key.get(), win(name), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                       &size) != ERROR_SUCCESS)
    return wide();
  // A value stored without its NUL ends where its data ends.
  std::size_t units = size / sizeof(wchar_t);
  std::size_t length = 0;
  while (length < units && buffer[length] != L'\0') ++length;
  return wide(reinterpret_cast<const char16_t*>(buffer), length);
}

void set_user_env(const wide& name, const wide& value, bool announce) {
  {
    const unique_hkey key = open_environment(KEY_SET_VALUE);
    if (!key) return;
    if (!value.empty())
      RegSetValueExW(key.get(), win(name), 0, REG_EXPAND_SZ,
                     reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
    else
      RegDeleteValueW(key.get(), win(name));
  }  // closed before the announcement, as the value is then in place
  if (announce) broadcast_environment_change();
}

void delete_user_env(const wide& name, bool announce) {
  set_user_env(name, wide(), announce);
}

void broadcast_environment_change() {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                      reinterpret_cast<LPARAM>(environment_key), SMTO_ABORTIFHUNG, 100, &result);
}

bool create_directory(const wide& path) {
  if (CreateDirectoryW(win(path), nullptr)) return true;
  DWORD attributes = GetFileAttributesW(win(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool path_exists(const wide& path) {
  return GetFileAttributesW(win(path)) != INVALID_FILE_ATTRIBUTES;
}

bool copy_file(const wide& from, const wide& to, bool fail_if_exists) {
  return CopyFileW(win(from), win(to), fail_if_exists) != 0;
}

bool is_file(const wide& path) {
  DWORD attributes = GetFileAttributesW(win(path));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool delete_file(const wide& path) {
  return DeleteFileW(win(path)) != 0;
}

bool switch_off_system_proxy() {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, internet_settings_key, 0, KEY_SET_VALUE, &opened) !=
      ERROR_SUCCESS)
    return false;
  const unique_hkey key(opened);
  DWORD off = 0;
  RegSetValueExW(key.get(), L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off),
                 sizeof off);
  RegDeleteValueW(key.get(), L"ProxyServer");
  RegDeleteValueW(key.get(), L"ProxyOverride");
  RegDeleteValueW(key.get(), L"AutoConfigURL");
  return true;
}

void inject_write_fault_after(std::size_t bytes_written) {
  write_fault_after = bytes_written;
}
