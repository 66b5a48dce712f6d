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
#include "commands.h"
#include "config_files.h"
#include "console.h"
#include "doctor.h"
#include "host.h"
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

#ifdef _WIN32
constexpr bool desktop_platform_exists = true;
#else
constexpr bool desktop_platform_exists = false;
#endif

struct command_line {
  std::string command;  // "status", "sign-in", "reset", "doctor" or "help"
  std::string topic;    // the command that help is asked about
  std::string language;
  std::string platform;
  std::string key_file;
  bool has_key_file = false;
  bool json = false;
  bool check = false;
  bool offline = false;
  bool show_key = false;
  bool yes = false;
  bool help = false;
  bool version = false;
};

// Every option, once: the parser, the checks and the usage all read this.
struct option_rule {
  const char* name;
  const char* value;     // what it takes, as the usage shows it; null for a switch
  bool one_of;           // the value must be one of the words of `value` ("vi|en")
  const char* commands;  // the commands it goes with, between spaces; null for every command
  const char* help;      // for the options of every command; null keeps it out of the usage
  void (*set)(command_line& line, const std::string& value);
};

const option_rule option_rules[] = {
    {"--lang", "vi|en", true, nullptr, "language of the messages (default: your language setting)",
     [](command_line& line, const std::string& value) { line.language = value; }},
    {"--help", nullptr, false, nullptr, "this help",
     [](command_line& line, const std::string&) { line.help = true; }},
    {"-h", nullptr, false, nullptr, nullptr,
     [](command_line& line, const std::string&) { line.help = true; }},
    {"--version", nullptr, false, nullptr, "the version",
     [](command_line& line, const std::string&) { line.version = true; }},
    {"--json", nullptr, false, "status sign-in reset doctor", nullptr,
     [](command_line& line, const std::string&) { line.json = true; }},
    {"--check", nullptr, false, "sign-in reset", nullptr,
     [](command_line& line, const std::string&) { line.check = true; }},
    {"--offline", nullptr, false, "doctor", nullptr,
     [](command_line& line, const std::string&) { line.offline = true; }},
    {"--show-key", nullptr, false, "status", nullptr,
     [](command_line& line, const std::string&) { line.show_key = true; }},
    {"--platform", "cli|desktop", true, "sign-in", nullptr,
     [](command_line& line, const std::string& value) { line.platform = value; }},
    {"--key-file", "PATH", false, "sign-in", nullptr,
     [](command_line& line, const std::string& value) {
       line.key_file = value;
       line.has_key_file = true;
     }},
    {"--yes", nullptr, false, "reset", nullptr,
     [](command_line& line, const std::string&) { line.yes = true; }},
};

int show_status(const command_line& line);
int sign_in(const command_line& line);
int reset(const command_line& line);
int doctor(const command_line& line);
int show_help(const command_line& line);

struct command_rule {
  const char* name;
  const char* operands;  // after its options in the usage
  const char* description;
  int (*run)(const command_line& line);
};

const command_rule command_rules[] = {
    {"status", "",
     "Whether a key is in place and for which platform; the key is masked\n"
     "unless --show-key. Exit 0 when signed in, 3 when not.\n",
     show_status},
    {"sign-in", "",
     "Takes the key from PATH, else from the first line of standard input,\n"
     "else asks for it on the terminal without showing it. The platform\n"
     "defaults to the one signed in, else Desktop on Windows and CLI\n"
     "elsewhere (Desktop exists only on Windows). Changes nothing when all\n"
     "is as it would leave it. Exit 0 when signed in, 1 when Sign in failed\n"
     "or another Sign in or Reset was running (the next line says which\n"
     "file and why), 3 when the key was refused.\n",
     sign_in},
    {"reset", "",
     "Undoes Sign in and gives your own configuration back. Asks first;\n"
     "where there is no terminal to ask on, --yes is required. Exit 0\n"
     "when done or when there was nothing to undo, 1 when not confirmed,\n"
     "when another Sign in or Reset was running, or when a file could not\n"
     "be given back (its copy is kept for the next Reset).\n",
     reset},
    {"doctor", "",
     "Checks, one line each, that the Codex client will really work: the\n"
     "folder it reads, Sign in, config.toml, the key, a .env that overrides\n"
     "them, proxies, the client on PATH and, unless --offline, the service\n"
     "itself, asked with the key. Each line starts with ok, warn, fail or\n"
     "skip and says what to do where something is wrong; nothing is\n"
     "changed. Exit 0 when no check failed, 1 when one did.\n",
     doctor},
    {"help", " [COMMAND]", "This help, or the part of it for one command.\n", show_help},
};

const char usage_head[] =
    "Usage: morvanectl [--lang vi|en] COMMAND [OPTIONS]\n"
    "\n"
    "Signs the Codex command-line client (and, on Windows, the ChatGPT desktop\n"
    "app) in to the Veskara API service, tells whether it is, checks that it\n"
    "works, and undoes it.\n";
const char usage_tail[] =
    "\n"
    "--check only tells whether the command would change anything, and\n"
    "changes nothing. --json prints one object on standard output:\n"
    "{\"changed\": BOOL, \"platform\": \"cli\"|\"desktop\"|null, \"codex_home\": PATH},\n"
    "and \"error\" when the command failed.\n"
    "\n"
    "A usage error, or a key input that cannot be used, exits with 2 and\n"
    "changes nothing.\n";

const command_rule* find_command(const std::string& name) {
  for (const command_rule& rule : command_rules) {
    if (name == rule.name) return &rule;
  }
  return nullptr;
}

const option_rule* find_option(const std::string& name) {
  for (const option_rule& rule : option_rules) {
    if (name == rule.name) return &rule;
  }
  return nullptr;
}

// Whether the option goes with the command, or with every command.
bool goes_with(const option_rule& option, const std::string& command) {
  return option.commands == nullptr ||
         (" " + std::string(option.commands) + " ").find(" " + command + " ") != std::string::npos;
}

// "status [--json] [--show-key]"
std::string synopsis(const command_rule& command) {
  std::string text = command.name;
  for (const option_rule& option : option_rules) {
    if (option.commands == nullptr || !goes_with(option, command.name)) continue;
    text += std::string(" [") + option.name;
    if (option.value) text += std::string(" ") + option.value;
    text += "]";
  }
  return text + command.operands;
}

// A command's description as the usage shows it, indented.
std::string description(const command_rule& command) {
  std::string text;
  std::size_t start = 0;
  const std::string lines = command.description;
  while (start < lines.size()) {
    const std::size_t end = lines.find('\n', start);
    text += "      " + lines.substr(start, end - start) + "\n";
    start = end + 1;
  }
  return text;
}

std::string usage() {
  std::string text = usage_head + std::string("\nCommands:\n");
  for (const command_rule& command : command_rules)
    text += "  " + synopsis(command) + "\n" + description(command);
  text += "\nOptions:\n";
  for (const option_rule& option : option_rules) {
    if (option.commands != nullptr || option.help == nullptr) continue;
    std::string shown = option.name;
    if (option.value) shown += std::string(" ") + option.value;
    shown.resize(std::max<std::size_t>(shown.size() + 1, 13), ' ');
    text += "  " + shown + "  " + option.help + "\n";
  }
  return text + usage_tail;
}

// "vi|en" allows "vi" and "en".
bool allows(const option_rule& option, const std::string& value) {
  const std::string words = std::string("|") + option.value + "|";
  return value.find('|') == std::string::npos && words.find("|" + value + "|") != std::string::npos;
}

std::string choices(const option_rule& option) {
  std::string text = option.value;
  std::replace(text.begin(), text.end(), '|', ' ');
  const std::size_t last = text.rfind(' ');
  return last == std::string::npos ? text : text.substr(0, last) + " or" + text.substr(last);
}

// Fills `line` from the arguments; false, with the reason in `problem`,
// when they are not a command line this program takes.
bool parse(const std::vector<std::string>& arguments, command_line& line, std::string& problem) {
  const auto refuse = [&problem](const std::string& why) {
    problem = why;
    return false;
  };
  std::vector<const option_rule*> given;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string word = arguments[i];
    if (word.compare(0, 1, "-") != 0) {
      if (line.command.empty()) {
        if (!find_command(word)) return refuse("unknown command " + word);
        line.command = word;
      } else if (line.command == "help" && line.topic.empty()) {
        if (!find_command(word)) return refuse("unknown command " + word);
        line.topic = word;
      } else {
        return refuse("one command at a time: " + word);
      }
      continue;
    }
    std::string value;
    const std::size_t equals = word.find('=');
    const bool inline_value = word.compare(0, 2, "--") == 0 && equals != std::string::npos;
    if (inline_value) {
      value = word.substr(equals + 1);
      word.erase(equals);
    }
    const option_rule* option = find_option(word);
    if (!option) return refuse("unknown option " + arguments[i]);
    if (option->value) {
      if (!inline_value) {
        if (i + 1 >= arguments.size()) return refuse(word + " needs a value");
        value = arguments[++i];
      }
      if (option->one_of && !allows(*option, value))
        return refuse(word + " takes " + choices(*option));
    } else if (inline_value) {
      return refuse(word + " takes no value");
    }
    option->set(line, value);
    given.push_back(option);
  }
  if (line.help || line.version) return true;
  if (line.command.empty()) return refuse("no command");
  for (const option_rule* option : given) {
    if (!goes_with(*option, line.command))
      return refuse(std::string(option->name) + " does not go with " + line.command);
  }
  return true;
}

// What could not be done, to which path, and the system's reason.
wide fault_line(const file_fault& fault) {
  return failure_detail(fault_name(fault.kind), fault.path, system_message(fault.error));
}

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
  if (!home.absolute) {
    print_line(out_stream::error, fault_line({fault_kind::not_absolute, home.setting}), tone::bad);
    return exit_failed;
  }
  const account_status status = read_status();
  const wide shown = line.show_key ? status.key : masked_key(status.key);
  if (line.json) {
    bytes object = "{\"signed_in\": ";
    object += status.signed_in ? "true" : "false";
    object += ", \"platform\": ";
    object += !status.signed_in                ? "null"
              : status.client == platform::cli ? "\"cli\""
                                               : "\"desktop\"";
    object += ", \"key\": " + (status.signed_in ? json_text(shown) : bytes("null"));
    object += ", \"key_shown\": ";
    object += status.signed_in && line.show_key ? "true" : "false";
    object += ", \"codex_home\": " + (home.path.empty() ? bytes("null") : json_text(home.path));
    object += "}";
    print_line(out_stream::output, from_utf8(object));
  } else {
    print_line(out_stream::output,
               status_text(status.signed_in ? mode_name(status.client) : nullptr));
    if (status.signed_in) print_line(out_stream::output, key_line_prefix + shown);
    // Only a home the user moved is worth a line.
    if (!home.setting.empty())
      print_line(out_stream::output, command_line_text("home_at") + home.path + u" (CODEX_HOME)");
  }
  return status.signed_in ? exit_done : exit_not_signed_in;
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

std::optional<platform> signed_in_client() {
  const account_status status = read_status();
  return status.signed_in ? std::optional<platform>(status.client) : std::nullopt;
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
      problem = {command_line_text("key_file"),
                 failure_detail("not_read", from_utf8(line.key_file), system_message(error))};
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
  if (line.platform == "desktop" && !desktop_platform_exists)
    return failure(exit_refused, {command_line_text("desktop_only")});
  platform chosen = line.platform == "cli" ? platform::cli : platform::desktop;
  if (line.platform.empty()) {
    const account_status saved = read_status();
    chosen = !desktop_platform_exists ? platform::cli
             : saved.signed_in        ? saved.client
                                      : platform::desktop;
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
      told.client = signed_in_client();
      return told;
    }
  }
}

int sign_in(const command_line& line) {
  return tell(line, sign_in_report(line));
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
    told.client = signed_in_client();
    return told;
  }
  report told;
  told.changed = outcome.changed;
  told.client = line.check ? std::nullopt : signed_in_client();
  told.said = !outcome.changed ? command_line_text("rst_none")
              : line.check     ? command_line_text("would_reset")
                               : ui_text("rst_ok");
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
  const command_rule* topic = find_command(line.topic);
  if (!topic) {
    write_text(out_stream::output, usage());
  } else {
    write_text(out_stream::output, "Usage: morvanectl [--lang vi|en] " + synopsis(*topic) + "\n\n" +
                                       description(*topic));
  }
  return exit_done;
}

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
  return find_command(line.command)->run(line);
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
