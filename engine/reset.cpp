// The Reset command: undoes what Sign in set up for the current user.
#include "catalogue.h"
#include "codex_files.h"
#include "commands.h"
#include "host.h"
#include "own_files.h"
#include "status.h"
#include "window_port.h"

void reset_configuration() {
  const int answer =
      window().message_box(ui_text("rst_a"), ui_text("rst_t"), box_yes_no | box_icon_question);
  if (answer != box_answer_yes) return;

  clear_proxy_settings();
  // Without a profile folder the paths would point into the working
  // directory: leave the file system alone then.
  const wide home = codex_home();
  if (!home.empty()) give_back_own_files(home);
  delete_user_env(api_key_variable, true);

  window().set_key_text(u"");
  window().hide_key();
  refresh_status();
  window().message_box(ui_text("rst_ok"), ui_text("rst_d"), box_ok | box_icon_information);
}
