// morvanectl: Sign in, the status and Reset from a command line, for the
// Codex client on Linux and for scripted set-up. The very same procedures
// run as behind the window, with the same texts, outcomes and backups; only
// the key field and the message boxes are the terminal's.
#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <string>
#include <vector>

#include "catalogue.h"
#include "commands.h"
#include "config_files.h"
#include "console.h"
#include "host.h"
#include "status.h"
#include "terminal.h"
#include "version.h"

namespace {

enum : int {
  exit_done = 0,
  exit_failed = 1,         // Sign in failed; Reset not confirmed
  exit_refused = 2,        // a usage error or input that cannot be used: nothing was touched
  exit_not_signed_in = 3,  // status
  exit_key_refused = 3,    // Sign in: the key was empty or not plausible
};

#ifdef _WIN32
constexpr bool desktop_platform_exists = true;
#else
constexpr bool desktop_platform_exists = false;
#endif

const char usage[] =
    "Usage: morvanectl [--lang vi|en] COMMAND [OPTIONS]\n"
    "\n"
    "Signs the Codex command-line client (and, on Windows, the ChatGPT desktop\n"
    "app) in to the Veskara API service, tells whether it is, and undoes it.\n"
    "\n"
    "Commands:\n"
    "  status [--json] [--show-key]\n"
    "      Whether a key is in place and for which platform; the key is masked\n"
    "      unless --show-key. Exit 0 when signed in, 3 when not.\n"
    "  sign-in [--platform cli|desktop] [--key-file PATH]\n"
    "      Takes the key from PATH, else from the first line of standard input,\n"
    "      else asks for it on the terminal without showing it. The platform\n"
    "      defaults to the one signed in, else Desktop on Windows and CLI\n"
    "      elsewhere (Desktop exists only on Windows). Exit 0 when signed in,\n"
    "      1 when Sign in failed, 3 when the key was refused.\n"
    "  reset [--yes]\n"
    "      Undoes Sign in and gives your own configuration back. Asks first;\n"
    "      where there is no terminal to ask on, --yes is required. Exit 0\n"
    "      when done, 1 when not confirmed.\n"
    "\n"
    "Options:\n"
    "  --lang vi|en   language of the messages (default: your language setting)\n"
    "  --help         this help\n"
    "  --version      the version\n"
    "\n"
    "A usage error, or a key input that cannot be used, exits with 2 and\n"
    "changes nothing.\n";

// Texts of the command line's own, in both languages.
struct own_text {
  const char16_t* english;
  const char16_t* vietnamese;
  wide operator()() const { return ui_language == language_vietnamese ? vietnamese : english; }
};
const own_text desktop_only{u"The Desktop platform exists only on Windows.",
                            u"Nền tảng Desktop chỉ có trên Windows."};
const own_text key_file_unreadable{u"Cannot read the key file: ", u"Không đọc được tệp key: "};
const own_text input_unreadable{u"Cannot read the key from standard input.",
                                u"Không đọc được key từ đầu vào chuẩn."};
const own_text input_too_large{u"The key input is larger than 64 KiB.",
                               u"Dữ liệu key lớn hơn 64 KiB."};
const own_text input_not_text{u"The key input is not text.", u"Dữ liệu key không phải là văn bản."};
const own_text reset_needs_yes{
    u"Reset asks before it changes anything; with no terminal to ask on, confirm it with --yes.",
    u"Reset cần được xác nhận trước khi thay đổi; khi không có terminal để hỏi, hãy xác nhận "
    u"bằng --yes."};
const own_text reset_not_confirmed{u"Nothing was reset.", u"Chưa reset gì."};

struct command_line {
  std::string command;  // "status", "sign-in" or "reset"
  std::string language;
  std::string platform;
  std::string key_file;
  bool has_key_file = false;
  bool json = false;
  bool show_key = false;
  bool yes = false;
  bool help = false;
  bool version = false;
};

bool takes_value(const std::string& option) {
  return option == "--lang" || option == "--platform" || option == "--key-file";
}

// The options each command accepts besides --lang, --help and --version.
bool applies(const std::string& command, const std::string& option) {
  if (command == "status") return option == "--json" || option == "--show-key";
  if (command == "sign-in") return option == "--platform" || option == "--key-file";
  if (command == "reset") return option == "--yes";
  return false;
}

// Fills `line` from the arguments; false, with the reason in `problem`,
// when they are not a command line this program takes.
bool parse(const std::vector<std::string>& arguments, command_line& line, std::string& problem) {
  const auto refuse = [&problem](const std::string& why) {
    problem = why;
    return false;
  };
  std::vector<std::string> options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string word = arguments[i];
    std::string value;
    const std::size_t equals = word.find('=');
    const bool inline_value = word.compare(0, 2, "--") == 0 && equals != std::string::npos;
    if (inline_value) {
      value = word.substr(equals + 1);
      word.erase(equals);
    }
    if (word == "--help" || word == "-h") {
      line.help = true;
    } else if (word == "--version") {
      line.version = true;
    } else if (takes_value(word)) {
      if (!inline_value) {
        if (i + 1 >= arguments.size()) return refuse(word + " needs a value");
        value = arguments[++i];
      }
      if (word == "--lang") {
        if (value != "vi" && value != "en") return refuse("--lang takes vi or en");
        line.language = value;
        continue;
      }
      if (word == "--platform") {
        if (value != "cli" && value != "desktop") return refuse("--platform takes cli or desktop");
        line.platform = value;
      } else {
        line.key_file = value;
        line.has_key_file = true;
      }
      options.push_back(word);
    } else if (word == "--json" || word == "--show-key" || word == "--yes") {
      if (inline_value) return refuse(word + " takes no value");
      line.json |= word == "--json";
      line.show_key |= word == "--show-key";
      line.yes |= word == "--yes";
      options.push_back(word);
    } else if (word.compare(0, 1, "-") == 0) {
      return refuse("unknown option " + arguments[i]);
    } else if (!line.command.empty()) {
      return refuse("one command at a time: " + word);
    } else if (word == "status" || word == "sign-in" || word == "reset") {
      line.command = word;
    } else {
      return refuse("unknown command " + word);
    }
  }
  if (line.help || line.version) return true;
  if (line.command.empty()) return refuse("no command");
  for (const std::string& option : options) {
    if (!applies(line.command, option)) return refuse(option + " does not go with " + line.command);
  }
  return true;
}

bytes json_text(const wide& text) {
  return "\"" + json_escaped(to_utf8(text)) + "\"";
}

// The key with only its first 3 and last 4 characters showing. A key too
// short to keep 4 hidden shows nothing.
wide masked(const wide& key) {
  // Characters, so that a surrogate pair is shown or hidden whole.
  std::vector<wide> characters;
  for (std::size_t i = 0; i < key.size(); ++i) {
    const bool pair = key[i] >= 0xD800 && key[i] <= 0xDBFF && i + 1 < key.size() &&
                      key[i + 1] >= 0xDC00 && key[i + 1] <= 0xDFFF;
    characters.push_back(key.substr(i, pair ? 2 : 1));
    i += pair ? 1 : 0;
  }
  const std::size_t shown_first = 3, shown_last = 4;
  const bool shows = characters.size() >= shown_first + shown_last + 4;
  wide out;
  for (std::size_t i = 0; i < characters.size(); ++i) {
    const bool shown = shows && (i < shown_first || i + shown_last >= characters.size());
    out += shown ? characters[i] : u"*";
  }
  return out;
}

int show_status(const command_line& line) {
  const wide key = read_saved_key();
  const wide mode = read_saved_mode();
  const bool is_signed_in = !key.empty() && !mode.empty();
  const wide shown = line.show_key ? key : masked(key);
  if (line.json) {
    bytes object = "{\"signed_in\": ";
    object += is_signed_in ? "true" : "false";
    object += ", \"platform\": ";
    object += !is_signed_in ? "null" : mode == u"cli" ? "\"cli\"" : "\"desktop\"";
    object += ", \"key\": " + (is_signed_in ? json_text(shown) : bytes("null"));
    object += ", \"key_shown\": ";
    object += is_signed_in && line.show_key ? "true" : "false";
    object += "}";
    print_line(out_stream::output, from_utf8(object));
  } else {
    print_line(out_stream::output, status_text(is_signed_in ? mode : u""));
    if (is_signed_in) print_line(out_stream::output, key_line_prefix + shown);
  }
  return is_signed_in ? exit_done : exit_not_signed_in;
}

// The key as typed or piped, first line only; false (after saying why)
// when the input cannot be used.
bool read_key(const command_line& line, wide& key) {
  bytes input;
  input_result result;
  if (line.has_key_file) {
    result = read_key_file(line.key_file, input);
  } else {
    result = read_input_line(input, to_utf8(ui_text("key")) + ": ");
  }
  if (result == input_result::unreadable) {
    print_line(
        out_stream::error,
        line.has_key_file ? key_file_unreadable() + from_utf8(line.key_file) : input_unreadable(),
        tone::bad);
    return false;
  }
  if (result == input_result::too_large) {
    print_line(out_stream::error, input_too_large(), tone::bad);
    return false;
  }
  if (starts_with_byte_order_mark(input)) input.erase(0, 3);
  input.erase(std::min(input.find('\n'), input.size()));
  key = from_utf8(input);
  if (input.find('\0') != bytes::npos || to_utf8(key) != input) {
    print_line(out_stream::error, input_not_text(), tone::bad);
    return false;
  }
  return true;
}

int sign_in(const command_line& line) {
  if (line.platform == "desktop" && !desktop_platform_exists) {
    print_line(out_stream::error, desktop_only(), tone::bad);
    return exit_refused;
  }
  wide mode = line.platform == "cli" ? u"cli" : line.platform == "desktop" ? u"app" : u"";
  if (mode.empty()) {
    const wide saved = read_saved_mode();
    mode = !desktop_platform_exists ? u"cli" : saved.empty() ? u"app" : saved;
  }
  wide key;
  if (!read_key(line, key)) return exit_refused;

  terminal_port port(key, false);
  set_window_port(&port);
  selected_mode = mode;
  apply_key();
  set_window_port(nullptr);
  if (!(port.last_flags() & box_icon_error)) return exit_done;
  return port.last_text() == ui_text("fail") ? exit_failed : exit_key_refused;
}

int reset(const command_line& line) {
  if (!line.yes && !input_is_terminal()) {
    print_line(out_stream::error, reset_needs_yes(), tone::bad);
    return exit_refused;
  }
  terminal_port port(u"", line.yes);
  set_window_port(&port);
  reset_configuration();
  set_window_port(nullptr);
  if (port.last_flags() != 0) return exit_done;
  print_line(out_stream::error, reset_not_confirmed());
  return exit_failed;
}

int run(const std::vector<std::string>& arguments) {
  prepare_standard_streams();
  command_line line;
  std::string problem;
  if (!parse(arguments, line, problem)) {
    write_text(out_stream::error, "morvanectl: " + problem + "\n\n" + usage);
    return exit_refused;
  }
  if (line.help) {
    write_text(out_stream::output, usage);
    return exit_done;
  }
  if (line.version) {
    write_text(out_stream::output, "morvanectl " MORVANE_VERSION_TEXT "\n");
    return exit_done;
  }
  ui_language = line.language == "vi"       ? language_vietnamese
                : line.language == "en"     ? language_english
                : user_prefers_vietnamese() ? language_vietnamese
                                            : language_english;
  if (line.command == "status") return show_status(line);
  if (line.command == "sign-in") return sign_in(line);
  return reset(line);
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
