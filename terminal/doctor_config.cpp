// config.toml as the client reads it: the provider model_provider names,
// whatever its name, with the address, key source and protocol its table
// sets, and the settings that change how the client signs in.
// toml++ reports parse errors as values here, as the program is built
// without exceptions; nothing is printed through it.
#define TOML_EXCEPTIONS 0
#define TOML_ENABLE_FORMATTERS 0
#include <toml++/toml.h>

#include <string>

#include "codex_files.h"
#include "doctor_checks.h"
#include "endpoint.h"

namespace {

constexpr char provider_name[] = "Veskara";  // the provider table Sign in writes

// A path or address without the slashes or backslashes it may end in:
// "https://host/v1/" names what "https://host/v1" does.
bytes without_final_slashes(bytes text) {
  while (!text.empty() && (text.back() == '/' || text.back() == '\\')) text.pop_back();
  return text;
}

// A value as config.toml writes it, near enough to recognise.
wide shown_value(toml::node_view<const toml::node> value) {
  if (!value) return say("dr_unset");
  if (const auto text = value.value<std::string>()) return from_utf8("\"" + *text + "\"");
  if (const auto flag = value.value<bool>()) return *flag ? u"true" : u"false";
  if (const auto integer = value.value<std::int64_t>()) return number(*integer);
  return u"\u2026";
}

// One value of the provider's table as Sign in writes it.
void expect_setting(check& result, const toml::table& provider, const wide& provider_shown,
                    const char* name, const wide& written) {
  const wide now = shown_value(provider[name]);
  if (now != written)
    find(result, verdict::fail, say("dr_setting", {from_utf8(name), written, now, provider_shown}));
}

// The provider's table against the template of the platform signed in:
// the Desktop app takes the key from the environment (env_key), the CLI
// from auth.json, where an env_key would send the client looking in vain.
void check_provider(check& result, const toml::table& provider, const bytes& name, facts& found) {
  const account_status& account = found.account;
  const wide shown = from_utf8(name);
  found.env_key = provider["env_key"].value_or(std::string());
  found.base_url = without_final_slashes(provider["base_url"].value_or(std::string()));
  expect_setting(result, provider, shown, "wire_api", u"\"responses\"");
  if (account.signed_in && account.client == platform::desktop)
    expect_setting(result, provider, shown, "env_key", u"\"" + wide(api_key_variable) + u"\"");
  if (account.signed_in && account.client == platform::cli) {
    expect_setting(result, provider, shown, "requires_openai_auth", u"true");
    if (!found.env_key.empty())
      find(result, verdict::fail, say("dr_cli_env_key", {shown, from_utf8(found.env_key)}));
  }
  if (found.base_url.empty()) {
    expect_setting(result, provider, shown, "base_url", u"\"" MORVANE_API_BASE_URL "\"");
  } else if (found.base_url != MORVANE_API_BASE_URL) {
    find(result, verdict::warn,
         say("dr_base_url_other", {shown_address(found.base_url), u"" MORVANE_API_BASE_URL}));
  }
}

// Settings outside the provider that decide whether the client takes the
// key at all.
void check_sign_in_settings(check& result, const toml::table& config, const wide& path) {
  if (config["forced_login_method"].value_or(std::string()) == "chatgpt")
    find(result, verdict::fail, say("dr_forced_chatgpt", {path}));
  const bytes store = config["cli_auth_credentials_store"].value_or(std::string());
  if (store == "keyring") find(result, verdict::fail, say("dr_store_keyring", {path}));
  if (store == "auto") find(result, verdict::warn, say("dr_store_auto", {path}));
  if (config.contains("profile"))
    find(result, verdict::warn, say("dr_profile", {shown_value(config["profile"])}));
}

}  // namespace

// A file the doctor could not read, said as it is.
wide unread_file(text_file_state state, const wide& path) {
  return say(state == text_file_state::missing     ? "dr_file_missing"
             : state == text_file_state::too_large ? "dr_file_too_large"
                                                   : "dr_file_unreadable",
             {path});
}

check check_config(facts& found) {
  check result("config");
  if (!found.home_usable) {
    find(result, verdict::skip, say("dr_skip_home"));
    return result;
  }
  const wide path = join_path(found.home.path, config_file_suffix);
  const text_file file = read_text_file_state(path);
  if (file.state != text_file_state::read) {
    find(result, verdict::fail, unread_file(file.state, path));
    return result;
  }
  const toml::parse_result parsed = toml::parse(std::string_view(file.text));
  if (!parsed) {
    const toml::source_position where = parsed.error().source().begin;
    find(result, verdict::fail,
         say("dr_config_bad", {path, number(where.line), number(where.column),
                               from_utf8(bytes(parsed.error().description()))}));
    return result;
  }
  const toml::table& config = parsed.table();
  const bytes provider = config["model_provider"].value_or(std::string());
  const toml::table* provider_table = config["model_providers"][provider].as_table();
  if (provider.empty()) {
    find(result, verdict::fail, say("dr_no_provider", {path}));
  } else if (!provider_table) {
    find(result, verdict::fail, say("dr_provider_missing", {from_utf8(provider)}));
  } else {
    check_provider(result, *provider_table, provider, found);
    if (provider != provider_name)
      find(result, verdict::warn, say("dr_not_veskara", {from_utf8(provider)}));
    find(result, verdict::ok,
         say("dr_config_ok", {path, from_utf8(provider), shown_address(found.base_url)}));
  }
  check_sign_in_settings(result, config, path);
  return result;
}
