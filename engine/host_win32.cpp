// The host on Windows: the profile folder, files, the user's registry
// environment, the change broadcast and the per-user Internet settings.
#include <shlobj.h>
#include <windows.h>
// After windows.h, which they build on.
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "codex_files.h"
#include "host.h"
#include "platform_files.h"
#include "unique_handle.h"

namespace {

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

host_result failed_with_last_error() {
  return host_failure(static_cast<int>(GetLastError()));
}

// FlushFileBuffers, or a failing disk when a test makes syncs fail.
bool sync_to_disk(HANDLE file) {
  if (sync_fault_injected()) {
    SetLastError(ERROR_WRITE_FAULT);
    return false;
  }
  return FlushFileBuffers(file) != 0;
}

// Errors of a target that another program holds open for a moment.
bool held_by_another_program(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

// MoveFileExW over the target, tried again for about two seconds in all,
// with growing pauses, while another program holds the target: editors,
// virus scans, the desktop app and the client's IDE extension open files
// without delete sharing for a moment.
bool move_over(const wchar_t* from, const wchar_t* to) {
  constexpr DWORD patience_ms = 2000, longest_pause_ms = 500;
  DWORD pause_ms = 10;
  for (DWORD waited_ms = 0;;
       waited_ms += pause_ms, pause_ms = std::min(pause_ms * 2, longest_pause_ms)) {
    DWORD error;
    if (target_held_by_test()) {
      error = ERROR_SHARING_VIOLATION;
    } else if (MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    } else {
      error = GetLastError();
    }
    if (!held_by_another_program(error) || waited_ms >= patience_ms) {
      SetLastError(error);
      return false;
    }
    Sleep(pause_ms);
  }
}

// A protected DACL (nothing inherited from the folder) that grants full
// access to the user, SYSTEM and the Administrators, and no one else.
class private_security {
 public:
  private_security() {
    unique_object token;
    DWORD size = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    user_.resize(size);
    if (size == 0 || !GetTokenInformation(token.get(), TokenUser, user_.data(), size, &size))
      return;
    DWORD system_size = sizeof system_, administrators_size = sizeof administrators_;
    if (!CreateWellKnownSid(WinLocalSystemSid, nullptr, system_, &system_size) ||
        !CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators_,
                            &administrators_size))
      return;
    const PSID granted[] = {user(), system_, administrators_};
    DWORD acl_size = sizeof(ACL);
    for (const PSID sid : granted) acl_size += sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(sid);
    acl_.resize(acl_size);
    if (!InitializeAcl(acl(), acl_size, ACL_REVISION)) return;
    for (const PSID sid : granted) {
      if (!AddAccessAllowedAce(acl(), ACL_REVISION, FILE_ALL_ACCESS, sid)) return;
    }
    ready_ = InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
             SetSecurityDescriptorDacl(&descriptor_, TRUE, acl(), FALSE) &&
             SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    attributes_.lpSecurityDescriptor = &descriptor_;
  }
  private_security(const private_security&) = delete;
  private_security& operator=(const private_security&) = delete;

  bool ready() const { return ready_; }
  SECURITY_ATTRIBUTES* attributes() { return &attributes_; }
  PACL acl() { return reinterpret_cast<PACL>(acl_.data()); }
  PSID user() { return reinterpret_cast<TOKEN_USER*>(user_.data())->User.Sid; }
  // The user, SYSTEM or the Administrators.
  bool trusted(PSID sid) {
    return EqualSid(sid, user()) || EqualSid(sid, system_) || EqualSid(sid, administrators_);
  }

 private:
  std::vector<BYTE> user_;
  BYTE system_[SECURITY_MAX_SID_SIZE] = {};
  BYTE administrators_[SECURITY_MAX_SID_SIZE] = {};
  std::vector<BYTE> acl_;
  SECURITY_DESCRIPTOR descriptor_ = {};
  SECURITY_ATTRIBUTES attributes_ = {sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
  bool ready_ = false;
};

// An account as the user knows it ("Everyone", "Users", "PC\ana"); the SID
// string when it has no name.
wide account_name(PSID sid) {
  wchar_t name[256] = {}, domain[256] = {};
  DWORD name_size = 256, domain_size = 256;
  SID_NAME_USE use;
  if (LookupAccountSidW(nullptr, sid, name, &name_size, domain, &domain_size, &use)) {
    const wide account = reinterpret_cast<const char16_t*>(name);
    // A person's or a domain group's account with its domain; built-in
    // groups ("Users") and well-known ones ("Everyone") by name alone.
    const bool with_domain = domain[0] && (use == SidTypeUser || use == SidTypeGroup);
    return with_domain ? reinterpret_cast<const char16_t*>(domain) + (u"\\" + account) : account;
  }
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(sid, &text)) return u"?";
  const wide shown = reinterpret_cast<const char16_t*>(text);
  LocalFree(text);
  return shown;
}

}  // namespace

const int disk_full_error = ERROR_DISK_FULL;
const int exists_error = ERROR_FILE_EXISTS;
const int stopped_error = ERROR_OPERATION_ABORTED;

wide system_message(int error) {
  if (error == 0) return wide();
  wchar_t buffer[512] = {};
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, static_cast<DWORD>(error), 0, buffer,
                                      sizeof buffer / sizeof buffer[0], nullptr);
  wide text(reinterpret_cast<const char16_t*>(buffer), length);
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ' ||
                           text.back() == u'.'))
    text.pop_back();
  if (text.empty()) return u"error " + from_utf8(std::to_string(error));
  return text;
}

struct input_file::platform_file {
  unique_file handle;
};

// Opened without backup semantics, so a directory does not open.
input_file::input_file(const wide& path) {
  unique_file handle(
      CreateFileW(win(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!handle) {
    error_ = static_cast<int>(GetLastError());
    return;
  }
  LARGE_INTEGER size;
  if (GetFileType(handle.get()) != FILE_TYPE_DISK || !GetFileSizeEx(handle.get(), &size) ||
      size.QuadPart < 0) {
    error_ = ERROR_INVALID_HANDLE;
    return;
  }
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

namespace {

bool is_separator(char16_t c) {
  return c == u'\\' || c == u'/';
}

// "C:\..." or "C:/...", and network and device paths ("\\server\share").
bool is_absolute(const wide& path) {
  const bool drive = path.size() >= 3 && path[1] == u':' && is_separator(path[2]) &&
                     ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
  return drive || (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1]));
}

// Whether the text has a UTF-8 form, which a lone surrogate lacks: such a
// path would show, and go into the files the tool writes, as another name.
bool exact_text(const wide& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

}  // namespace

wide process_variable(const wide& name) {
  const DWORD size = GetEnvironmentVariableW(win(name), nullptr, 0);
  if (size == 0) return wide();
  wide value(size, u'\0');
  const DWORD length =
      GetEnvironmentVariableW(win(name), reinterpret_cast<wchar_t*>(&value[0]), size);
  value.resize(length < size ? length : 0);
  return value;
}

codex_home_place find_codex_home() {
  codex_home_place place;
  place.setting = process_variable(u"CODEX_HOME");
  wide path;
  if (!place.setting.empty()) {
    place.absolute = is_absolute(place.setting);
    path = place.setting;
    // "C:\" keeps its separator: "C:" alone names a folder of the drive.
    while (path.size() > 3 && is_separator(path.back())) path.pop_back();
  } else {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, 0, buffer))) return place;
    path = wide(reinterpret_cast<const char16_t*>(buffer)) + u"\\.codex";
  }
  place.exact = exact_text(path);
  if (!place.exact) {
    place.setting = path;
  } else if (place.absolute) {
    place.path = path;
  }
  return place;
}

wide join_path(const wide& base, const wide& suffix) {
  return base + suffix;
}

// A symbolic link in the target's place is replaced, not followed: the
// Win32 calls used here have no portable way to follow one, and such links
// are rare on Windows.
struct replacement_file::platform_file {
  wide target;
  wchar_t temporary[MAX_PATH] = {};
  unique_file handle;
  bool committed = false;
};

// The temporary file is private from the moment it exists: created new,
// under a name GetTempFileNameW forms but does not create, with the
// protected DACL.
replacement_file::replacement_file(const wide& target, const wide&) : file_(new platform_file) {
  file_->target = target;
  if (!change_allowed()) {
    opened_ = host_failure(stopped_error);
    return;
  }
  private_security security;
  if (!security.ready()) {
    opened_ = failed_with_last_error();
    return;
  }
  UINT unique = static_cast<UINT>(GetTickCount() ^ GetCurrentProcessId()) & 0xFFFF;
  for (int attempt = 0; attempt < 100 && !file_->handle; ++attempt) {
    unique = unique % 0xFFFF + 1;  // 0 would make GetTempFileNameW create the file
    if (!GetTempFileNameW(win(parent_directory(target)), L"mvn", unique, file_->temporary)) break;
    file_->handle.reset(CreateFileW(file_->temporary, GENERIC_WRITE, 0, security.attributes(),
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_->handle && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (!file_->handle) {
    opened_ = failed_with_last_error();
    file_->temporary[0] = L'\0';
  }
}

replacement_file::~replacement_file() {
  file_->handle.reset();
  if (!file_->committed && file_->temporary[0] != L'\0' && change_allowed())
    DeleteFileW(file_->temporary);
}

host_result replacement_file::write(const char* data, std::size_t size) {
  while (size > 0) {
    const DWORD piece = size < MAXDWORD ? static_cast<DWORD>(size) : MAXDWORD;
    DWORD written = 0;
    if (!WriteFile(file_->handle.get(), data, piece, &written, nullptr))
      return failed_with_last_error();
    if (written == 0) return host_failure(disk_full_error);
    data += written;
    size -= written;
  }
  return {};
}

host_result replacement_file::sync() {
  return sync_to_disk(file_->handle.get()) ? host_result() : failed_with_last_error();
}

host_result replacement_file::commit() {
  if (!file_->handle.close()) return failed_with_last_error();
  if (!change_allowed()) return host_failure(stopped_error);
  if (!move_over(file_->temporary, win(file_->target))) return failed_with_last_error();
  file_->committed = true;
  return {};
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

// The user's environment store, or nothing when it cannot be opened (the
// reason then in GetLastError).
unique_hkey open_environment(REGSAM access) {
  unique_hkey key;
  const LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, environment_key, 0, access, key.put());
  if (status == ERROR_SUCCESS) return key;
  SetLastError(static_cast<DWORD>(status));
  return unique_hkey();
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

host_result set_user_env(const wide& name, const wide& value, bool announce) {
  {
    const unique_hkey key = open_environment(KEY_SET_VALUE);
    if (!key) return failed_with_last_error();
    if (!change_allowed()) return host_failure(stopped_error);
    const LSTATUS status =
        !value.empty() ? RegSetValueExW(key.get(), win(name), 0, REG_EXPAND_SZ,
                                        reinterpret_cast<const BYTE*>(value.c_str()),
                                        static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)))
                       : RegDeleteValueW(key.get(), win(name));
    if (status != ERROR_SUCCESS && !(value.empty() && status == ERROR_FILE_NOT_FOUND))
      return host_failure(static_cast<int>(status));
  }  // closed before the announcement, as the value is then in place
  if (announce) broadcast_environment_change();
  return {};
}

wide user_environment_store() {
  return u"HKEY_CURRENT_USER\\Environment";
}

void broadcast_environment_change() {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                      reinterpret_cast<LPARAM>(environment_key), SMTO_ABORTIFHUNG, 100, &result);
}

host_result create_directory(const wide& path) {
  if (!change_allowed()) return host_failure(stopped_error);
  if (CreateDirectoryW(win(path), nullptr)) return {};
  const host_result failed = failed_with_last_error();
  DWORD attributes = GetFileAttributesW(win(path));
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
  return failed;
}

bool path_exists(const wide& path) {
  return GetFileAttributesW(win(path)) != INVALID_FILE_ATTRIBUTES;
}

bool is_file(const wide& path) {
  DWORD attributes = GetFileAttributesW(win(path));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

host_result delete_file(const wide& path) {
  if (!change_allowed()) return host_failure(stopped_error);
  return DeleteFileW(win(path)) ? host_result() : failed_with_last_error();
}

host_result remove_empty_directory(const wide& path) {
  const DWORD attributes = GetFileAttributesW(win(path));
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return host_failure(ERROR_DIRECTORY);
  if (!change_allowed()) return host_failure(stopped_error);
  return RemoveDirectoryW(win(path)) ? host_result() : failed_with_last_error();
}

// The DACL replaced in place; where that leaves others able to read it (a
// file system that keeps no DACL of its own, as under Wine), the file is
// written anew, which creates it private.
host_result protect_key_file(const wide& path) {
  private_security security;
  if (!security.ready()) return failed_with_last_error();
  if (!change_allowed()) return host_failure(stopped_error);
  std::vector<wchar_t> name(path.begin(), path.end());
  name.push_back(L'\0');
  const DWORD status = SetNamedSecurityInfoW(
      name.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
      nullptr, nullptr, security.acl(), nullptr);
  if (status == ERROR_SUCCESS && others_who_can_read(path).empty()) return {};
  bytes content;
  {
    input_file file(path);
    if (!file.is_open()) return host_failure(file.error());
    content.assign(static_cast<std::size_t>(file.size()), '\0');
    if (!content.empty() &&
        file.read_some(&content[0], content.size()) != static_cast<std::int64_t>(content.size()))
      return host_failure(ERROR_READ_FAULT);
  }
  return write_text_file(path, content);
}

// Every account that an allowing entry of the DACL lets read the file,
// other than the user, SYSTEM and the Administrators; a file without a DACL
// is open to everyone.
wide others_who_can_read(const wide& path) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(win(path), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                            &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
    return wide();
  private_security security;
  wide who = dacl ? wide() : wide(u"Everyone");
  constexpr DWORD reading = FILE_READ_DATA | GENERIC_READ | GENERIC_ALL;
  for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
    ACE_HEADER* header = nullptr;
    if (!GetAce(dacl, i, reinterpret_cast<void**>(&header)) ||
        header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE))
      continue;
    ACCESS_ALLOWED_ACE* entry = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
    const PSID sid = &entry->SidStart;
    if (!(entry->Mask & reading) || (security.ready() && security.trusted(sid))) continue;
    const wide name = account_name(sid);
    if (who.find(name) == wide::npos) who += (who.empty() ? u"" : u", ") + name;
  }
  LocalFree(descriptor);
  return who;
}

// The names GetTempFileNameW gives with the "mvn" prefix: "mvnXXXX.tmp".
void remove_leftover_files(const wide& folder) {
  std::vector<wide> leftovers;
  WIN32_FIND_DATAW found;
  {
    const unique_find search(FindFirstFileW(win(folder + u"\\mvn*.tmp"), &found));
    if (!search) return;
    do {
      const wide name = lower_case(wide(reinterpret_cast<const char16_t*>(found.cFileName)));
      // The pattern also matches short names; only the tool's own names count.
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.size() > 7 &&
          name.compare(0, 3, u"mvn") == 0 && name.compare(name.size() - 4, 4, u".tmp") == 0)
        leftovers.push_back(folder + u"\\" + reinterpret_cast<const char16_t*>(found.cFileName));
    } while (FindNextFileW(search.get(), &found));
  }
  for (const wide& leftover : leftovers) {
    if (change_allowed()) DeleteFileW(win(leftover));
  }
}

// ".morvane-lock" opened with no sharing: no second command can open it
// until the first closes it, which also deletes it.
struct home_lock::platform_lock {
  unique_file handle;
};

home_lock::home_lock(const wide& home, bool wait) : lock_(new platform_lock) {
  path_ = join_path(home, lock_file_suffix);
  const unsigned patience = wait ? lock_patience() : 0;
  for (unsigned waited = 0;; waited += 10) {
    lock_->handle.reset(CreateFileW(win(path_), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE,
                                    nullptr));
    if (lock_->handle) return;
    // Held by another command, or being deleted by the one that just let
    // go; anything else, a folder in its place among them, is a fault.
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(win(path_));
    const bool folder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || folder) {
      state_ = state::failed;
      error_ = static_cast<int>(error);
      return;
    }
    if (waited >= patience) {
      // Still denied after all this time is no holder but a fault.
      state_ = error == ERROR_SHARING_VIOLATION ? state::busy : state::failed;
      error_ = error == ERROR_SHARING_VIOLATION ? 0 : static_cast<int>(error);
      return;
    }
    Sleep(10);
  }
}

home_lock::~home_lock() = default;

bool switch_off_system_proxy() {
  unique_hkey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, internet_settings_key, 0, KEY_SET_VALUE, key.put()) !=
      ERROR_SUCCESS)
    return false;
  if (!change_allowed()) return true;
  DWORD off = 0;
  RegSetValueExW(key.get(), L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off),
                 sizeof off);
  RegDeleteValueW(key.get(), L"ProxyServer");
  RegDeleteValueW(key.get(), L"ProxyOverride");
  RegDeleteValueW(key.get(), L"AutoConfigURL");
  return true;
}

bool system_proxy_is_off() {
  unique_hkey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, internet_settings_key, 0, KEY_QUERY_VALUE, key.put()) !=
      ERROR_SUCCESS)
    return true;
  DWORD type = REG_NONE, enabled = 1, size = sizeof enabled;
  if (RegQueryValueExW(key.get(), L"ProxyEnable", nullptr, &type, reinterpret_cast<BYTE*>(&enabled),
                       &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof enabled || enabled != 0)
    return false;
  for (const wchar_t* name : {L"ProxyServer", L"ProxyOverride", L"AutoConfigURL"}) {
    if (RegQueryValueExW(key.get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
      return false;
  }
  return true;
}
