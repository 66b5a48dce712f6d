// The outside world misbehaving: locked, oversized, malformed or misplaced
// files and environment values. Every run must end with its usual box, and
// the user's files stay byte for byte as they were wherever nothing was to
// change.
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <thread>
#include <vector>

#include "codex_files.h"
#include "command_test.h"
#include "config_files.h"
#include "host.h"
#include "write_faults.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
const wchar_t lock_variable[] = L"MORVANE_TEST_HOLD_LOCK";

// Started as a second copy of this program by holding_lock below: opens the
// named file without sharing, as an editor or a running client might, says
// so, and keeps it until told to let go. Runs before any test is set up.
const bool lock_holder_ran = [] {
  wchar_t target[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(lock_variable, target, MAX_PATH)) return false;
  HANDLE file =
      CreateFileW(target, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  wchar_t name[64];
  swprintf(name, 64, L"morvane-lock-%lu-ready", GetCurrentProcessId());
  HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, name);
  swprintf(name, 64, L"morvane-lock-%lu-release", GetCurrentProcessId());
  HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, name);
  if (file == INVALID_HANDLE_VALUE || !ready || !release) ExitProcess(1);
  SetEvent(ready);
  WaitForSingleObject(release, 60000);
  ExitProcess(0);
}();

// Holds the file locked by another process for the life of this object.
class holding_lock {
 public:
  explicit holding_lock(const wide& target) {
    SetEnvironmentVariableW(lock_variable, win(target));
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    wchar_t command[] = L"window_tests --gtest_list_tests";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    const bool started = CreateProcessW(program, command, nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                        nullptr, nullptr, &startup, &child);
    SetEnvironmentVariableW(lock_variable, nullptr);
    if (!started) return;
    process_.reset(child.hProcess);
    const unique_object thread(child.hThread);
    wchar_t name[64];
    swprintf(name, 64, L"morvane-lock-%lu-ready", child.dwProcessId);
    const unique_object ready(CreateEventW(nullptr, TRUE, FALSE, name));
    swprintf(name, 64, L"morvane-lock-%lu-release", child.dwProcessId);
    release_.reset(CreateEventW(nullptr, TRUE, FALSE, name));
    ResumeThread(thread.get());
    HANDLE waits[] = {ready.get(), process_.get()};
    held = WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0;
  }
  ~holding_lock() {
    if (!process_) return;
    SetEvent(release_.get());
    WaitForSingleObject(process_.get(), 30000);
  }
  holding_lock(const holding_lock&) = delete;
  holding_lock& operator=(const holding_lock&) = delete;
  bool held = false;

 private:
  unique_object process_;
  unique_object release_;
};
#endif

class faults_test : public command_test {
 protected:
  // Signed in for Desktop as the app would find it at start.
  void saved_as_desktop() {
    put(auth_file_suffix, auth_file_text(u"sk-saved-key"));
    put(marker_file_suffix, marker_text(platform::desktop));
  }
  // Left-over temporary files of interrupted writes.
  int temp_files() const {
    int count = 0;
    for (const wide& name : directory_entries(codex_home())) {
      if (name.size() >= 3 && (name[0] | 0x20) == u'm' && (name[1] | 0x20) == u'v' &&
          (name[2] | 0x20) == u'n')
        ++count;
    }
    return count;
  }

  const bytes dirty = "model = \"mine\"\n[mcp_servers.x]\ncommand = \"c\"\n";
};

#ifdef _WIN32
TEST_F(faults_test, config_locked_by_another_process_is_left_as_it_is) {
  saved_as_desktop();
  put(config_file_suffix, dirty);
  set_user_env(u"OPENAI_API_KEY", u"earlier-key", false);
  {
    holding_lock lock(path(config_file_suffix));
    ASSERT_TRUE(lock.held);
    heal_desktop_config();
    EXPECT_EQ(temp_files(), 0);

    sign_in(u"sk-new-key-123", platform::desktop);
    expect_failure("fail");
    EXPECT_EQ(temp_files(), 0);
    EXPECT_EQ(file(marker_file_suffix), marker_text(platform::desktop));
    EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"earlier-key");
    EXPECT_EQ(status_line, u"status before");
  }
  EXPECT_EQ(file(config_file_suffix), dirty);
  // The copy could not read the locked file; the next run takes it.
  EXPECT_FALSE(has(backup_copy_suffix));
  sign_in(u"sk-new-key-123", platform::desktop);
  expect_success("ok_app");
  EXPECT_EQ(file(backup_copy_suffix), dirty);
}

// As root the read-only attribute binds neither Wine nor POSIX, so this
// only reports what the host makes of it; either way the run is coherent.
TEST_F(faults_test, read_only_auth_file) {
  put(auth_file_suffix, "{\"OPENAI_API_KEY\": \"sk-old\"}");
  put(config_file_suffix, "user config\n");
  const wide auth = path(auth_file_suffix);
  ASSERT_TRUE(SetFileAttributesW(::win(auth), FILE_ATTRIBUTE_READONLY));
  sign_in(u"sk-new-key-123", platform::cli);
  ASSERT_EQ(win.boxes.size(), 1u);
  const bool failed = win.boxes[0].caption == ui_text("fail");
  std::printf("read-only auth.json: Sign in %s\n", failed ? "failed" : "replaced it");
  if (failed) {
    EXPECT_EQ(file(auth_file_suffix), "{\"OPENAI_API_KEY\": \"sk-old\"}");
    EXPECT_EQ(file(config_file_suffix), "user config\n");
    EXPECT_FALSE(has(marker_file_suffix));
  } else {
    EXPECT_EQ(file(auth_file_suffix), auth_file_text(u"sk-new-key-123"));
    EXPECT_EQ(file(config_file_suffix), cli_template);
  }
  EXPECT_EQ(temp_files(), 0);
}
#endif

TEST_F(faults_test, auth_file_that_is_a_directory_fails_before_anything_else) {
  put(config_file_suffix, "user config\n");
  set_user_env(u"OPENAI_API_KEY", u"earlier-key", false);
  ASSERT_TRUE(create_directory(path(auth_file_suffix)));
  for (const platform chosen : {platform::cli, platform::desktop}) {
    sign_in(u"sk-new-key-123", chosen);
    expect_failure("fail");
    EXPECT_EQ(file(config_file_suffix), "user config\n");
    EXPECT_FALSE(has(marker_file_suffix));
    EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"earlier-key");
    EXPECT_EQ(temp_files(), 0);
  }
}

TEST_F(faults_test, codex_home_that_is_a_file) {
  const bytes content("not a folder\0\xFF\0", 15);
  ASSERT_TRUE(raw_write(codex_home(), content));
  set_user_env(u"OPENAI_API_KEY", u"earlier-key", false);
  set_user_env(u"HTTPS_PROXY", u"http://10.0.0.1:3128", false);

  sign_in(u"sk-new-key-123", platform::desktop);
  expect_failure("fail");
  EXPECT_EQ(raw_read(codex_home()), content);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"earlier-key");
  EXPECT_EQ(read_user_env(u"HTTPS_PROXY"), u"");

  heal_desktop_config();
  reset();
  ASSERT_EQ(win.boxes.size(), 2u);
  EXPECT_EQ(win.boxes[1].text, ui_text("rst_ok"));
  EXPECT_EQ(raw_read(codex_home()), content);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"");
  EXPECT_FALSE(signed_in);
}

// Without a copy, Reset could never give the user's config.toml back: the
// Sign in stops before anything is overwritten.
TEST_F(faults_test, backup_folder_that_is_a_file_keeps_the_user_config) {
  put(config_file_suffix, "user config\n");
  put(backup_dir_suffix, "in the way\n");
  sign_in(u"sk-new-key-123", platform::cli);
  expect_failure("fail");
  EXPECT_EQ(file(config_file_suffix), "user config\n");
  EXPECT_FALSE(has(auth_file_suffix));
  EXPECT_EQ(file(backup_dir_suffix), "in the way\n");
  EXPECT_EQ(temp_files(), 0);

  // With no config.toml to keep, the copy is not needed.
  delete_file(path(config_file_suffix));
  sign_in(u"sk-new-key-123", platform::desktop);
  expect_success("ok_app");
  EXPECT_EQ(file(config_file_suffix), sanitize_desktop_config(desktop_template));
}

// Only a file counts as a copy of the user's: with folders in the copies'
// places no copy can be made, so nothing of the user's is overwritten.
TEST_F(faults_test, folders_in_the_copies_places_keep_the_users_files) {
  const bytes login = "{\"OPENAI_API_KEY\": null, \"tokens\": {}}\n";
  put(config_file_suffix, dirty);
  put(auth_file_suffix, login);
  for (const char16_t* copy : {backup_copy_suffix, auth_backup_copy_suffix}) {
    ASSERT_TRUE(create_directory(path(backup_dir_suffix)));
    ASSERT_TRUE(create_directory(path(copy)));
    sign_in(u"sk-new-key-123", platform::desktop);
    expect_failure("fail");
    EXPECT_EQ(file(config_file_suffix), dirty);
    EXPECT_EQ(file(auth_file_suffix), login);
    EXPECT_FALSE(has(marker_file_suffix));
    remove(copy);
  }
}

// Beneath the window's boxes, each way a Sign in ends names the file
// concerned and the system's reason; and whatever happened, the next Reset
// gives each of the user's files back and no temporary file is left.
TEST_F(faults_test, sign_in_says_which_file_and_why) {
#ifdef _WIN32
  const int not_a_folder = -1, is_a_folder = -1;  // any code: Wine's vary with the call
#else
  const int not_a_folder = ENOTDIR, is_a_folder = EISDIR;
#endif
  struct entry {
    const char16_t* suffix;          // u"" for the Codex home itself
    char type;                       // 'f' file, 'd' folder, 'l' link to nowhere
    const char* content = "mine\n";  // a file's, as Reset must leave it; null: not the user's
  };
  struct sign_in_case {
    const char* what;
    std::vector<entry> home;
    const char16_t* key;
    sign_in_result result;
    const char16_t* named;  // suffix of the path named; null for none
    int error;              // 0: none; -1: any
    bool disk_full = false;
    const char* codex_home_variable = nullptr;
    bool changed = false;  // anything left changed, failed or not
  };
  using result = sign_in_result;
  const char16_t* const valid = u"sk-valid-1";
  const char16_t *const auth = auth_file_suffix, *const config = config_file_suffix,
                        *const backup = backup_dir_suffix;
  const bytes edited_template = cli_template + "[tools]\nweb = true\n";
  // clang-format off
  const sign_in_case cases[] = {
      {"empty key", {}, u" \t", result::key_empty, nullptr, 0},
      {"short key", {}, u"sk-1234", result::key_refused, nullptr, 0},
      {"CODEX_HOME not absolute", {}, valid, result::no_codex_home, nullptr, 0, false, "codex"},
      {"home is a file", {{u"", 'f', nullptr}}, valid, result::no_codex_home, u"", not_a_folder},
      {"folder for the lock", {{lock_file_suffix, 'd'}}, valid, result::lock_failed, lock_file_suffix,
       is_a_folder},
      {"folder for auth.json", {{auth, 'd'}}, valid, result::not_written, auth, is_a_folder},
      {"folder for config.toml, own login", {{auth, 'f'}, {config, 'd'}}, valid, result::not_written,
       config, is_a_folder, false, nullptr, true},
      {"file for the copies' folder", {{config, 'f'}, {backup, 'f'}}, valid,
       result::copy_not_kept, backup_copy_suffix, not_a_folder},
      {"folder for the login's copy", {{auth, 'f'}, {backup, 'd'}, {auth_backup_copy_suffix, 'd'}},
       valid, result::copy_not_kept, auth_backup_copy_suffix, is_a_folder},
      {"a stale copy and a full disk", {{config, 'f'}, {backup, 'd'}, {backup_copy_suffix, 'f', nullptr}}, valid,
       result::copy_not_kept, backup_copy_suffix, -1, true},
#ifndef _WIN32
      {"link to nowhere for the marker, own login", {{auth, 'f'}, {marker_file_suffix, 'l'}}, valid,
       result::not_written, marker_file_suffix, ENOENT},
#endif
      {"the user's edited template", {{config, 'f', edited_template.c_str()}}, valid, result::done,
       nullptr, 0, false, nullptr, true},
      {"a stopped write's leftover", {{config, 'f'}, {u"\\mvn1-1.tmp", 'f', nullptr}}, valid,
       result::done, nullptr, 0, false, nullptr, true},
#ifndef _WIN32
      {"CODEX_HOME not UTF-8", {}, valid, result::no_codex_home, nullptr, 0, false, "/tmp/m\xFF"},
#endif
  };
  // clang-format on
  for (const sign_in_case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    for (const entry& e : c.home) {
      if (*e.suffix && !has(u"")) {
        ASSERT_TRUE(create_directory(codex_home()));
      }
      if (e.type == 'd') {
        ASSERT_TRUE(create_directory(path(e.suffix)));
      } else if (e.type == 'l') {
#ifndef _WIN32
        ASSERT_EQ(symlink("/morvane-nowhere/file", narrow(path(e.suffix)).c_str()), 0);
#endif
      } else {
        ASSERT_TRUE(raw_write(path(e.suffix), e.content ? e.content : "stale\n"));
      }
    }
    clear_proxy_settings();  // the system proxy off already: only the files can change
    set_codex_home_variable(c.codex_home_variable);
    inject_write_fault_after(c.disk_full ? 0 : SIZE_MAX);
    const sign_in_outcome outcome = sign_in_with_key(c.key, platform::desktop);
    inject_write_fault_after(SIZE_MAX);
    EXPECT_EQ(outcome.result, c.result);
    EXPECT_EQ(outcome.changed, c.changed);
    const std::string named = c.codex_home_variable ? narrow(from_utf8(c.codex_home_variable))
                              : c.named             ? narrow(path(c.named))
                                                    : "";
    EXPECT_EQ(narrow(outcome.fault.path), named);
    if (c.error == -1) {
      EXPECT_NE(system_message(outcome.fault.error), u"");
    } else {
      EXPECT_EQ(outcome.fault.error, c.error);
    }
    EXPECT_EQ(temp_files(), 0);
    set_codex_home_variable(nullptr);
    reset_without_asking();
    for (const entry& e : c.home) {
      if (e.type == 'f' && e.content) {
        EXPECT_EQ(raw_read(path(e.suffix)), e.content) << narrow(e.suffix);
      }
    }
  }

  // Reset says what it gave back and removed, and what it could not.
  TearDown();
  SetUp();
  put(config_file_suffix, "mine\n");
  ASSERT_EQ(sign_in_with_key(u"sk-valid-1", platform::cli).result, sign_in_result::done);
  remove(config_file_suffix);
  ASSERT_TRUE(create_directory(path(config_file_suffix)));
  const reset_outcome outcome = reset_without_asking();
  std::string said;
  for (const reset_change& change : outcome.changes) {
    said += change.step == reset_step::gave_back ? "gave back " : "removed ";
    said += narrow(change.file.path) + (change.done ? "" : " failed") + "; ";
    EXPECT_TRUE(change.done || !system_message(change.file.error).empty());
  }
  // The marker stays, and so do the copies, for the next Reset to finish.
  EXPECT_EQ(said, "removed " + narrow(path(auth_file_suffix)) + "; gave back " +
                      narrow(path(config_file_suffix)) + " failed; ");
  EXPECT_FALSE(outcome.complete());
  EXPECT_FALSE(outcome.busy());
}

// While another command holds the Codex home, Sign in and Reset wait a
// moment, then change nothing and say so.
TEST_F(faults_test, a_home_held_by_another_command_is_left_alone) {
  put(config_file_suffix, dirty);
  set_user_env(u"HTTPS_PROXY", u"http://10.0.0.1:3128", false);
  set_lock_patience(100);
  {
    const home_lock other(codex_home());
    ASSERT_TRUE(other.acquired());
    const sign_in_outcome outcome = sign_in_with_key(u"sk-new-key-123", platform::cli);
    EXPECT_EQ(outcome.result, sign_in_result::busy);
    EXPECT_EQ(outcome.fault.path, codex_home());
    sign_in(u"sk-new-key-123", platform::desktop);
    expect_failure("fail");
    reset();
    ASSERT_EQ(win.boxes.size(), 2u);
    EXPECT_EQ(win.boxes[1].text, ui_text("rst_bz"));
    EXPECT_EQ(win.key, u"sk-new-key-123") << "what the user typed stays";
    EXPECT_EQ(win.boxes[1].flags, unsigned{box_ok | box_icon_error});
    EXPECT_EQ(file(config_file_suffix), dirty);
    EXPECT_EQ(directory_entries(codex_home()).size(), 2u) << "config.toml and the lock";
    EXPECT_EQ(read_user_env(u"HTTPS_PROXY"), u"http://10.0.0.1:3128");
  }
  sign_in(u"sk-new-key-123", platform::desktop);
  expect_success("ok_app");

  // The heal at start does not wait: the window would not appear meanwhile.
  // A command waits out a hold of a second or so.
  set_lock_patience(default_lock_patience);
  put(config_file_suffix, dirty);
  const auto since = [](std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start);
  };
  std::atomic<bool> holding{false};
  std::thread holder([&] {
    const home_lock other(codex_home());
    holding = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  });
  while (!holding) std::this_thread::yield();
  auto start = std::chrono::steady_clock::now();
  heal_desktop_config();
  EXPECT_LT(since(start).count(), 500);
  EXPECT_EQ(file(config_file_suffix), dirty);
  start = std::chrono::steady_clock::now();
  EXPECT_EQ(sign_in_with_key(u"sk-new-key-123", platform::desktop).result, sign_in_result::done);
  EXPECT_GE(since(start).count(), 900);
  holder.join();

#ifndef _WIN32
  // A command that opened the lock's file just as its holder let go (and
  // removed it) must not take that file for the lock while a third
  // command holds the new one.
  std::optional<home_lock> first(std::in_place, codex_home());
  std::optional<home_lock> third;
  std::atomic<bool> second_held{false};
  pause_next_lock_after_open(300);
  std::thread second([&] { second_held = home_lock(codex_home()).acquired(); });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  first.reset();
  third.emplace(codex_home());
  ASSERT_TRUE(third->acquired());
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_FALSE(second_held) << "two commands held the Codex home";
  third.reset();
  second.join();
  EXPECT_TRUE(second_held);
#endif
}

TEST_F(faults_test, oversized_environment_key_is_ignored_then_replaced) {
  const wide huge(9999, u'k');  // 20000 bytes with its NUL
#ifdef _WIN32
  const unique_hkey key = open_user_key(L"Environment", KEY_SET_VALUE);
  ASSERT_TRUE(key);
  ASSERT_EQ(RegSetValueExW(key.get(), L"OPENAI_API_KEY", 0, REG_EXPAND_SZ,
                           reinterpret_cast<const BYTE*>(huge.c_str()),
                           static_cast<DWORD>((huge.size() + 1) * 2)),
            ERROR_SUCCESS);
#else
  set_user_env(u"OPENAI_API_KEY", huge, false);
#endif
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"");
  EXPECT_EQ(read_saved_key(), u"");
  refresh_status();
  EXPECT_FALSE(signed_in);
  EXPECT_EQ(status_line, ui_text("idle"));

  sign_in(u"sk-new-key-123", platform::desktop);
  expect_success("ok_app");
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"sk-new-key-123");
}

TEST_F(faults_test, config_over_the_read_ceiling_is_copied_whole) {
  bytes big = dirty;
  big.resize(max_text_file_size + 1, 'x');
  put(config_file_suffix, big);
  saved_as_desktop();
  heal_desktop_config();
  EXPECT_TRUE(file(config_file_suffix) == big) << "too big to filter: left alone";

  sign_in(u"sk-new-key-123", platform::desktop);
  expect_success("ok_app");
  EXPECT_TRUE(file(backup_copy_suffix) == big);
  EXPECT_EQ(file(config_file_suffix), sanitize_desktop_config(desktop_template));

  reset();
  EXPECT_TRUE(file(config_file_suffix) == big);
}

TEST_F(faults_test, heal_keeps_nul_and_ill_formed_bytes_as_they_stand) {
  saved_as_desktop();
  const bytes nul(1, '\0');
  const bytes bom = "\xEF\xBB\xBF";
  const bytes kept = "a = \"x" + nul + "y\"\r\n" + nul + nul +
                     "\xFF\xFE = 1\r\n[t]\r\nk = \"\xC3\x28\xED\xA0\x80\"\r\n";
  put(config_file_suffix, bom + kept + "[mcp_servers.s" + nul + "]\r\ncommand = \"\xC0\"\r\n" +
                              "notify = [\"" + nul + "\"]\r\n");
  heal_desktop_config();
  EXPECT_TRUE(file(config_file_suffix) == kept);

  // Nothing to drop: not rewritten, so even the byte-order mark stays.
  put(config_file_suffix, bom + kept);
  heal_desktop_config();
  EXPECT_TRUE(file(config_file_suffix) == bom + kept);
  EXPECT_EQ(temp_files(), 0);
}

TEST_F(faults_test, broken_auth_file_falls_back_to_the_environment) {
  set_user_env(u"OPENAI_API_KEY", u"sk-from-environment", false);
  bytes junk;
  unsigned seed = 12345;
  for (int i = 0; i < 4096; ++i) {
    seed = seed * 1103515245u + 12345u;
    const char c = static_cast<char>(seed >> 16);
    junk += c == '"' ? '\0' : c;
  }
  const bytes field = "{\"OPENAI_API_KEY\": \"";
  const bytes broken[] = {
      junk,
      junk + field + junk,
      field + "sk-cut-short",
      field + "sk-cut\\",
      field + "sk-cut\\u12",
      field + "sk-cut\\ud83d",
      "{\"OPENAI_API_KEY\"",
      "{\"OPENAI_API_KEY\":",
      "{\"OPENAI_API_KEY\": 12345678}",
  };
  for (const bytes& text : broken) {
    put(auth_file_suffix, text);
    EXPECT_EQ(read_saved_key(), u"sk-from-environment") << text.substr(0, 40);
    refresh_status();
    EXPECT_TRUE(signed_in);
  }
}

}  // namespace
