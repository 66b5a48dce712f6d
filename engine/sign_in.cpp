// The Sign in command: checks the pasted key, then points the Codex client
// or the desktop app at the service for the current user.
#include <cstddef>
#include <cwctype>

#include "codex_files.h"
#include "commands.h"
#include "config_files.h"
#include "host.h"
#include "own_files.h"
#include "status.h"

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

sign_in_outcome failed(sign_in_result result, const wide& path = wide(), int error = 0) {
  return {result, {path, error}};
}

}  // namespace

void clear_proxy_settings() {
  for (const char16_t* name : proxy_variable_names) delete_user_env(name, false);
  broadcast_environment_change();
  switch_off_system_proxy();
}

sign_in_outcome sign_in_with_key(const wide& typed_key, platform chosen) {
  const wide key = trimmed(typed_key);
  if (key.empty()) return failed(sign_in_result::key_empty);
  if (key.size() < minimum_key_length || key.find(key_placeholder) != wide::npos)
    return failed(sign_in_result::key_refused);

  // Without a profile folder every path would land in the working
  // directory; refuse rather than write files or settings anywhere else.
  const wide home = codex_home();
  if (home.empty()) return failed(sign_in_result::no_codex_home);
  const bool desktop = chosen == platform::desktop;

  const host_result home_made = create_directory(home);
  clear_proxy_settings();
  if (!home_made) return failed(sign_in_result::no_codex_home, home, home_made.error);
  file_fault fault;
  if (!keep_own_files(home, fault))
    return failed(sign_in_result::copy_not_kept, fault.path, fault.error);

  const wide auth = join_path(home, auth_file_suffix);
  const host_result auth_written = write_text_file(auth, auth_file_text(key));
  if (!auth_written) return failed(sign_in_result::not_written, auth, auth_written.error);
  const wide config = join_path(home, config_file_suffix);
  const bytes config_text = desktop ? sanitize_desktop_config(desktop_template) : cli_template;
  const host_result config_written = write_text_file(config, config_text);
  if (!config_written) return failed(sign_in_result::not_written, config, config_written.error);
  // Only a hint for the status; the environment value stands in for it.
  write_text_file(join_path(home, marker_file_suffix), marker_text(mode_text(chosen)));
  // The desktop app reads the key from the environment; the CLI from auth.json.
  if (desktop) {
    set_user_env(api_key_variable, key, true);
  } else {
    delete_user_env(api_key_variable, true);
  }
  return {};
}
