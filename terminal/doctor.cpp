// The doctor's checks, in the order a user would put things right: the
// folder the client reads, Sign in, config.toml, the key, what a .env file
// overrides, proxies, the client itself and, last, the service asked with
// the key. Each says what it found and, where something is wrong, what to
// do; a check that cannot run for want of an earlier one's result says why.
#include "doctor.h"

// toml++ reports parse errors as values here, as the program is built
// without exceptions; nothing is printed through it.
#define TOML_EXCEPTIONS 0
#define TOML_ENABLE_FORMATTERS 0
#include <toml++/toml.h>

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <string>
#include <vector>

#include "catalogue.h"
#include "codex_files.h"
#include "config_files.h"
#include "endpoint.h"
#include "host.h"
#include "http.h"
#include "machine.h"
#include "status.h"
#include "terminal.h"

namespace {

constexpr unsigned client_patience = 5000;    // ms for "codex --version"
constexpr unsigned service_patience = 10000;  // ms for the service's answer
constexpr char provider_name[] = "Veskara";   // the provider table Sign in writes

// In rising order of trouble: a finding replaces those of a lower verdict.
enum class verdict { ok, skip, warn, fail };

struct check {
  explicit check(const char* name) : id(name) {}
  const char* id;
  verdict status = verdict::ok;
  wide detail;
};

// What later checks need from earlier ones.
struct facts {
  codex_home_place home;
  bool home_usable = false;
  account_status account;
  bytes base_url;  // the provider's, from config.toml
  wide key;        // from auth.json
};

wide number(long long value) {
  return from_utf8(std::to_string(value));
}

// A command-line text with %1, %2... replaced by the values.
wide say(const char* key, std::initializer_list<wide> values = {}) {
  wide text = command_line_text(key);
  for (std::size_t at = text.find(u'%'); at != wide::npos && at + 1 < text.size();
       at = text.find(u'%', at)) {
    const std::size_t index = static_cast<std::size_t>(text[at + 1] - u'1');
    if (index >= values.size()) {
      ++at;
      continue;
    }
    const wide& value = values.begin()[index];
    text.replace(at, 2, value);
    at += value.size();
  }
  return text;
}

// A finding of the check: one of a worse verdict than those before it
// takes their place, one of the same verdict follows them.
void find(check& result, verdict status, const wide& sentence) {
  if (status < result.status) return;
  if (status > result.status) result.detail.clear();
  result.status = status;
  if (!result.detail.empty()) result.detail += u" ";
  result.detail += sentence;
}

// A path or address without the slashes or backslashes it may end in:
// "https://host/v1/" names what "https://host/v1" does.
bytes without_final_slashes(bytes text) {
  while (!text.empty() && (text.back() == '/' || text.back() == '\\')) text.pop_back();
  return text;
}

check check_codex_home(facts& found) {
  check result("codex_home");
  // The engine finds it as the client does, and Sign in writes there.
  found.home = find_codex_home();
  const codex_home_place& home = found.home;
  if (!home.absolute) {
    find(result, verdict::fail, say("dr_home_relative", {home.setting}));
  } else if (home.path.empty()) {
    find(result, verdict::fail, say("dr_home_none"));
  } else if (!path_exists(home.path)) {
    find(result, verdict::fail, say("dr_home_missing", {home.path}));
  } else if (!is_directory(home.path)) {
    find(result, verdict::fail, say("dr_home_not_folder", {home.path}));
  } else {
    found.home_usable = true;
    find(result, verdict::ok,
         say(home.setting.empty() ? "dr_home_ok" : "dr_home_set", {home.path}));
    if (inside_wsl()) find(result, verdict::ok, say("dr_home_wsl"));
  }
  return result;
}

check check_sign_in(facts& found) {
  check result("sign_in");
  found.account = read_status();
  if (!found.account.signed_in) {
    find(result, verdict::fail, say("dr_not_signed"));
  } else {
    const wide platform_name = ui_text(found.account.client == platform::cli ? "cli" : "app");
    find(result, verdict::ok, say("dr_signed", {platform_name, masked_key(found.account.key)}));
  }
  return result;
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
void expect_setting(check& result, const toml::table& provider, const char* name,
                    const wide& written) {
  const wide now = shown_value(provider[name]);
  if (now != written)
    find(result, verdict::fail, say("dr_setting", {from_utf8(name), written, now}));
}

// The provider's table against the template of the platform signed in:
// the Desktop app takes the key from the environment (env_key), the CLI
// from auth.json, where an env_key would send it looking in vain.
void check_provider(check& result, const toml::table& provider, const account_status& account,
                    facts& found) {
  expect_setting(result, provider, "wire_api", u"\"responses\"");
  if (account.signed_in && account.client == platform::desktop)
    expect_setting(result, provider, "env_key", u"\"" + wide(api_key_variable) + u"\"");
  if (account.signed_in && account.client == platform::cli) {
    expect_setting(result, provider, "requires_openai_auth", u"true");
    if (provider.contains("env_key")) find(result, verdict::fail, say("dr_cli_env_key"));
  }
  found.base_url = provider["base_url"].value_or(std::string());
  if (found.base_url.empty()) {
    expect_setting(result, provider, "base_url", u"\"" MORVANE_API_BASE_URL "\"");
  } else if (without_final_slashes(found.base_url) != MORVANE_API_BASE_URL) {
    find(result, verdict::warn,
         say("dr_base_url_other", {from_utf8(found.base_url), u"" MORVANE_API_BASE_URL}));
  }
}

check check_config(facts& found) {
  check result("config");
  if (!found.home_usable) {
    find(result, verdict::skip, say("dr_skip_home"));
    return result;
  }
  const wide path = join_path(found.home.path, config_file_suffix);
  if (!is_file(path)) {
    find(result, verdict::fail, say("dr_config_missing", {path}));
    return result;
  }
  const bytes text = read_text_file(path);
  const toml::parse_result parsed = toml::parse(std::string_view(text));
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
  } else if (provider != provider_name) {
    find(result, verdict::fail, say("dr_not_veskara", {from_utf8(provider)}));
  } else if (!provider_table) {
    find(result, verdict::fail, say("dr_provider_missing", {from_utf8(provider)}));
  } else {
    check_provider(result, *provider_table, found.account, found);
    find(result, verdict::ok, say("dr_config_ok", {path, from_utf8(found.base_url)}));
  }
  if (config.contains("profile"))
    find(result, verdict::warn, say("dr_profile", {shown_value(config["profile"])}));
  return result;
}

check check_key(facts& found) {
  check result("key");
  if (!found.home_usable) {
    find(result, verdict::skip, say("dr_skip_home"));
    return result;
  }
  const wide path = join_path(found.home.path, auth_file_suffix);
  const wide key = json_string_value(read_text_file(path), api_key_member);
  if (key.empty() || key.find(key_placeholder) != wide::npos) {
    find(result, verdict::fail, say("dr_no_key", {path}));
    return result;
  }
  found.key = key;
  const bool desktop =
      desktop_app_exists && found.account.signed_in && found.account.client == platform::desktop;
  find(result, verdict::ok, say(desktop ? "dr_key_ok_both" : "dr_key_ok", {masked_key(key)}));
  if (desktop) {
    const wide published = read_user_env(api_key_variable);
    if (published != key)
      find(result, verdict::fail,
           say("dr_env_differs",
               {published.empty() ? say("dr_unset") : masked_key(published), masked_key(key)}));
  }
  const wide preferred = process_variable(u"CODEX_API_KEY");
  if (!preferred.empty())
    find(result, verdict::warn, say("dr_codex_api_key", {masked_key(preferred)}));
  return result;
}

bool overrides_the_client(const bytes& name) {
  if (name == "OPENAI_API_KEY" || name == "CODEX_API_KEY") return true;
  for (const char16_t* proxy : proxy_variable_names) {
    if (from_utf8(name) == proxy) return true;
  }
  return false;
}

// The client loads the NAME=VALUE lines of this file into its environment
// at start, over what the environment already holds.
check check_overrides(const facts& found) {
  check result("overrides");
  if (!found.home_usable) {
    find(result, verdict::skip, say("dr_skip_home"));
    return result;
  }
  const wide path = join_path(found.home.path, u"\\.env");
  if (!is_file(path)) {
    find(result, verdict::ok, say("dr_no_env_file"));
    return result;
  }
  const bytes text = read_text_file(path);
  find(result, verdict::ok, say("dr_env_file_ok", {path}));
  std::size_t start = 0;
  for (long long line = 1; start < text.size(); ++line) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::size_t at = text.find_first_not_of(" \t", start);
    if (at < end && text.compare(at, 7, "export ") == 0) at = text.find_first_not_of(" \t", at + 7);
    const std::size_t equals = text.find('=', at);
    if (at < equals && equals < end) {
      const std::size_t name_end = text.find_last_not_of(" \t", equals - 1) + 1;
      const bytes name = text.substr(at, name_end - at);
      if (overrides_the_client(name))
        find(result, verdict::warn, say("dr_env_file_sets", {path, number(line), from_utf8(name)}));
    }
    start = end + 1;
  }
  return result;
}

check check_proxy() {
  check result("proxy");
  wide here, machine_wide;
  const auto add = [](wide& list, const char16_t* name) {
    list += (list.empty() ? u"" : u", ") + wide(name);
  };
  for (const char16_t* name : proxy_variable_names) {
    // Where names ignore case, the lower-case ones are the upper-case ones.
    if (names_ignore_case && name[0] >= u'a') continue;
    if (!process_variable(name).empty()) add(here, name);
    if (!machine_variable(name).empty()) add(machine_wide, name);
  }
  find(result, verdict::ok, say("dr_proxy_none"));
  if (!here.empty()) find(result, verdict::warn, say("dr_proxy_here", {here}));
  if (!machine_wide.empty())
    find(result, verdict::warn, say("dr_proxy_machine", {machine_wide, machine_variables_place}));
  return result;
}

check check_client() {
  check result("client");
  const wide program = find_on_path(u"codex");
  if (program.empty()) {
    find(result, verdict::warn, say("dr_client_missing"));
    return result;
  }
  const program_answer answer = ask_program(program, "--version", client_patience);
  bytes version = answer.output.substr(0, answer.output.find('\n'));
  while (!version.empty() && (version.back() == '\r' || version.back() == ' ')) version.pop_back();
  if (!answer.answered || version.empty()) {
    find(result, verdict::warn, say("dr_client_silent", {program}));
  } else {
    find(result, verdict::ok, say("dr_client_ok", {from_utf8(version), program}));
  }
  return result;
}

wide reason_of(const web_reply& reply) {
  const wide words = reply.reason.empty() ? wide() : u" (" + reply.reason + u")";
  switch (reply.failure) {
    case web_failure::name_not_found:
      return say("dr_why_name");
    case web_failure::refused:
      return say("dr_why_refused");
    case web_failure::timeout:
      return say("dr_why_timeout");
    case web_failure::secure_channel:
      return say("dr_why_tls") + words;
    case web_failure::key_withheld:
      return say("dr_why_withheld");
    default:
      return reply.reason;
  }
}

// The models list, asked with the key at the address the client will use.
check check_service(const facts& found, bool offline) {
  check result("service");
  const bytes url = without_final_slashes(found.base_url) + "/models";
  const key_route route = route_of(url);
  if (offline) {
    find(result, verdict::skip, say("dr_offline"));
  } else if (found.key.empty()) {
    find(result, verdict::skip, say("dr_skip_no_key"));
  } else if (found.base_url.empty()) {
    find(result, verdict::skip, say("dr_skip_no_url"));
  } else if (route == key_route::not_web) {
    find(result, verdict::fail, say("dr_not_web", {from_utf8(found.base_url)}));
  } else if (route == key_route::withheld) {
    find(result, verdict::fail, say("dr_plain_http", {from_utf8(found.base_url)}));
  }
  if (result.status != verdict::ok) return result;

  const auto start = std::chrono::steady_clock::now();
  const web_reply reply = get_with_key(url, found.key, bytes(), service_patience);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  const wide shown_url = from_utf8(url);
  if (reply.status >= 200 && reply.status < 300) {
    find(result, verdict::ok,
         say("dr_service_ok", {shown_url, number(reply.status), number(took.count())}));
  } else if (reply.status == 401 || reply.status == 403) {
    find(result, verdict::fail, say("dr_refused", {shown_url, number(reply.status)}));
  } else if (reply.status != 0) {
    find(result, verdict::fail, say("dr_http_status", {shown_url, number(reply.status)}));
  } else {
    find(result, verdict::fail, say("dr_unreachable", {shown_url, reason_of(reply)}));
  }
  return result;
}

const char* word_of(verdict status) {
  switch (status) {
    case verdict::ok:
      return "ok";
    case verdict::skip:
      return "skip";
    case verdict::warn:
      return "warn";
    case verdict::fail:
      break;
  }
  return "fail";
}

tone tone_of(verdict status) {
  return status == verdict::ok     ? tone::good
         : status == verdict::warn ? tone::warning
         : status == verdict::fail ? tone::bad
                                   : tone::plain;
}

void print_lines(const std::vector<check>& checks) {
  for (const check& result : checks) {
    bytes head = word_of(result.status);
    head.resize(6, ' ');
    head += result.id;
    head.resize(18, ' ');
    print_line(out_stream::output, from_utf8(head) + result.detail, tone_of(result.status));
  }
}

void print_json(const std::vector<check>& checks, bool passed) {
  bytes object = passed ? "{\"ok\": true, \"checks\": [" : "{\"ok\": false, \"checks\": [";
  for (const check& result : checks) {
    if (&result != &checks.front()) object += ", ";
    object += "{\"id\": \"" + bytes(result.id) + "\", \"status\": \"" + word_of(result.status) +
              "\", \"detail\": \"" + json_escaped(to_utf8(result.detail)) + "\"}";
  }
  print_line(out_stream::output, from_utf8(object + "]}"));
}

}  // namespace

int run_doctor(const doctor_options& options) {
  facts found;
  // In this order: each may use what those before it found.
  const std::vector<check> checks = {
      check_codex_home(found), check_sign_in(found),
      check_config(found),     check_key(found),
      check_overrides(found),  check_proxy(),
      check_client(),          check_service(found, options.offline)};
  const bool passed = std::none_of(checks.begin(), checks.end(), [](const check& result) {
    return result.status == verdict::fail;
  });
  if (options.json) {
    print_json(checks, passed);
  } else {
    print_lines(checks);
  }
  return passed ? 0 : 1;
}
