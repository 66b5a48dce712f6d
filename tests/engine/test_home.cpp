// A clean user for every test, reached without the host layer under test.
#include "test_home.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host.h"
#include "write_faults.h"

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

wide home_folder;  // the Codex home of the current test

#ifdef _WIN32

wide profile_folder() {
  wchar_t buffer[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, 0, buffer))) return wide();
  return reinterpret_cast<const char16_t*>(buffer);
}

void remove_tree(const wide& path) {
  DWORD attributes = GetFileAttributesW(win(path));
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(win(path), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileW(win(path));
    return;
  }
  for (const wide& name : directory_entries(path)) remove_tree(path + u"\\" + name);
  RemoveDirectoryW(win(path));
}

void delete_values(const wchar_t* key_name, const std::vector<const wchar_t*>& names) {
  const unique_hkey key = open_user_key(key_name, KEY_SET_VALUE);
  if (!key) return;
  for (const wchar_t* name : names) RegDeleteValueW(key.get(), name);
}

void clean_user() {
  remove_tree(home_folder);
  delete_values(L"Environment",
                {L"OPENAI_API_KEY", L"HTTP_PROXY", L"HTTPS_PROXY", L"ALL_PROXY", L"http_proxy",
                 L"https_proxy", L"all_proxy", L"NO_PROXY", L"no_proxy"});
  delete_values(L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
                {L"ProxyEnable", L"ProxyServer", L"ProxyOverride", L"AutoConfigURL"});
}

bool make_directory(const wide& path) {
  return CreateDirectoryW(win(path), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

#else

std::string temporary_root;
std::string saved_home, saved_config;
bool had_home = false, had_config = false;

// Test paths are plain text; the host's converter has tests of its own.
std::string native(const wide& text) {
  return to_utf8(text);
}

wide from_ascii(const std::string& text) {
  return wide(text.begin(), text.end());
}

void remove_tree(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return;
  if (S_ISDIR(info.st_mode)) {
    chmod(path.c_str(), 0700);
    if (DIR* dir = opendir(path.c_str())) {
      while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") remove_tree(path + "/" + name);
      }
      closedir(dir);
    }
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

void remember(const char* name, std::string& value, bool& had) {
  const char* current = getenv(name);
  had = current != nullptr;
  value = current ? current : "";
}

void restore(const char* name, const std::string& value, bool had) {
  if (had)
    setenv(name, value.c_str(), 1);
  else
    unsetenv(name);
}

bool make_directory(const wide& path) {
  struct stat info;
  return mkdir(native(path).c_str(), 0777) == 0 ||
         (stat(native(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode));
}

#endif

}  // namespace

void set_codex_home_variable(const char* value) {
#ifdef _WIN32
  SetEnvironmentVariableW(L"CODEX_HOME", value ? win(from_utf8(value)) : nullptr);
#else
  if (value) {
    setenv("CODEX_HOME", value, 1);
  } else {
    unsetenv("CODEX_HOME");
  }
#endif
}

void user_test::SetUp() {
  // A CODEX_HOME of the person running the tests must never be written.
  set_codex_home_variable(nullptr);
#ifdef _WIN32
  home_folder = profile_folder() + u"\\.codex";
  clean_user();
#else
  char pattern[] = "/tmp/morvane-test-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  temporary_root = pattern;
  remember("HOME", saved_home, had_home);
  remember("XDG_CONFIG_HOME", saved_config, had_config);
  setenv("HOME", temporary_root.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (temporary_root + "/config").c_str(), 1);
  home_folder = from_ascii(temporary_root) + u"/.codex";
#endif
}

void user_test::TearDown() {
  set_codex_home_variable(nullptr);
  inject_write_fault_after(SIZE_MAX);
  inject_sync_fault(false);
  hold_targets_for(0);
  pause_next_lock_after_open(0);
  stop_changes_after(SIZE_MAX);
  set_lock_patience(default_lock_patience);
#ifdef _WIN32
  clean_user();
#else
  remove_tree(temporary_root);
  restore("HOME", saved_home, had_home);
  restore("XDG_CONFIG_HOME", saved_config, had_config);
#endif
}

wide user_test::path(const char16_t* suffix) const {
  wide result = home_folder;
  for (const char16_t* c = suffix; *c; ++c) {
#ifdef _WIN32
    result += *c;
#else
    result += *c == u'\\' ? u'/' : *c;
#endif
  }
  return result;
}

bytes user_test::file(const char16_t* suffix) const {
  return raw_read(path(suffix));
}

bool user_test::has(const char16_t* suffix) const {
  return raw_exists(path(suffix));
}

void user_test::put(const char16_t* suffix, const bytes& content) {
  // Creates the Codex home and any folder the suffix names inside it.
  wide target = path(suffix);
  for (std::size_t at = home_folder.size(); at != wide::npos;
       at = target.find_first_of(u"\\/", at + 1))
    make_directory(target.substr(0, at));
  ASSERT_TRUE(raw_write(target, content)) << narrow(target);
}

void user_test::remove(const char16_t* suffix) {
  ASSERT_TRUE(raw_remove(path(suffix))) << narrow(path(suffix));
}

#ifdef _WIN32

unique_hkey open_user_key(const wchar_t* name, REGSAM access) {
  unique_hkey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, name, 0, access, key.put()) != ERROR_SUCCESS) return {};
  return key;
}

unique_hkey create_user_key(const wchar_t* name, REGSAM access) {
  unique_hkey key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, name, 0, nullptr, 0, access, nullptr, key.put(),
                      nullptr) != ERROR_SUCCESS)
    return {};
  return key;
}

bool raw_exists(const wide& path) {
  return GetFileAttributesW(win(path)) != INVALID_FILE_ATTRIBUTES;
}

bool raw_remove(const wide& path) {
  if (!DeleteFileW(win(path))) RemoveDirectoryW(win(path));
  return !raw_exists(path);
}

std::vector<wide> directory_entries(const wide& path) {
  std::vector<wide> names;
  WIN32_FIND_DATAW found;
  const unique_find search(FindFirstFileW(win(path + u"\\*"), &found));
  if (!search) return names;
  do {
    wide name = reinterpret_cast<const char16_t*>(found.cFileName);
    if (name != u"." && name != u"..") names.push_back(name);
  } while (FindNextFileW(search.get(), &found));
  return names;
}

#else

bool raw_exists(const wide& path) {
  struct stat info;
  return stat(native(path).c_str(), &info) == 0;
}

bool raw_remove(const wide& path) {
  std::remove(native(path).c_str());
  return !raw_exists(path);
}

std::vector<wide> directory_entries(const wide& path) {
  std::vector<wide> names;
  DIR* dir = opendir(native(path).c_str());
  if (!dir) return names;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    // Entry names made by the tests are ASCII or UTF-8; only ASCII is
    // compared by name, the rest keeps its bytes as code units.
    wide converted;
    for (char c : name) converted += static_cast<char16_t>(static_cast<unsigned char>(c));
    names.push_back(converted);
  }
  closedir(dir);
  return names;
}

#endif

// Binary-mode stdio on the test's own path conversion: "rb" or "wb".
static FILE* open_raw(const wide& path, const char* mode) {
#ifdef _WIN32
  return _wfopen(win(path), mode[0] == 'r' ? L"rb" : L"wb");
#else
  return fopen(native(path).c_str(), mode);
#endif
}

bytes raw_read(const wide& path) {
  FILE* file = open_raw(path, "rb");
  if (!file) return bytes();
  bytes content;
  char buffer[65536];
  std::size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
  fclose(file);
  return content;
}

bool raw_write(const wide& path, const bytes& content) {
  FILE* file = open_raw(path, "wb");
  if (!file) return false;
  bool ok = fwrite(content.data(), 1, content.size(), file) == content.size();
  return fclose(file) == 0 && ok;
}

std::string narrow(const wide& text) {
  std::string out;
  for (char16_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char escape[8];
      snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
      out += escape;
    }
  }
  return out;
}

bytes earlier_template(bytes text) {
  const std::size_t at = text.find("description = ");
  return at == bytes::npos ? text : text.erase(at, text.find('\n', at) + 1 - at);
}
