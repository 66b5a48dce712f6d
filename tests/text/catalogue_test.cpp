// Guards the interface texts: every key, both languages, code point by code
// point (written as escapes so an editor cannot recompose them).
#include "catalogue.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct expected_text {
  const char* key;
  const char16_t* english;
  const char16_t* vietnamese;
};

const expected_text expected_texts[] = {
    {"sub", u"Activate your license", u"K\u00EDch ho\u1EA1t license c\u1EE7a b\u1EA1n"},
    {"show", u"Show key", u"Hi\u1EC7n key"},
    {"mode", u"PLATFORM", u"N\u1EC0N T\u1EA2NG"},
    {"cli", u"CLI", u"CLI"},
    {"cli_d", u"Terminal \u00B7 Codex", u"Terminal \u00B7 Codex"},
    {"app", u"Desktop", u"Desktop"},
    {"app_d", u"API only \u00B7 no proxy", u"API only \u00B7 no proxy"},
    {"login", u"Sign in", u"\u0110\u0103ng nh\u1EADp"},
    {"reset", u"Reset", u"Reset"},
    {"status", u"ACCOUNT", u"T\u00C0I KHO\u1EA2N"},
    {"idle", u"Not signed in", u"Ch\u01B0a \u0111\u0103ng nh\u1EADp"},
    {"footer", u"After signing in, restart the ChatGPT app to apply.",
     u"Sau khi \u0111\u0103ng nh\u1EADp, kh\u1EDFi \u0111\u1ED9ng l\u1EA1i \u1EE9ng d\u1EE5ng "
     u"ChatGPT \u0111\u1EC3 \u00E1p d\u1EE5ng."},
    {"lang", u"VI", u"EN"},
    {"empty", u"Please enter your license key.", u"Vui l\u00F2ng nh\u1EADp license key."},
    {"bad", u"Invalid key. Check and try again.",
     u"Key kh\u00F4ng h\u1EE3p l\u1EC7. Ki\u1EC3m tra l\u1EA1i."},
    {"ok_t", u"Welcome", u"Th\u00E0nh c\u00F4ng"},
    {"ok_cli", u"You're all set.\n\nOpen your terminal and start using Codex.",
     u"Ho\u00E0n t\u1EA5t.\n\nM\u1EDF terminal v\u00E0 s\u1EED d\u1EE5ng Codex b\u00ECnh "
     u"th\u01B0\u1EDDng."},
    {"ok_app", u"Signed in successfully.\n\nOpen the ChatGPT app to start using it.",
     u"\u0110\u0103ng nh\u1EADp th\u00E0nh c\u00F4ng.\n\nM\u1EDF \u1EE9ng d\u1EE5ng ChatGPT "
     u"\u0111\u1EC3 s\u1EED d\u1EE5ng."},
    {"fail", u"Sign in failed", u"\u0110\u0103ng nh\u1EADp th\u1EA5t b\u1EA1i"},
    {"rst_t", u"Reset", u"Reset"},
    {"rst_a", u"Reset configuration on this device?\n\nYou can sign in again anytime.",
     u"Reset c\u1EA5u h\u00ECnh tr\u00EAn thi\u1EBFt b\u1ECB n\u00E0y?\n\nB\u1EA1n c\u00F3 "
     u"th\u1EC3 \u0111\u0103ng nh\u1EADp l\u1EA1i b\u1EA5t c\u1EE9 l\u00FAc n\u00E0o."},
    {"rst_ok", u"Configuration has been reset.\n\nRestart the desktop app if it is open.",
     u"\u0110\u00E3 reset c\u1EA5u h\u00ECnh.\n\nKh\u1EDFi \u0111\u1ED9ng l\u1EA1i \u1EE9ng "
     u"d\u1EE5ng desktop n\u1EBFu \u0111ang m\u1EDF."},
    {"rst_d", u"Reset complete", u"Reset ho\u00E0n t\u1EA5t"},
    {"signed", u"Signed in", u"\u0110\u00E3 \u0111\u0103ng nh\u1EADp"},
    {"key", u"LICENSE KEY", u"LICENSE KEY"},
};

class catalogue_test : public ::testing::Test {
 protected:
  void SetUp() override { ui_language = 1; }
  void TearDown() override { ui_language = 1; }
};

std::u16string text(const char* key) {
  return ui_text(key);
}

}  // namespace

TEST_F(catalogue_test, every_key_gives_its_exact_text_in_both_languages) {
  ASSERT_EQ(sizeof(expected_texts) / sizeof(expected_texts[0]), 25u);
  for (const expected_text& row : expected_texts) {
    SCOPED_TRACE(row.key);
    ui_language = 1;
    EXPECT_EQ(text(row.key), row.vietnamese);
    ui_language = 0;
    EXPECT_EQ(text(row.key), row.english);
    // Anything but 1 reads as English.
    ui_language = 2;
    EXPECT_EQ(text(row.key), row.english);
    ui_language = 255;
    EXPECT_EQ(text(row.key), row.english);
  }
}

TEST_F(catalogue_test, keys_outside_the_table_give_empty_text_never_null) {
  for (unsigned char language : {0, 1, 2}) {
    ui_language = language;
    for (const char* key :
         {"", "Sub", "SUB", "rst", "rst_", "ok", "login ", " login", "keys", "lang\n", "x"}) {
      SCOPED_TRACE(key);
      const char16_t* found = ui_text(key);
      ASSERT_NE(found, nullptr);
      EXPECT_EQ(found[0], u'\0');
    }
  }
}

TEST_F(catalogue_test, language_chip_names_the_other_language_and_neutral_keys_stay) {
  ui_language = 1;
  EXPECT_EQ(text("lang"), u"EN");
  EXPECT_EQ(text("signed"), u"\u0110\u00E3 \u0111\u0103ng nh\u1EADp");
  ui_language = 0;
  EXPECT_EQ(text("lang"), u"VI");
  EXPECT_EQ(text("signed"), u"Signed in");
  for (const char* key : {"cli", "cli_d", "app", "app_d", "reset", "rst_t", "key"}) {
    SCOPED_TRACE(key);
    ui_language = 0;
    const std::u16string english = text(key);
    ui_language = 1;
    EXPECT_EQ(text(key), english);
  }
  EXPECT_EQ(text("rst_t"), u"Reset");
  EXPECT_NE(text("rst_d"), u"Reset");
  // The pointer stays valid and constant across language switches.
  const char16_t* vietnamese_footer = ui_text("footer");
  ui_language = 0;
  EXPECT_NE(ui_text("footer"), vietnamese_footer);
  EXPECT_EQ(ui_text("footer"), ui_text("footer"));
}

TEST_F(catalogue_test, message_texts_hold_one_blank_line_and_no_carriage_return) {
  for (unsigned char language : {0, 1}) {
    ui_language = language;
    for (const char* key : {"ok_cli", "ok_app", "rst_a", "rst_ok"}) {
      SCOPED_TRACE(key);
      const std::u16string message = text(key);
      const std::size_t gap = message.find(u"\n\n");
      ASSERT_NE(gap, std::u16string::npos);
      EXPECT_GT(gap, 0u);
      EXPECT_LT(gap + 2, message.size());
      EXPECT_EQ(message.find(u'\n', gap + 2), std::u16string::npos);
      EXPECT_EQ(message.find(u'\n'), gap);
      EXPECT_EQ(message.find(u'\r'), std::u16string::npos);
    }
  }
  // No other text carries a line break.
  for (const expected_text& row : expected_texts) {
    const std::string key = row.key;
    if (key == "ok_cli" || key == "ok_app" || key == "rst_a" || key == "rst_ok") continue;
    for (unsigned char language : {0, 1}) {
      ui_language = language;
      EXPECT_EQ(text(row.key).find_first_of(u"\r\n"), std::u16string::npos) << row.key;
    }
  }
}
