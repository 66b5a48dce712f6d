// The Windows host against the real registry and profile folder.
#include <shlobj.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <aclapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host.h"
#include "test_home.h"
#include "write_faults.h"

namespace {

using host_win32_test = user_test;

const wchar_t environment_key[] = L"Environment";
const wchar_t internet_settings_key[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

struct stored_value {
  LONG status = ERROR_FILE_NOT_FOUND;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

stored_value query(const wchar_t* key_name, const wchar_t* name) {
  stored_value value;
  const unique_hkey key = open_user_key(key_name, KEY_QUERY_VALUE);
  if (!key) return value;
  DWORD size = 0;
  value.status = RegQueryValueExW(key.get(), name, nullptr, &value.type, nullptr, &size);
  if (value.status == ERROR_SUCCESS) {
    value.data.resize(size);
    value.status =
        RegQueryValueExW(key.get(), name, nullptr, &value.type, value.data.data(), &size);
    value.data.resize(size);
  }
  return value;
}

void store(const wchar_t* key_name, const wchar_t* name, DWORD type, const void* data, DWORD size) {
  const unique_hkey key = create_user_key(key_name, KEY_SET_VALUE);
  ASSERT_TRUE(key);
  EXPECT_EQ(RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS);
}

void store_text(const wchar_t* name, const wide& units, std::size_t byte_count) {
  store(environment_key, name, REG_SZ, units.data(), static_cast<DWORD>(byte_count));
}

TEST_F(host_win32_test, environment_values_are_expandable_strings_with_their_nul) {
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"");
  set_user_env(u"OPENAI_API_KEY", u"sk-abc", true);
  stored_value value = query(environment_key, L"OPENAI_API_KEY");
  ASSERT_EQ(value.status, ERROR_SUCCESS);
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_EXPAND_SZ));
  ASSERT_EQ(value.data.size(), 14u) << "six units and the terminating NUL";
  EXPECT_EQ(wide(reinterpret_cast<const char16_t*>(value.data.data()), 7), wide(u"sk-abc\0", 7));
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"sk-abc");

  delete_user_env(u"OPENAI_API_KEY", true);
  EXPECT_EQ(query(environment_key, L"OPENAI_API_KEY").status, ERROR_FILE_NOT_FOUND);
  set_user_env(u"HTTPS_PROXY", u"x", false);
  set_user_env(u"HTTPS_PROXY", u"", false);
  EXPECT_EQ(query(environment_key, L"HTTPS_PROXY").status, ERROR_FILE_NOT_FOUND)
      << "empty text deletes";
}

TEST_F(host_win32_test, environment_reads_stay_inside_the_data_and_the_buffer) {
  store_text(L"OPENAI_API_KEY", wide(5000, u'k'), 10000);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"") << "larger than 8192 bytes";
  // Binary data fills the buffer exactly, with no NUL to stop at (string
  // types may be NUL-padded by the registry itself).
  const wide full(4096, u'k');
  store(environment_key, L"OPENAI_API_KEY", REG_BINARY, full.data(), 8192);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), full) << "a full buffer ends with the data";
  store_text(L"OPENAI_API_KEY", wide(4097, u'k'), 8194);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"");

  store_text(L"OPENAI_API_KEY", u"abcdef", 6);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"abc") << "stored without NUL";
  store_text(L"OPENAI_API_KEY", u"abcdef", 7);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"abc") << "a stray odd byte is no unit";
  store(environment_key, L"OPENAI_API_KEY", REG_BINARY, u"ab\0cd", 10);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"ab") << "type ignored, text ends at NUL";
  store(environment_key, L"OPENAI_API_KEY", REG_SZ, u"", 0);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"");
}

TEST_F(host_win32_test, missing_environment_key_is_not_created) {
  // Saves the key's values, removes it, and puts it back afterwards.
  std::vector<std::pair<std::wstring, stored_value>> saved;
  {
    const unique_hkey key = open_user_key(environment_key, KEY_READ);
    ASSERT_TRUE(key);
    for (DWORD index = 0;; ++index) {
      wchar_t name[16384];
      DWORD name_length = 16384;
      if (RegEnumValueW(key.get(), index, name, &name_length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS)
        break;
      saved.push_back({name, query(environment_key, name)});
    }
  }
  ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, environment_key), ERROR_SUCCESS);

  settings_listener listener;
  ASSERT_NE(listener.window, nullptr);
  EXPECT_EQ(set_user_env(u"OPENAI_API_KEY", u"sk-abc", true).error, ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(delete_user_env(u"OPENAI_API_KEY", true));
  EXPECT_FALSE(open_user_key(environment_key, KEY_READ));
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"");
  EXPECT_TRUE(listener.received.empty()) << "nothing changed, so nothing is announced";

  ASSERT_TRUE(create_user_key(environment_key, KEY_SET_VALUE));
  for (const auto& entry : saved)
    store(environment_key, entry.first.c_str(), entry.second.type, entry.second.data.data(),
          static_cast<DWORD>(entry.second.data.size()));
}

TEST_F(host_win32_test, codex_home_is_in_the_profile_folder) {
  wchar_t profile[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, 0, profile)));
  EXPECT_EQ(codex_home(), wide(reinterpret_cast<const char16_t*>(profile)) + u"\\.codex");
  EXPECT_EQ(path(u"\\auth.json"), join_path(codex_home(), u"\\auth.json"));
}

// The user this test runs as.
PSID user_sid() {
  static BYTE buffer[256];
  HANDLE token = nullptr;
  DWORD size = sizeof buffer;
  OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
  GetTokenInformation(token, TokenUser, buffer, size, &size);
  CloseHandle(token);
  return reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid;
}

// Wherever CODEX_HOME points, what the tool writes is the user's alone: a
// protected DACL that grants no one but the user, SYSTEM and the
// Administrators, though the folder lets everyone read.
TEST_F(host_win32_test, key_files_ignore_what_the_folder_grants) {
  ASSERT_TRUE(create_directory(codex_home()));
  EXPLICIT_ACCESS_W everyone = {};
  BuildExplicitAccessWithNameW(&everyone, const_cast<wchar_t*>(L"Everyone"), GENERIC_ALL,
                               SET_ACCESS, SUB_CONTAINERS_AND_OBJECTS_INHERIT);
  PACL open_acl = nullptr;
  ASSERT_EQ(SetEntriesInAclW(1, &everyone, nullptr, &open_acl), ERROR_SUCCESS);
  std::wstring folder(win(codex_home()));
  ASSERT_EQ(SetNamedSecurityInfoW(&folder[0], SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                  nullptr, open_acl, nullptr),
            ERROR_SUCCESS);
  LocalFree(open_acl);
  ASSERT_TRUE(raw_write(path(u"\\mine.json"), "{}"));
  EXPECT_NE(others_who_can_read(path(u"\\mine.json")).find(u"Everyone"), wide::npos);

  ASSERT_TRUE(write_text_file(path(u"\\auth.json"), "{}"));
  ASSERT_TRUE(protect_key_file(path(u"\\mine.json")));
  for (const char16_t* name : {u"\\auth.json", u"\\mine.json"}) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(GetNamedSecurityInfoW(win(path(name)), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                    nullptr, nullptr, &dacl, nullptr, &descriptor),
              ERROR_SUCCESS);
    ASSERT_NE(dacl, nullptr);
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
      ACCESS_ALLOWED_ACE* entry = nullptr;
      ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&entry)));
      const PSID sid = &entry->SidStart;
      EXPECT_TRUE(EqualSid(sid, user_sid()) || IsWellKnownSid(sid, WinLocalSystemSid) ||
                  IsWellKnownSid(sid, WinBuiltinAdministratorsSid))
          << narrow(name) << ": only the user, SYSTEM and the Administrators";
    }
    LocalFree(descriptor);
    EXPECT_EQ(others_who_can_read(path(name)), u"") << narrow(name);
  }

  // A CODEX_HOME with a lone surrogate has no exact name to show or write.
  SetEnvironmentVariableW(L"CODEX_HOME", L"C:\\codex\xD800");
  EXPECT_FALSE(find_codex_home().exact);
  EXPECT_EQ(codex_home(), u"");
}

// Another program holding the target open for a moment (an editor, a virus
// scan) is waited out for about two seconds; then the write fails, naming
// the reason, with the old file whole and no temporary file left.
TEST_F(host_win32_test, a_held_target_is_tried_again) {
  put(u"\\config.toml", "old\n");
  hold_targets_for(4);
  EXPECT_TRUE(write_text_file(path(u"\\config.toml"), "new\n"));
  EXPECT_EQ(file(u"\\config.toml"), "new\n");
  hold_targets_for(1000);
  const DWORD start = GetTickCount();
  const host_result held = write_text_file(path(u"\\config.toml"), "newer\n");
  const DWORD waited = GetTickCount() - start;
  hold_targets_for(0);
  EXPECT_FALSE(held);
  EXPECT_EQ(held.error, ERROR_SHARING_VIOLATION);
  EXPECT_GE(waited, 1500u);
  EXPECT_LE(waited, 4000u);
  EXPECT_EQ(file(u"\\config.toml"), "new\n");
  EXPECT_EQ(directory_entries(path(u"")), std::vector<wide>{u"config.toml"});
}

TEST_F(host_win32_test, system_proxy_is_switched_off) {
  DWORD on = 1;
  store(internet_settings_key, L"ProxyEnable", REG_DWORD, &on, sizeof on);
  store(internet_settings_key, L"ProxyServer", REG_SZ, L"proxy:8080", 22);
  store(internet_settings_key, L"ProxyOverride", REG_SZ, L"<local>", 16);
  store(internet_settings_key, L"AutoConfigURL", REG_SZ, L"http://wpad/", 26);
  store(internet_settings_key, L"MorvaneTestKeep", REG_SZ, L"x", 4);

  EXPECT_TRUE(switch_off_system_proxy());
  stored_value enable = query(internet_settings_key, L"ProxyEnable");
  ASSERT_EQ(enable.status, ERROR_SUCCESS);
  EXPECT_EQ(enable.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(enable.data, std::vector<BYTE>(4, 0));
  for (const wchar_t* gone : {L"ProxyServer", L"ProxyOverride", L"AutoConfigURL"})
    EXPECT_EQ(query(internet_settings_key, gone).status, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(query(internet_settings_key, L"MorvaneTestKeep").status, ERROR_SUCCESS);

  {
    const unique_hkey key = open_user_key(internet_settings_key, KEY_SET_VALUE);
    ASSERT_TRUE(key);
    RegDeleteValueW(key.get(), L"MorvaneTestKeep");
    RegDeleteValueW(key.get(), L"ProxyEnable");
  }
  EXPECT_TRUE(switch_off_system_proxy());
  EXPECT_EQ(query(internet_settings_key, L"ProxyEnable").data, std::vector<BYTE>(4, 0))
      << "created when absent";
}

}  // namespace
