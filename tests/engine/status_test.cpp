// Saved key and mode as read back from the Codex home and the environment.
#include "status.h"

#include <gtest/gtest.h>

#include "codex_files.h"
#include "config_files.h"
#include "host.h"
#include "test_home.h"

namespace {

class status_test : public user_test {
 protected:
  void put_auth_key(const wide& key) { put(auth_file_suffix, auth_file_text(key)); }
  void put_marker_mode(const bytes& mode) {
    put(marker_file_suffix, "{\n  \"mode\": \"" + mode + "\",\n  \"version\": \"3.2.3\"\n}\n");
  }
  void set_env_key(const wide& value) { set_user_env(u"OPENAI_API_KEY", value, false); }
};

wide value_of(const bytes& text, const char* name = "k") {
  return json_string_value(text, name);
}

}  // namespace

TEST_F(status_test, auth_file_wins_over_environment_unless_it_holds_the_placeholder) {
  EXPECT_EQ(read_saved_key(), u"");
  EXPECT_EQ(read_saved_mode(), u"");

  set_env_key(u"sk-env");
  EXPECT_EQ(read_saved_key(), u"sk-env");

  put_auth_key(u"sk-file");
  EXPECT_EQ(read_saved_key(), u"sk-file") << "the file wins even when the two differ";

  for (const wide& spoiled : {wide(u"YOUR_API_KEY"), wide(u"YOUR_API_KEYsk-file"),
                              wide(u"sk-fileYOUR_API_KEY"), wide(u"sk-YOUR_API_KEY-file")}) {
    SCOPED_TRACE(narrow(spoiled));
    put_auth_key(spoiled);
    set_env_key(u"sk-env");
    EXPECT_EQ(read_saved_key(), u"sk-env");
    set_env_key(u"a-YOUR_API_KEY");
    EXPECT_EQ(read_saved_key(), u"");
    EXPECT_EQ(read_saved_mode(), u"");
  }

  // Not trimmed, no length test, and a near miss is no placeholder.
  put_auth_key(u"x");
  EXPECT_EQ(read_saved_key(), u"x");
  put_auth_key(u"YOUR_API_KE");
  EXPECT_EQ(read_saved_key(), u"YOUR_API_KE");
  put_auth_key(u"your_api_key");
  EXPECT_EQ(read_saved_key(), u"your_api_key");
  put(auth_file_suffix, "{\"OPENAI_API_KEY\": \" sk \"}");
  EXPECT_EQ(read_saved_key(), u" sk ");
}

TEST_F(status_test, placeholder_alone_in_the_environment_means_no_key) {
  set_env_key(u"YOUR_API_KEY");
  EXPECT_EQ(read_saved_key(), u"");
  EXPECT_EQ(read_saved_mode(), u"");
  put(auth_file_suffix, "{\"OPENAI_API_KEY\": \"\"}");
  EXPECT_EQ(read_saved_key(), u"");
}

TEST_F(status_test, marker_mode_is_taken_only_when_exact_otherwise_the_environment_decides) {
  put_auth_key(u"sk-file");
  EXPECT_EQ(read_saved_mode(), u"cli") << "no marker, no environment value";
  set_env_key(u"YOUR_API_KEY");
  EXPECT_EQ(read_saved_mode(), u"app") << "any environment value means Desktop";

  put_marker_mode("cli");
  EXPECT_EQ(read_saved_mode(), u"cli") << "the marker wins";
  put(marker_file_suffix, marker_text(platform::desktop));
  EXPECT_EQ(read_saved_mode(), u"app");

  for (const bytes& odd :
       {bytes("CLI"), bytes("cli "), bytes(" app"), bytes("desktop"), bytes("")}) {
    SCOPED_TRACE(odd);
    put_marker_mode(odd);
    set_env_key(u"sk-env");
    EXPECT_EQ(read_saved_mode(), u"app");
    delete_user_env(u"OPENAI_API_KEY", false);
    EXPECT_EQ(read_saved_mode(), u"cli");
  }
  // A marker whose mode is not a string does not borrow the next member.
  put(marker_file_suffix, "{\"mode\": null, \"cli\": \"app\"}");
  EXPECT_EQ(read_saved_mode(), u"cli");
}

TEST_F(status_test, json_scan_takes_only_string_values) {
  EXPECT_EQ(value_of("{\"k\": \"v\"}"), u"v");
  EXPECT_EQ(value_of("{\"k\"\t:\r\n \"v\"}"), u"v");
  EXPECT_EQ(value_of("{\"k\" junk: \"v\"}"), u"v") << "between name and colon is skipped";
  EXPECT_EQ(value_of("{\"x\": {\"k\": \"inner\"}, \"k\": \"outer\"}"), u"inner")
      << "first occurrence";

  // The Codex client's own auth.json after an account login.
  const bytes account_login =
      "{\n  \"OPENAI_API_KEY\": null,\n  \"tokens\": {\n    \"id_token\": \"eyJ\"\n  },\n"
      "  \"last_refresh\": \"2025-01-01T00:00:00Z\"\n}\n";
  EXPECT_EQ(value_of(account_login, "OPENAI_API_KEY"), u"");
  EXPECT_EQ(value_of("{\"k\": 12, \"b\": \"c\"}"), u"");
  EXPECT_EQ(value_of("{\"k\": true, \"b\": \"c\"}"), u"");
  EXPECT_EQ(value_of("{\"k\": {\"b\": \"c\"}}"), u"");
  EXPECT_EQ(value_of("{\"k\": [\"b\"]}"), u"");
  EXPECT_EQ(value_of("{\"k\": x\"b\"}"), u"");

  EXPECT_EQ(value_of("{\"k\" \"v\"}"), u"") << "no colon";
  EXPECT_EQ(value_of("{\"k\": \"\"}"), u"");
  EXPECT_EQ(value_of("{\"k\": \"unterminated"), u"");
  EXPECT_EQ(value_of("{\"k\": \"ends in escape\\"), u"");
  EXPECT_EQ(value_of("{\"k\": \"ends in escaped quote\\\""), u"");
  EXPECT_EQ(value_of("{\"k\":"), u"");
  EXPECT_EQ(value_of("{\"K\": \"v\"}"), u"");
  EXPECT_EQ(value_of("{k: \"v\"}"), u"");
  EXPECT_EQ(value_of(""), u"");

  // Plain keys read exactly; raw UTF-8 is decoded, broken bytes become U+FFFD.
  EXPECT_EQ(value_of("{\"k\": \"sk-proj-AbC_123.xyz\"}"), u"sk-proj-AbC_123.xyz");
  EXPECT_EQ(value_of("{\"k\": \"caf\xC3\xA9 \xF0\x9F\x94\x91\"}"), u"caf\u00E9 \U0001F511");
  EXPECT_EQ(value_of("{\"k\": \"a\xFF"
                     "b\"}"),
            u"a\uFFFDb");
}

TEST_F(status_test, json_scan_decodes_escapes) {
  EXPECT_EQ(value_of("{\"k\": \"a\\\"b\"}"), u"a\"b") << "an escaped quote does not end the value";
  EXPECT_EQ(value_of("{\"k\": \"a\\\\b\"}"), u"a\\b");
  EXPECT_EQ(value_of("{\"k\": \"a\\\\\"}"), u"a\\") << "escaped backslash before the closing quote";
  EXPECT_EQ(value_of("{\"k\": \"\\/\\b\\f\\n\\r\\t\"}"), u"/\b\f\n\r\t");
  EXPECT_EQ(value_of("{\"k\": \"\\u00e9\\u00C9\\u0000z\"}"), wide(u"\u00E9\u00C9\0z", 4));
  EXPECT_EQ(value_of("{\"k\": \"\\ud83d\\uDE00!\"}"), u"\U0001F600!");
  EXPECT_EQ(value_of("{\"k\": \"\\uD800\\uDC00\\uDBFF\\uDFFF\"}"), u"\U00010000\U0010FFFF")
      << "both ends of the surrogate ranges";
  EXPECT_EQ(value_of("{\"k\": \"caf\xC3\xA9\\u0020\\u00e9\"}"), u"caf\u00E9 \u00E9");

  // Broken surrogates become U+FFFD; what follows is still read.
  EXPECT_EQ(value_of("{\"k\": \"\\ud83dx\"}"), u"\uFFFDx");
  EXPECT_EQ(value_of("{\"k\": \"\\ud83d\\u0041\"}"), u"\uFFFDA");
  EXPECT_EQ(value_of("{\"k\": \"\\ud83d\\ue000\"}"), u"\uFFFD\uE000");
  EXPECT_EQ(value_of("{\"k\": \"\\ud83d\\ud83d\\ude00\"}"), u"\uFFFD\U0001F600");
  EXPECT_EQ(value_of("{\"k\": \"\\ude00\\ud83d\"}"), u"\uFFFD\uFFFD");

  // Unknown or cut-short escapes are kept as they stand.
  EXPECT_EQ(value_of("{\"k\": \"a\\qb\"}"), u"a\\qb");
  EXPECT_EQ(value_of("{\"k\": \"\\u12\"}"), u"\\u12");
  EXPECT_EQ(value_of("{\"k\": \"\\u12g4\"}"), u"\\u12g4");
  EXPECT_EQ(value_of("{\"k\": \"\\ud83d\\u12\"}"), u"\uFFFD\\u12");
}

// Where a key must not be read, a short one shows nothing at all.
TEST(masked_key, shows_three_and_four_characters_of_long_keys_only) {
  EXPECT_EQ(masked_key(u"sk-12345"), u"********");
  EXPECT_EQ(masked_key(u"sk-1234567"), u"**********");
  EXPECT_EQ(masked_key(u"sk-12345678"), u"sk-****5678");
  EXPECT_EQ(masked_key(u"sk-\U0001F511\U0001F511\U0001F511\U0001F511abcd"), u"sk-****abcd")
      << "a character outside the basic plane is hidden whole";
  EXPECT_EQ(masked_key(u""), u"");
}
