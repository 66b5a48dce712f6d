#pragma once
// What the doctor's files share: a check and its findings, what earlier
// checks found for later ones, and each check's entry point. Only the
// doctor's own files (doctor*.cpp) include this.
#include <initializer_list>
#include <vector>

#include "dot_env.h"
#include "host.h"
#include "status.h"
#include "wide.h"

// In rising order of trouble: a finding replaces those of a lower verdict.
enum class verdict { ok, skip, warn, fail };

struct check {
  explicit check(const char* name) : id(name) {}
  const char* id;
  verdict status = verdict::ok;
  wide detail;
};

// A key one way of running the client sends, and where it takes it from.
struct key_source {
  wide key;
  wide source;  // as a sentence names it: "auth.json", "CODEX_API_KEY in this environment"
};

// A variable as the client sees it: the home's .env over the environment.
struct found_variable {
  wide name;  // as it is spelled where it was found
  bytes value;
  wide source;  // "this environment" or ".env, line N"
};

// What later checks need from earlier ones.
struct facts {
  codex_home_place home;
  bool home_usable = false;
  account_status account;
  // The provider model_provider names, as its table sets it.
  bytes base_url;
  bytes env_key;                      // the variable it takes the key from; empty: auth.json
  std::vector<dot_env_line> dot_env;  // the home's .env, which the client loads at start
  wide dot_env_path;
  std::vector<key_source> keys;  // each distinct key the client may send
  found_variable proxy;          // the proxy for base_url; no name when none
  bool proxy_unreachable = false;
};

// A command-line text with %1, %2... replaced by the values.
wide say(const char* key, std::initializer_list<wide> values = {});
wide number(long long value);
// A finding of the check: one of a worse verdict than those before it
// takes their place, one of the same verdict follows them.
void find(check& result, verdict status, const wide& sentence);
// An address as the doctor shows it: a user name and password hidden.
wide shown_address(const bytes& url);
// Why an address could not be reached, in the user's words.
struct web_reply;
wide reason_of(const web_reply& reply);
// A file the doctor could not read, said as it is: missing, unreadable or
// too large.
wide unread_file(text_file_state state, const wide& path);
// A variable as the client will see it, or nothing (no name).
found_variable client_variable(const facts& found, const wide& name);

check check_codex_home(facts& found);
check check_sign_in(facts& found);
check check_config(facts& found);
check check_key(facts& found);
check check_overrides(facts& found);
check check_proxy(facts& found, bool offline);
check check_client(const facts& found, bool offline);
check check_service(const facts& found, bool offline);

void print_lines(const std::vector<check>& checks);
void print_json(const std::vector<check>& checks, bool passed);
