// The host layer as the engine relies on it, on every platform.
#include "host.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "test_home.h"
#include "write_faults.h"

#ifndef _WIN32
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using host_test = user_test;

std::vector<wide> sorted(std::vector<wide> names) {
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(host_test, reads_whole_files_up_to_four_mebibytes_without_byte_order_mark) {
  put(u"\\exact", bytes(max_text_file_size, 'a'));
  EXPECT_EQ(read_text_file(path(u"\\exact")).size(), max_text_file_size);
  put(u"\\larger", bytes(max_text_file_size + 1, 'a'));
  EXPECT_EQ(read_text_file(path(u"\\larger")), "");
  put(u"\\bom_at_limit", "\xEF\xBB\xBF" + bytes(max_text_file_size - 3, 'b'));
  EXPECT_EQ(read_text_file(path(u"\\bom_at_limit")), bytes(max_text_file_size - 3, 'b'));

  put(u"\\empty", "");
  EXPECT_EQ(read_text_file(path(u"\\empty")), "");
  EXPECT_EQ(read_text_file(path(u"\\missing")), "");
  EXPECT_EQ(read_text_file(path(u"")), "") << "a directory reads as empty";

  put(u"\\bom", "\xEF\xBB\xBFkey = 1\n");
  EXPECT_EQ(read_text_file(path(u"\\bom")), "key = 1\n");
  put(u"\\only_bom", "\xEF\xBB\xBF");
  EXPECT_EQ(read_text_file(path(u"\\only_bom")), "");
  put(u"\\short_bom", "\xEF\xBB");
  EXPECT_EQ(read_text_file(path(u"\\short_bom")), "\xEF\xBB");
  put(u"\\not_bom", "\xEF\xBBx\x00z" + bytes(1, '\0'));
  EXPECT_EQ(read_text_file(path(u"\\not_bom")), "\xEF\xBBx\x00z" + bytes(1, '\0'));
  put(u"\\inner_bom", "a\xEF\xBB\xBF");
  EXPECT_EQ(read_text_file(path(u"\\inner_bom")), "a\xEF\xBB\xBF");
  put(u"\\double_bom", "\xEF\xBB\xBF\xEF\xBB\xBFx");
  EXPECT_EQ(read_text_file(path(u"\\double_bom")), "\xEF\xBB\xBFx") << "only one mark is removed";
}

TEST_F(host_test, writes_replace_files_whole_and_fail_without_side_effects) {
  // No Codex home yet: nothing is written and the folder is not made.
  EXPECT_FALSE(write_text_file(path(u"\\auth.json"), "{}"));
  EXPECT_FALSE(raw_exists(path(u"")));

  ASSERT_TRUE(create_directory(path(u"")));
  EXPECT_FALSE(write_text_file(path(u"\\missing\\config.toml"), "x"));
  EXPECT_FALSE(raw_exists(path(u"\\missing")));
  EXPECT_TRUE(directory_entries(path(u"")).empty());

  EXPECT_TRUE(write_text_file(path(u"\\empty"), ""));
  EXPECT_TRUE(has(u"\\empty"));
  EXPECT_EQ(file(u"\\empty"), "");

  put(u"\\config.toml", bytes(1000, 'o'));
  EXPECT_TRUE(write_text_file(path(u"\\config.toml"), "new\n"));
  EXPECT_EQ(file(u"\\config.toml"), "new\n") << "a longer old file leaves no tail";
  EXPECT_TRUE(write_text_file(path(u"\\config.toml"), ""));
  EXPECT_EQ(file(u"\\config.toml"), "") << "empty content truncates";
  bytes binary("\0\r\n\xFF\xEF\xBB\xBF", 7);
  EXPECT_TRUE(write_text_file(path(u"\\config.toml"), binary));
  EXPECT_EQ(file(u"\\config.toml"), binary) << "bytes are written as given";

  // A folder in the target's place stays, and no temporary file is left.
  ASSERT_TRUE(create_directory(path(u"\\auth.json")));
  EXPECT_FALSE(write_text_file(path(u"\\auth.json"), "{}"));
  EXPECT_TRUE(directory_entries(path(u"\\auth.json")).empty());
  EXPECT_EQ(sorted(directory_entries(path(u""))),
            (std::vector<wide>{u"auth.json", u"config.toml", u"empty"}));
}

TEST_F(host_test, write_cut_short_keeps_the_old_file) {
  put(u"\\config.toml", "model = \"old\"\n");
  inject_write_fault_after(5);
  EXPECT_FALSE(write_text_file(path(u"\\config.toml"), "model = \"new and longer\"\n"));
  EXPECT_EQ(file(u"\\config.toml"), "model = \"old\"\n");
  EXPECT_FALSE(write_text_file(path(u"\\config.toml"), "second try\n")) << "fault stays in force";
  EXPECT_EQ(file(u"\\config.toml"), "model = \"old\"\n");
  EXPECT_TRUE(write_text_file(path(u"\\config.toml"), "tiny")) << "shorter than the fault point";
  EXPECT_EQ(file(u"\\config.toml"), "tiny");

  inject_write_fault_after(0);
  EXPECT_FALSE(write_text_file(path(u"\\auth.json"), "{}"));
  EXPECT_FALSE(has(u"\\auth.json"));
  EXPECT_EQ(directory_entries(path(u"")), std::vector<wide>{u"config.toml"})
      << "no temporary file remains";

  inject_write_fault_after(SIZE_MAX);
  EXPECT_TRUE(write_text_file(path(u"\\config.toml"), "model = \"new\"\n"));
  EXPECT_EQ(file(u"\\config.toml"), "model = \"new\"\n");

  // Nothing is put in place before it is on the disk.
  inject_sync_fault(true);
  EXPECT_FALSE(write_text_file(path(u"\\config.toml"), "model = \"unsynced\"\n"));
  EXPECT_FALSE(copy_file(path(u"\\config.toml"), path(u"\\copy.toml"), false));
  inject_sync_fault(false);
  EXPECT_EQ(file(u"\\config.toml"), "model = \"new\"\n");
  EXPECT_EQ(directory_entries(path(u"")), std::vector<wide>{u"config.toml"});
}

TEST_F(host_test, file_system_primitives) {
  EXPECT_TRUE(create_directory(path(u"")));
  EXPECT_TRUE(create_directory(path(u""))) << "an existing directory is fine";
  EXPECT_TRUE(path_exists(path(u""))) << "directories exist too";
  EXPECT_FALSE(path_exists(path(u"\\config.toml")));
  put(u"\\config.toml", "mine");
  EXPECT_TRUE(path_exists(path(u"\\config.toml")));
  EXPECT_FALSE(create_directory(path(u"\\config.toml"))) << "a file is not a directory";

  ASSERT_TRUE(create_directory(path(u"\\.morvane-backup")));
  EXPECT_TRUE(copy_file(path(u"\\config.toml"), path(u"\\.morvane-backup\\config.toml"), true));
  EXPECT_EQ(file(u"\\.morvane-backup\\config.toml"), "mine");
  put(u"\\config.toml", "theirs");
  EXPECT_FALSE(copy_file(path(u"\\config.toml"), path(u"\\.morvane-backup\\config.toml"), true));
  EXPECT_EQ(file(u"\\.morvane-backup\\config.toml"), "mine") << "the first backup is kept";
  EXPECT_TRUE(copy_file(path(u"\\.morvane-backup\\config.toml"), path(u"\\config.toml"), false));
  EXPECT_EQ(file(u"\\config.toml"), "mine");
  EXPECT_FALSE(copy_file(path(u"\\absent"), path(u"\\other"), false));
  EXPECT_FALSE(has(u"\\other"));

  EXPECT_TRUE(delete_file(path(u"\\.morvane-backup\\config.toml")));
  EXPECT_FALSE(has(u"\\.morvane-backup\\config.toml"));
  EXPECT_FALSE(delete_file(path(u"\\.morvane-backup\\config.toml")));
  EXPECT_FALSE(delete_file(path(u"\\.morvane-backup"))) << "directories are not deleted";
  EXPECT_TRUE(has(u"\\.morvane-backup"));
}

TEST_F(host_test, user_environment_set_read_delete) {
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"");
  set_user_env(u"OPENAI_API_KEY", u"sk-first", false);
  set_user_env(u"HTTP_PROXY", u"http://proxy:8080", true);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"sk-first");
  set_user_env(u"OPENAI_API_KEY", u"sk-second", true);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"sk-second");
  EXPECT_EQ(read_user_env(u"HTTP_PROXY"), u"http://proxy:8080");

  const wide unicode = u"Ti\u1EBFng Vi\u1EC7t \U0001F511 = C:\\k\u00E9y";
  set_user_env(u"OPENAI_API_KEY", unicode, false);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), unicode);

  set_user_env(u"OPENAI_API_KEY", u"", true);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"") << "empty text deletes";
  EXPECT_EQ(read_user_env(u"HTTP_PROXY"), u"http://proxy:8080") << "others are kept";
  delete_user_env(u"HTTP_PROXY", true);
  EXPECT_EQ(read_user_env(u"HTTP_PROXY"), u"");
  delete_user_env(u"HTTP_PROXY", false);  // deleting an absent value is harmless
  broadcast_environment_change();

  // 4095 units and the terminating NUL fill the 8192-byte buffer exactly.
  const wide longest(user_env_buffer_size / 2 - 1, u'k');
  set_user_env(u"OPENAI_API_KEY", longest, false);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), longest);
  set_user_env(u"OPENAI_API_KEY", longest + u"k", false);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"");
}

TEST_F(host_test, utf8_conversion_matches_the_system_one) {
  EXPECT_EQ(to_utf8(u""), "");
  EXPECT_EQ(from_utf8(""), u"");
  const wide text = u"a\u00E9\u20AC\U0001F600";
  const bytes encoded = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  EXPECT_EQ(to_utf8(text), encoded);
  EXPECT_EQ(from_utf8(encoded), text);
  EXPECT_EQ(from_utf8(encoded), (wide{u'a', 0xE9, 0x20AC, 0xD83D, 0xDE00}));
  EXPECT_EQ(to_utf8(wide(1, u'\0')), bytes(1, '\0'));
  EXPECT_EQ(to_utf8(wide{0x7FF, 0x800}), "\xDF\xBF\xE0\xA0\x80") << "the first of three bytes";
  EXPECT_EQ(from_utf8("\xE0\xA0\x80"), wide{0x800});
  EXPECT_EQ(from_utf8(bytes("x\0y", 3)), wide(u"x\0y", 3));

  // Lone surrogates have no UTF-8 form.
  EXPECT_EQ(to_utf8(wide{0xD83D}), "\xEF\xBF\xBD");
  EXPECT_EQ(to_utf8(wide{u'a', 0xDE00, u'b'}),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(to_utf8(wide{0xDE00, 0xD83D}), "\xEF\xBF\xBD\xEF\xBF\xBD");

  // Ill-formed input: one U+FFFD per maximal ill-formed subpart.
  const char16_t bad = 0xFFFD;
  EXPECT_EQ(from_utf8("\x80"), wide{bad});
  EXPECT_EQ(from_utf8("a\xFF"
                      "b"),
            (wide{u'a', bad, u'b'}));
  EXPECT_EQ(from_utf8("\xC0\xAF"), (wide{bad, bad})) << "overlong";
  EXPECT_EQ(from_utf8("\xE2\x82"
                      "A"),
            (wide{bad, u'A'}))
      << "truncated sequence";
  EXPECT_EQ(from_utf8("\xF0\x9F\x98"), wide{bad}) << "truncated at the end";
#ifndef _WIN32
  // Windows gives one U+FFFD per byte here; Wine's converter groups the
  // first two bytes, so these run natively only.
  EXPECT_EQ(from_utf8("\xED\xA0\x80"), (wide{bad, bad, bad})) << "encoded surrogate";
  EXPECT_EQ(from_utf8("\xF4\x90\x80\x80"), (wide{bad, bad, bad, bad})) << "above U+10FFFF";
  EXPECT_EQ(from_utf8("\xE0\x9F\xBF"), (wide{bad, bad, bad})) << "overlong U+07FF";
#endif
}

TEST_F(host_test, paths_and_codex_home) {
#ifdef _WIN32
  EXPECT_EQ(join_path(u"C:\\Users\\me\\.codex", u"\\.morvane-backup\\config.toml"),
            u"C:\\Users\\me\\.codex\\.morvane-backup\\config.toml");
  const wide home = codex_home();
  ASSERT_GT(home.size(), 7u);
  EXPECT_EQ(home.substr(home.size() - 7), u"\\.codex");
#else
  EXPECT_EQ(join_path(u"/home/me/.codex", u"\\.morvane-backup\\config.toml"),
            u"/home/me/.codex/.morvane-backup/config.toml");
  EXPECT_EQ(join_path(u"a\\b", u""), u"a\\b") << "the base is left as it is";
  EXPECT_EQ(codex_home(), path(u""));
  EXPECT_EQ(to_utf8(codex_home()), std::string(getenv("HOME")) + "/.codex");

  // Without HOME the account database names the home directory.
  const std::string home = getenv("HOME");
  unsetenv("HOME");
  const passwd* entry = getpwuid(getuid());
  const wide fallback = codex_home();
  setenv("HOME", home.c_str(), 1);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(to_utf8(fallback), std::string(entry->pw_dir) + "/.codex");
#endif
  EXPECT_EQ(join_path(u"", u"\\auth.json").size(), 10u);
  EXPECT_EQ(path(u"\\auth.json"), join_path(codex_home(), u"\\auth.json"));
}

#ifndef _WIN32

// The environment store on this host: one KEY=VALUE file in the systemd
// user-environment folder.
wide store_path() {
  return from_utf8(std::string(getenv("XDG_CONFIG_HOME")) + "/environment.d/60-morvane.conf");
}

TEST_F(host_test, environment_file_keeps_other_lines_and_escapes_values) {
  delete_user_env(u"OPENAI_API_KEY", false);  // nothing to delete: no store is made
  EXPECT_FALSE(raw_exists(store_path()));
  set_user_env(u"OPENAI_API_KEY", u"sk-1", false);
  EXPECT_EQ(raw_read(store_path()), "OPENAI_API_KEY=sk-1\n");

  ASSERT_TRUE(raw_write(store_path(), "# mine\nPATH=/bin\nOPENAI_API_KEY=old\nNO_PROXY=x"));
  set_user_env(u"OPENAI_API_KEY", u"a=b\\n\nc", false);
  EXPECT_EQ(raw_read(store_path()), "# mine\nPATH=/bin\nOPENAI_API_KEY=a=b\\\\n\\nc\nNO_PROXY=x\n");
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"a=b\\n\nc");
  EXPECT_EQ(read_user_env(u"NO_PROXY"), u"x");
  delete_user_env(u"OPENAI_API_KEY", false);
  EXPECT_EQ(raw_read(store_path()), "# mine\nPATH=/bin\nNO_PROXY=x\n");

  // Copies and store writes go through the same replacing write.
  inject_write_fault_after(0);
  EXPECT_FALSE(copy_file(store_path(), path(u"-copy"), false));
  EXPECT_FALSE(raw_exists(path(u"-copy")));
  inject_write_fault_after(SIZE_MAX);

  // A failed store write leaves the old value.
  set_user_env(u"OPENAI_API_KEY", u"kept", false);
  inject_write_fault_after(3);
  set_user_env(u"OPENAI_API_KEY", u"lost", false);
  delete_user_env(u"OPENAI_API_KEY", false);
  inject_write_fault_after(SIZE_MAX);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"kept");
  // A longer name with the same start is another value.
  ASSERT_TRUE(raw_write(store_path(), "OPENAI_API_KEY_OLD=old\n"));
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"");
  delete_user_env(u"OPENAI_API_KEY", false);
  EXPECT_EQ(raw_read(store_path()), "OPENAI_API_KEY_OLD=old\n");
}

TEST_F(host_test, environment_file_with_a_name_twice_ends_with_one_line_for_it) {
  // Hand-edited stores may repeat a name: a set leaves one line where the
  // first stood, a delete none, and every other line stays as it was.
  const std::string config = getenv("XDG_CONFIG_HOME");
  mkdir(config.c_str(), 0777);
  mkdir((config + "/environment.d").c_str(), 0777);
  const bytes twice = "# mine\nOPENAI_API_KEY=one\nPATH=/bin\nOPENAI_API_KEY=two\nNO_PROXY=x";
  ASSERT_TRUE(raw_write(store_path(), twice));
  set_user_env(u"OPENAI_API_KEY", u"new", false);
  EXPECT_EQ(raw_read(store_path()), "# mine\nOPENAI_API_KEY=new\nPATH=/bin\nNO_PROXY=x\n");
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"new");

  ASSERT_TRUE(raw_write(store_path(), twice));
  delete_user_env(u"OPENAI_API_KEY", false);
  EXPECT_EQ(raw_read(store_path()), "# mine\nPATH=/bin\nNO_PROXY=x\n");
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"");
}

TEST_F(host_test, environment_store_that_cannot_be_opened_is_left_alone) {
  // A folder where the file belongs: nothing can be set or deleted.
  const std::string config = getenv("XDG_CONFIG_HOME");
  mkdir(config.c_str(), 0777);
  mkdir((config + "/environment.d").c_str(), 0777);
  ASSERT_EQ(mkdir(to_utf8(store_path()).c_str(), 0777), 0);
  set_user_env(u"OPENAI_API_KEY", u"sk-1", true);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"");
  EXPECT_TRUE(directory_entries(store_path()).empty());

  // A file where the config folder belongs: the folder cannot be made.
  ASSERT_TRUE(raw_write(path(u"-blocker"), "x"));
  setenv("XDG_CONFIG_HOME", to_utf8(path(u"-blocker")).c_str(), 1);
  set_user_env(u"OPENAI_API_KEY", u"sk-1", true);
  delete_user_env(u"OPENAI_API_KEY", true);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"");
  EXPECT_EQ(raw_read(path(u"-blocker")), "x");
}

// A named pipe where a file belongs has no writer: reading it must not wait.
TEST_F(host_test, named_pipes_read_as_missing_files) {
  ASSERT_TRUE(create_directory(codex_home()));
  ASSERT_EQ(mkfifo(to_utf8(path(u"\\auth.json")).c_str(), 0600), 0);
  EXPECT_EQ(read_text_file(path(u"\\auth.json")), "");

  const std::string config = getenv("XDG_CONFIG_HOME");
  mkdir(config.c_str(), 0777);
  mkdir((config + "/environment.d").c_str(), 0777);
  ASSERT_EQ(mkfifo(to_utf8(store_path()).c_str(), 0600), 0);
  EXPECT_EQ(read_user_env(u"OPENAI_API_KEY"), u"");
  set_user_env(u"OPENAI_API_KEY", u"sk-1", true);
  struct stat info;
  ASSERT_EQ(stat(to_utf8(store_path()).c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the store was replaced";
}

// Whatever the umask, what the host writes is for the user alone; a file
// already stricter than that stays so.
TEST_F(host_test, written_files_are_private) {
  const mode_t old_umask = umask(0);
  const auto mode_of = [](const wide& file) {
    struct stat info;
    return stat(to_utf8(file).c_str(), &info) == 0 ? info.st_mode & 07777 : 07777;
  };
  ASSERT_TRUE(create_directory(codex_home()));
  EXPECT_TRUE(write_text_file(path(u"\\auth.json"), "{}"));
  EXPECT_EQ(mode_of(path(u"\\auth.json")), 0600u);

  put(u"\\config.toml", "mine");
  ASSERT_EQ(chmod(to_utf8(path(u"\\config.toml")).c_str(), 0644), 0);
  EXPECT_TRUE(copy_file(path(u"\\config.toml"), path(u"\\copy.toml"), true));
  EXPECT_EQ(mode_of(path(u"\\copy.toml")), 0600u);
  EXPECT_TRUE(write_text_file(path(u"\\config.toml"), "tool's"));
  EXPECT_EQ(mode_of(path(u"\\config.toml")), 0600u);

  ASSERT_EQ(chmod(to_utf8(path(u"\\auth.json")).c_str(), 0400), 0);
  EXPECT_TRUE(write_text_file(path(u"\\auth.json"), "{\"a\": 1}"));
  EXPECT_EQ(mode_of(path(u"\\auth.json")), 0400u);

  set_user_env(u"OPENAI_API_KEY", u"sk-1", false);
  EXPECT_EQ(mode_of(store_path()), 0600u);

  // Who else can read a file, and a key file narrowed to the user.
  EXPECT_EQ(others_who_can_read(path(u"\\auth.json")), u"");
  ASSERT_EQ(chmod(to_utf8(path(u"\\copy.toml")).c_str(), 0664), 0);
  EXPECT_EQ(others_who_can_read(path(u"\\copy.toml")), u"group, others");
  EXPECT_TRUE(protect_key_file(path(u"\\copy.toml")));
  EXPECT_EQ(mode_of(path(u"\\copy.toml")), 0600u);
  umask(old_umask);
}

#endif

}  // namespace
