// The Sign in command: checks the pasted key, then points the Codex client
// or the desktop app at the service for the current user.
#include <cstddef>
#include <cwctype>

#include "catalogue.h"
#include "codex_files.h"
#include "commands.h"
#include "config_files.h"
#include "host.h"
#include "own_files.h"
#include "status.h"
#include "window_port.h"

namespace {

constexpr std::size_t minimum_key_length = 8;

// User environment values that would route the clients through a proxy.
const char16_t* const proxy_variable_names[] = {u"HTTP_PROXY", u"HTTPS_PROXY", u"ALL_PROXY",
                                                u"http_proxy", u"https_proxy", u"all_proxy",
                                                u"NO_PROXY",   u"no_proxy"};

bool is_space(char16_t c) {
  return std::iswspace(static_cast<wint_t>(c)) != 0;
}

// Pasted keys often bring a stray space or line break along.
wide trimmed(const wide& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && is_space(text[first])) ++first;
  while (last > first && is_space(text[last - 1])) --last;
  return text.substr(first, last - first);
}

void show_failure(const char* text_key) {
  window().message_box(ui_text(text_key), ui_text("fail"), box_ok | box_icon_error);
}

}  // namespace

void clear_proxy_settings() {
  for (const char16_t* name : proxy_variable_names) delete_user_env(name, false);
  broadcast_environment_change();
  switch_off_system_proxy();
}

void apply_key() {
  const wide key = trimmed(window().key_text());
  if (key.empty()) {
    show_failure("empty");
    return;
  }
  if (key.size() < minimum_key_length || key.find(key_placeholder) != wide::npos) {
    show_failure("bad");
    return;
  }

  // Without a profile folder every path would land in the working
  // directory; refuse rather than write files or settings anywhere else.
  const wide home = codex_home();
  if (home.empty()) {
    show_failure("fail");
    return;
  }
  const wide mode = selected_mode;  // the refresh below may change it
  const bool desktop = mode == u"app";

  create_directory(home);
  clear_proxy_settings();
  if (!keep_own_files(home)) {
    show_failure("fail");
    return;
  }

  if (!write_text_file(join_path(home, auth_file_suffix), auth_file_text(key))) {
    show_failure("fail");
    return;
  }
  const bytes config = desktop ? sanitize_desktop_config(desktop_template) : cli_template;
  if (!write_text_file(join_path(home, config_file_suffix), config)) {
    show_failure("fail");
    return;
  }
  // Only a hint for the status; the environment value stands in for it.
  write_text_file(join_path(home, marker_file_suffix), marker_text(mode));
  // The desktop app reads the key from the environment; the CLI from auth.json.
  if (desktop) {
    set_user_env(api_key_variable, key, true);
  } else {
    delete_user_env(api_key_variable, true);
  }

  refresh_status();
  // The box names the platform the status now shows.
  const char* text_key = selected_mode == u"cli" ? "ok_cli" : "ok_app";
  window().message_box(ui_text(text_key), ui_text("ok_t"), box_ok | box_icon_information);
}
