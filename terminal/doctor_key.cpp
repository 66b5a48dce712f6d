// The key each way of running the client sends, from where it takes it:
// auth.json (and, for codex exec, CODEX_API_KEY from the environment over
// it), or the variable the provider's env_key names, from the home's .env
// or the environment.
#include "codex_files.h"
#include "doctor_checks.h"
#include "machine.h"

namespace {

bool is_placeholder(const wide& key) {
  return key.find(key_placeholder) != wide::npos;
}

void add_key(facts& found, const wide& key, const wide& source) {
  for (const key_source& known : found.keys) {
    if (known.key == key) return;
  }
  found.keys.push_back({key, source});
}

// auth.json's key, sent by codex and the IDE; codex exec sends
// CODEX_API_KEY instead when this environment sets it.
void key_from_auth_file(check& result, facts& found) {
  const wide path = join_path(found.home.path, auth_file_suffix);
  const text_file file = read_text_file_state(path);
  if (file.state != text_file_state::read) {
    find(result, verdict::fail, unread_file(file.state, path));
    return;
  }
  const wide key = json_string_value(file.text, api_key_member);
  if (key.empty() || is_placeholder(key)) {
    find(result, verdict::fail, say("dr_no_key", {path}));
    return;
  }
  add_key(found, key, u"auth.json");
  find(result, verdict::ok, say("dr_key_ok", {masked_key(key)}));
  const wide preferred = process_variable(u"CODEX_API_KEY");
  if (preferred.empty() || preferred == key) return;
  add_key(found, preferred, u"CODEX_API_KEY");
  find(result, verdict::warn, say("dr_codex_api_key", {masked_key(preferred)}));
}

// The variable env_key names, as the client will see it; on Windows the
// desktop app, started anew, sees the user environment too.
void key_from_variable(check& result, facts& found) {
  const wide name = from_utf8(found.env_key);
  found_variable variable = client_variable(found, name);
  if (variable.name.empty() && desktop_app_exists) {
    variable.value = to_utf8(read_user_env(name));
    variable.name = variable.value.empty() ? wide() : name;
    variable.source = say("dr_in_user_environment");
  }
  const wide key = from_utf8(variable.value);
  if (variable.name.empty() || is_placeholder(key)) {
    find(result, verdict::fail, say("dr_env_key_unset", {name}));
    return;
  }
  add_key(found, key, variable.name + u" (" + variable.source + u")");
  find(result, verdict::ok, say("dr_key_from", {masked_key(key), variable.name, variable.source}));
  // Sign in for Desktop keeps the same key in auth.json.
  if (!found.account.signed_in || found.account.client != platform::desktop) return;
  const wide written = json_string_value(
      read_text_file(join_path(found.home.path, auth_file_suffix)), api_key_member);
  if (written != key)
    find(result, verdict::fail,
         say("dr_env_differs",
             {masked_key(key), written.empty() ? say("dr_unset") : masked_key(written)}));
}

// A key in a file other users can read is theirs too: auth.json and the
// copy of the user's own kept beside it, whichever platform reads them.
void key_files_private(check& result, const facts& found) {
  for (const char16_t* suffix : {auth_file_suffix, auth_backup_copy_suffix}) {
    const wide file = join_path(found.home.path, suffix);
    const wide others = is_file(file) ? others_who_can_read(file) : wide();
    if (!others.empty()) find(result, verdict::fail, say("dr_key_readable", {file, others}));
  }
}

}  // namespace

check check_key(facts& found) {
  check result("key");
  if (!found.home_usable) {
    find(result, verdict::skip, say("dr_skip_home"));
  } else if (found.env_key.empty()) {
    key_from_auth_file(result, found);
  } else {
    key_from_variable(result, found);
  }
  if (found.home_usable) key_files_private(result, found);
  return result;
}
