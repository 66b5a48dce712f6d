// morvanectl: Sign in, the status and Reset from a command line, for the
// Codex client on Linux and for scripted set-up. The very same commands run
// as behind the window, with the same texts and backups; the terminal says
// what happened its own way, naming the file and the system's reason when
// something could not be done, and an exit code for scripts.
#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "catalogue.h"
#include "command_line.h"
#include "commands.h"
#include "config_files.h"
#include "console.h"
#include "doctor.h"
#include "fault_line.h"
#include "host.h"
#include "machine.h"
#include "status.h"
#include "terminal.h"
#include "version.h"

namespace {

enum : int {
  exit_done = 0,
  exit_failed = 1,         // Sign in failed; Reset not confirmed or not done whole
  exit_refused = 2,        // a usage error or input that cannot be used: nothing was touched
  exit_not_signed_in = 3,  // status
  exit_key_refused = 3,    // Sign in: the key was empty or not plausible
};

// What failed in colour, then where and why plainly.
void print_failure(const std::vector<wide>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    print_line(out_stream::error, lines[i], i == 0 ? tone::bad : tone::plain);
}

bytes json_text(const wide& text) {
  return "\"" + json_escaped(to_utf8(text)) + "\"";
}

int show_status(const command_line& line) {
  const codex_home_place home = find_codex_home();
  // A home that is not absolute, or has no exact name, holds nothing to read.
  const bool usable = home.absolute && home.exact;
  const account_status status = usable ? read_status() : account_status();
  // A key without Morvane's marker is the user's own: shown, but not
  // signed in through Morvane.
  const bool signed_in = status.signed_in && status.by_morvane;
  const wide shown = line.show_key ? status.key : masked_key(status.key);
  const wide error =
      usable ? wide()
             : fault_line(
                   {home.exact ? fault_kind::not_absolute : fault_kind::not_exact, home.setting});
  if (!error.empty()) print_line(out_stream::error, error, tone::bad);
  if (line.json) {
    bytes object = "{\"signed_in\": ";
    object += signed_in ? "true" : "false";
    object += ", \"platform\": ";
    object += !signed_in ? "null" : status.client == platform::cli ? "\"cli\"" : "\"desktop\"";
    object += ", \"key\": " + (status.key.empty() ? bytes("null") : json_text(shown));
    object += ", \"key_shown\": ";
    object += !status.key.empty() && line.show_key ? "true" : "false";
    object += ", \"codex_home\": " + (home.path.empty() ? bytes("null") : json_text(home.path));
    if (!error.empty()) object += ", \"error\": " + json_text(error);
    print_line(out_stream::output, from_utf8(object + "}"));
  } else if (error.empty()) {
    print_line(out_stream::output, signed_in || status.key.empty()
                                       ? status_text(signed_in ? mode_name(status.client) : nullptr)
                                       : wide(command_line_text("own_key")));
    if (!status.key.empty()) print_line(out_stream::output, key_line_prefix + shown);
    // Only a home the user moved is worth a line.
    if (!home.setting.empty())
      print_line(out_stream::output, command_line_text("home_at") + home.path + u" (CODEX_HOME)");
  }
  return !error.empty() ? exit_failed : signed_in ? exit_done : exit_not_signed_in;
}

// What sign-in and reset tell: a line for a person, or with --json one
// object, and the exit code.
struct report {
  int exit_code = exit_done;
  bool changed = false;
  std::optional<platform> client;  // signed in for it afterwards
  wide said;                       // on standard output, when it worked
  std::vector<wide> failure;       // on standard error: what failed, then where and why
};

report failure(int exit_code, std::vector<wide> lines) {
  report told;
  told.exit_code = exit_code;
  told.failure = std::move(lines);
  return told;
}

// The platform signed in through Morvane, none for a key of the user's own.
std::optional<platform> signed_in_client() {
  const account_status status = read_status();
  return status.signed_in && status.by_morvane ? std::optional<platform>(status.client)
                                               : std::nullopt;
}

// The failure in one line, as --json gives it: "Sign in failed: cannot
// write ...: Is a directory".
wide error_text(const std::vector<wide>& lines) {
  wide text = lines[0];
  if (!text.empty() && text.back() == u'.') text.pop_back();
  for (std::size_t i = 1; i < lines.size(); ++i) text += (i == 1 ? u": " : u"; ") + lines[i];
  return text;
}

int tell(const command_line& line, const report& told) {
  if (!told.failure.empty()) print_failure(told.failure);
  if (!line.json) {
    if (told.failure.empty()) print_line(out_stream::output, told.said, tone::good);
    return told.exit_code;
  }
  const wide home = find_codex_home().path;
  bytes object = "{\"changed\": ";
  object += told.changed ? "true" : "false";
  object += ", \"platform\": ";
  object += !told.client ? "null" : *told.client == platform::cli ? "\"cli\"" : "\"desktop\"";
  object += ", \"codex_home\": " + (home.empty() ? bytes("null") : json_text(home));
  if (!told.failure.empty()) object += ", \"error\": " + json_text(error_text(told.failure));
  print_line(out_stream::output, from_utf8(object + "}"));
  return told.exit_code;
}

// The key as typed or piped, first line only; false, with why in
// `problem`, when the input cannot be used.
bool read_key(const command_line& line, wide& key, std::vector<wide>& problem) {
  bytes input;
  int error = 0;
  const input_result result = line.has_key_file
                                  ? read_key_file(line.key_file, input, error)
                                  : read_input_line(input, to_utf8(ui_text("key")) + ": ");
  if (result == input_result::unreadable) {
    if (line.has_key_file) {
      // A path that may be a key given by mistake is named by its place.
      const wide path =
          looks_like_key(line.key_file)
              ? command_line_text("argument") + from_utf8(std::to_string(line.key_file_argument))
              : from_utf8(line.key_file);
      problem = {command_line_text("key_file"),
                 failure_detail("not_read", path, system_message(error))};
    } else {
      problem = {command_line_text("stdin")};
    }
    return false;
  }
  if (result == input_result::too_large) {
    problem = {command_line_text("too_large")};
    return false;
  }
  if (starts_with_byte_order_mark(input)) input.erase(0, 3);
  input.erase(std::min(input.find('\n'), input.size()));
  key = from_utf8(input);
  if (input.find('\0') != bytes::npos || to_utf8(key) != input) {
    problem = {command_line_text("not_text")};
    return false;
  }
  return true;
}

report sign_in_report(const command_line& line) {
  if (line.platform == "desktop" && !desktop_app_exists)
    return failure(exit_refused, {command_line_text("desktop_only")});
  platform chosen = line.platform == "cli" ? platform::cli : platform::desktop;
  if (line.platform.empty()) {
    chosen = !desktop_app_exists ? platform::cli : signed_in_client().value_or(platform::desktop);
  }
  wide key;
  std::vector<wide> problem;
  if (!read_key(line, key, problem)) return failure(exit_refused, problem);

  const sign_in_outcome outcome =
      sign_in_with_key(key, chosen, line.check ? run_as::check : run_as::real);
  const wide failed = ui_text("fail");
  switch (outcome.result) {
    case sign_in_result::done: {
      report told;
      told.changed = outcome.changed;
      // The message names the platform the status now shows.
      told.client = line.check ? chosen : signed_in_client().value_or(chosen);
      told.said = !outcome.changed ? command_line_text("already")
                  : line.check     ? command_line_text("would_sign_in")
                                   : ui_text(*told.client == platform::cli ? "ok_cli" : "ok_app");
      return told;
    }
    case sign_in_result::key_empty:
      return failure(exit_key_refused, {failed + u": " + ui_text("empty")});
    case sign_in_result::key_refused:
      return failure(exit_key_refused, {failed + u": " + ui_text("bad")});
    default: {
      report told = failure(exit_failed, {failed, fault_line(outcome.fault)});
      told.changed = outcome.changed;
      told.client = signed_in_client();
      return told;
    }
  }
}

int sign_in(const command_line& line) {
  return tell(line, sign_in_report(line));
}

// Reset's success text; its advice to restart the desktop app only where
// that app exists.
wide reset_done_text() {
  const wide text = ui_text("rst_ok");
  return desktop_app_exists ? text : text.substr(0, text.find(u"\n\n"));
}

report reset_report(const command_line& line) {
  // Checking changes nothing, so it needs no confirmation.
  if (!line.check && !line.yes && !input_is_terminal())
    return failure(exit_refused, {command_line_text("needs_yes")});
  if (!line.check && !line.yes && !ask_yes_no(ui_text("rst_a")))
    return failure(exit_failed, {command_line_text("not_reset")});
  const reset_outcome outcome = reset_without_asking(line.check ? run_as::check : run_as::real);
  if (outcome.stopped.kind != fault_kind::none) {
    report told =
        failure(exit_failed, {command_line_text("not_reset"), fault_line(outcome.stopped)});
    told.changed = outcome.changed;
    told.client = signed_in_client();
    return told;
  }
  report told;
  told.changed = outcome.changed;
  told.client = line.check ? std::nullopt : signed_in_client();
  told.said = !outcome.changed ? command_line_text("rst_none")
              : line.check     ? command_line_text("would_reset")
                               : reset_done_text();
  if (!outcome.complete()) {
    told.exit_code = exit_failed;
    told.failure = {ui_text("rst_no")};
    for (const reset_change& change : outcome.changes) {
      if (!change.done) told.failure.push_back(fault_line(change.file));
    }
  }
  return told;
}

int reset(const command_line& line) {
  return tell(line, reset_report(line));
}

int doctor(const command_line& line) {
  return run_doctor({line.json, line.offline});
}

int show_help(const command_line& line) {
  write_text(out_stream::output, usage_of(line.topic));
  return exit_done;
}

// Each command of the command line, and what runs it.
struct command_runner {
  const char* name;
  int (*run)(const command_line& line);
};
const command_runner command_runners[] = {
    {"status", show_status}, {"sign-in", sign_in}, {"reset", reset},
    {"doctor", doctor},      {"help", show_help},
};

int run(const std::vector<std::string>& arguments) {
  prepare_standard_streams();
  command_line line;
  std::string problem;
  if (!parse(arguments, line, problem)) {
    write_text(out_stream::error, "morvanectl: " + problem + "\n\n" + usage());
    return exit_refused;
  }
  if (line.help || line.command == "help") {
    // "sign-in --help" is the help of sign-in.
    if (line.topic.empty() && line.command != "help") line.topic = line.command;
    return show_help(line);
  }
  if (line.version) {
    write_text(out_stream::output, "morvanectl " MORVANE_VERSION_TEXT "\n");
    return exit_done;
  }
  ui_language = line.language == "vi"       ? language_vietnamese
                : line.language == "en"     ? language_english
                : user_prefers_vietnamese() ? language_vietnamese
                                            : language_english;
  for (const command_runner& command : command_runners) {
    if (line.command == command.name) return command.run(line);
  }
  return exit_refused;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  // Before anything else: DLLs come from the system folder only.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(to_utf8(reinterpret_cast<char16_t*>(argv[i])));
  return run(arguments);
}
#else
int main(int argc, char** argv) {
  return run(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
