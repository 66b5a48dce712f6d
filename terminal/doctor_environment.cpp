// What the client takes from its environment: the home's .env file, which
// it loads at start over the environment (all but CODEX_* names, which it
// ignores there), and the proxy it will use for the provider's address.
#include "codex_files.h"
#include "doctor_checks.h"
#include "http.h"
#include "machine.h"

namespace {

constexpr unsigned proxy_patience = 5000;  // ms for the proxy to accept a connection

bool same_name(const bytes& first, const bytes& second) {
  return names_ignore_case ? lower_case(first) == lower_case(second) : first == second;
}

// CODEX_* names count only in the real environment.
bool ignored_in_dot_env(const bytes& name) {
  return lower_case(name).compare(0, 6, "codex_") == 0;
}

bool is_proxy_name(const bytes& name) {
  for (const char16_t* proxy : proxy_variable_names) {
    if (same_name(name, to_utf8(proxy))) return true;
  }
  return false;
}

// NO_PROXY's entries: a host, or a domain that the host ends in. The
// client takes "*" for no host at all.
bool bypassed(const bytes& host, const bytes& list) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = std::min(list.find(',', start), list.size());
    bytes entry = lower_case(list.substr(start, end - start));
    entry.erase(0, entry.find_first_not_of(" \t"));
    entry.erase(entry.find_last_not_of(" \t") + 1);
    if (!entry.empty() && entry[0] == '.') entry.erase(0, 1);
    if ((!entry.empty() && host == entry) ||
        (!entry.empty() && host.size() > entry.size() &&
         host.compare(host.size() - entry.size() - 1, bytes::npos, "." + entry) == 0))
      return true;
    if (end >= list.size()) return false;
    start = end + 1;
  }
}

// The first of the names that the client sees set.
found_variable first_set(const facts& found, std::initializer_list<const char16_t*> names) {
  for (const char16_t* name : names) {
    const found_variable variable = client_variable(found, name);
    if (!variable.name.empty()) return variable;
  }
  return found_variable();
}

}  // namespace

found_variable client_variable(const facts& found, const wide& name) {
  found_variable variable;
  const bytes wanted = to_utf8(name);
  for (const dot_env_line& line : found.dot_env) {
    if (!same_name(line.name, wanted) || ignored_in_dot_env(line.name) || line.value.empty())
      continue;
    variable.name = from_utf8(line.name);
    variable.value = line.value;
    variable.source = say("dr_in_dot_env", {found.dot_env_path, number(line.line)});
  }
  if (!variable.name.empty()) return variable;
  variable.value = to_utf8(process_variable(name));
  if (!variable.value.empty()) {
    variable.name = name;
    variable.source = say("dr_in_environment");
  }
  return variable;
}

check check_overrides(facts& found) {
  check result("overrides");
  if (!found.home_usable) {
    find(result, verdict::skip, say("dr_skip_home"));
    return result;
  }
  found.dot_env_path = join_path(found.home.path, u"\\.env");
  const text_file file = read_text_file_state(found.dot_env_path);
  if (file.state == text_file_state::missing) {
    find(result, verdict::ok, say("dr_no_env_file"));
    return result;
  }
  if (file.state != text_file_state::read) {
    // Sign in never writes this file: only the user can put it right.
    find(result, verdict::warn,
         say(file.state == text_file_state::too_large ? "dr_env_file_too_large"
                                                      : "dr_env_file_unreadable",
             {found.dot_env_path}));
    return result;
  }
  found.dot_env = read_dot_env(file.text);
  find(result, verdict::ok, say("dr_env_file_ok", {found.dot_env_path}));
  for (const dot_env_line& line : found.dot_env) {
    const wide where = found.dot_env_path;
    if (ignored_in_dot_env(line.name)) {
      find(result, verdict::ok,
           say("dr_env_file_ignored", {where, number(line.line), from_utf8(line.name)}));
    } else if (is_proxy_name(line.name) ||
               (!found.env_key.empty() && same_name(line.name, found.env_key))) {
      find(result, verdict::warn,
           say("dr_env_file_sets", {where, number(line.line), from_utf8(line.name)}));
    }
  }
  return result;
}

// The proxy the client will use for base_url: scheme_PROXY for its scheme,
// else ALL_PROXY, upper case before lower case, unless NO_PROXY names its
// host.
check check_proxy(facts& found, bool offline) {
  check result("proxy");
  const bytes scheme = lower_case(found.base_url.substr(0, found.base_url.find("://")));
  const bool secure = scheme == "https";
  found_variable proxy;
  if (secure || scheme == "http")
    proxy = secure ? first_set(found, {u"HTTPS_PROXY", u"https_proxy", u"ALL_PROXY", u"all_proxy"})
                   : first_set(found, {u"HTTP_PROXY", u"http_proxy", u"ALL_PROXY", u"all_proxy"});
  const found_variable no_proxy = first_set(found, {u"NO_PROXY", u"no_proxy"});
  if (proxy.name.empty()) {
    find(result, verdict::ok, say("dr_proxy_none"));
    return result;
  }
  if (bypassed(host_of(found.base_url), no_proxy.value)) {
    find(result, verdict::ok, say("dr_proxy_bypassed", {proxy.name, no_proxy.name}));
    return result;
  }
  found.proxy = proxy;
  const wide shown = shown_address(proxy.value);
  find(result, verdict::ok, say("dr_proxy_used", {shown, proxy.name, proxy.source}));
  if (offline) return result;
  const web_reply reply = reach_proxy(proxy.value, proxy_patience);
  if (reply.failure != web_failure::none) {
    found.proxy_unreachable = true;
    find(result, verdict::fail,
         say("dr_proxy_down", {shown, proxy.name, proxy.source, reason_of(reply)}));
  }
  return result;
}
