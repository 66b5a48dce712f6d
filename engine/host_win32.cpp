// The host on Windows: the profile folder, files, the user's registry
// environment, the change broadcast and the per-user Internet settings.
#include <windows.h>
#include <shlobj.h>

#include <cstdint>

#include "host.h"
#include "input_file.h"

namespace {

std::size_t write_fault_after = SIZE_MAX;

const wchar_t* win(const wide& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

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

// Opened without backup semantics, so a directory does not open.
input_file::input_file(const wide& path)
    : handle_(reinterpret_cast<std::intptr_t>(CreateFileW(
          win(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr))) {
  HANDLE file = reinterpret_cast<HANDLE>(handle_);
  LARGE_INTEGER size;
  is_open_ = file != INVALID_HANDLE_VALUE && GetFileType(file) == FILE_TYPE_DISK &&
             GetFileSizeEx(file, &size) && size.QuadPart >= 0;
  if (is_open_) size_ = static_cast<std::uint64_t>(size.QuadPart);
}

input_file::~input_file() {
  HANDLE file = reinterpret_cast<HANDLE>(handle_);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

std::int64_t input_file::read_some(char* buffer, std::size_t want) {
  HANDLE file = reinterpret_cast<HANDLE>(handle_);
  std::size_t done = 0;
  while (done < want) {
    DWORD got = 0;
    const std::size_t asked = want - done < MAXDWORD ? want - done : MAXDWORD;
    if (!ReadFile(file, buffer + done, static_cast<DWORD>(asked), &got, nullptr)) return -1;
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

wide join_path(const wide& base, const wide& suffix) { return base + suffix; }

bytes read_text_file(const wide& path) {
  HANDLE file = CreateFileW(win(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes();
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0 ||
      static_cast<std::uint64_t>(size.QuadPart) > max_text_file_size) {
    CloseHandle(file);
    return bytes();
  }
  bytes content(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!ReadFile(file, &content[0], static_cast<DWORD>(content.size()), &read, nullptr)) read = 0;
  CloseHandle(file);
  content.resize(read);
  if (content.size() >= 3 && content.compare(0, 3, "\xEF\xBB\xBF") == 0) content.erase(0, 3);
  return content;
}

// The new content goes into an "mvn" temporary file beside the target and is
// moved over it, so the old file stays whole until the new one is complete.
bool write_text_file(const wide& path, const bytes& content) {
  wchar_t temp[MAX_PATH] = {};
  if (!GetTempFileNameW(win(parent_directory(path)), L"mvn", 0, temp)) return false;
  HANDLE file = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DeleteFileW(temp);
    return false;
  }
  bool ok = write_all(file, content);
  if (ok) ok = FlushFileBuffers(file) != 0;
  if (!CloseHandle(file)) ok = false;
  if (ok)
    ok = MoveFileExW(temp, win(path), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!ok) DeleteFileW(temp);
  return ok;
}

bytes to_utf8(const wide& text) {
  if (text.empty()) return bytes();
  int length = WideCharToMultiByte(CP_UTF8, 0, win(text), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
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

wide read_user_env(const wide& name) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, environment_key, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return wide();
  wchar_t buffer[user_env_buffer_size / sizeof(wchar_t)] = {};
  DWORD size = sizeof buffer;
  LONG status =
      RegQueryValueExW(key, win(name), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return wide();
  // A value stored without its NUL ends where its data ends.
  std::size_t units = size / sizeof(wchar_t);
  std::size_t length = 0;
  while (length < units && buffer[length] != L'\0') ++length;
  return wide(reinterpret_cast<const char16_t*>(buffer), length);
}

void set_user_env(const wide& name, const wide& value, bool announce) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, environment_key, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    return;
  if (!value.empty())
    RegSetValueExW(key, win(name), 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
  else
    RegDeleteValueW(key, win(name));
  RegCloseKey(key);
  if (announce) broadcast_environment_change();
}

void delete_user_env(const wide& name, bool announce) { set_user_env(name, wide(), announce); }

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

bool delete_file(const wide& path) { return DeleteFileW(win(path)) != 0; }

bool switch_off_system_proxy() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, internet_settings_key, 0, KEY_SET_VALUE, &key) !=
      ERROR_SUCCESS)
    return false;
  DWORD off = 0;
  RegSetValueExW(key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off),
                 sizeof off);
  RegDeleteValueW(key, L"ProxyServer");
  RegDeleteValueW(key, L"ProxyOverride");
  RegDeleteValueW(key, L"AutoConfigURL");
  RegCloseKey(key);
  return true;
}

void inject_write_fault_after(std::size_t bytes_written) { write_fault_after = bytes_written; }
