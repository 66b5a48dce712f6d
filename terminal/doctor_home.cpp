// The first two checks: the Codex home the client will read, found as the
// client finds it, and whether Morvane's Sign in is in place there.
#include "catalogue.h"
#include "doctor_checks.h"
#include "machine.h"

check check_codex_home(facts& found) {
  check result("codex_home");
  // The engine finds it as the client does, and Sign in writes there.
  found.home = find_codex_home();
  codex_home_place& home = found.home;
  const wide folder = working_folder();
  if (!home.absolute && !folder.empty()) {
    // The client takes a relative CODEX_HOME from the folder it starts
    // in; so does the rest of this run, the engine's reads included.
    home.path = join_path(folder, u"\\" + home.setting);
    home.absolute = set_process_variable(u"CODEX_HOME", home.path);
    find(result, verdict::warn, say("dr_home_relative", {home.setting, home.path}));
  }
  if (!home.exact) {
    // Neither Sign in nor, most likely, the client can use that name.
    find(result, verdict::fail, say("dr_home_not_exact", {home.setting}));
  } else if (home.path.empty()) {
    find(result, verdict::fail, say("dr_home_none"));
  } else if (!path_exists(home.path)) {
    find(result, verdict::fail, say("dr_home_missing", {home.path}));
  } else if (!is_directory(home.path)) {
    find(result, verdict::fail, say("dr_home_not_folder", {home.path}));
  } else {
    found.home_usable = home.absolute;
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
  } else if (!found.account.by_morvane) {
    find(result, verdict::warn, say("dr_own_key", {masked_key(found.account.key)}));
  } else {
    const wide platform_name = ui_text(found.account.client == platform::cli ? "cli" : "app");
    find(result, verdict::ok, say("dr_signed", {platform_name, masked_key(found.account.key)}));
  }
  return result;
}
