// The Reset command: undoes what Sign in set up for the current user.
#include "catalogue.h"
#include "commands.h"
#include "config_files.h"
#include "host.h"
#include "status.h"
#include "window_port.h"

namespace {

// Puts back the config.toml the user had before the first Sign in, or drops
// the one Sign in wrote when there was none; a config.toml the tool never
// touched stays.
void remove_applied_files(const wide& home) {
  delete_file(join_path(home, auth_file_suffix));
  const wide config = join_path(home, config_file_suffix);
  const wide backup = join_path(home, backup_copy_suffix);
  const wide marker = join_path(home, marker_file_suffix);
  if (path_exists(backup)) {
    copy_file(backup, config, false);
  } else if (path_exists(marker)) {
    delete_file(config);
  }
  delete_file(marker);
}

}  // namespace

void reset_configuration() {
  const int answer = window().message_box(ui_text("rst_a"), ui_text("rst_t"),
                                          box_yes_no | box_icon_question);
  if (answer != box_answer_yes) return;

  clear_proxy_settings();
  // Without a profile folder the paths would point into the working
  // directory: leave the file system alone then.
  const wide home = codex_home();
  if (!home.empty()) remove_applied_files(home);
  delete_user_env(u"OPENAI_API_KEY", true);

  window().set_key_text(u"");
  window().hide_key();
  refresh_status();
  window().message_box(ui_text("rst_ok"), ui_text("rst_d"), box_ok | box_icon_information);
}
