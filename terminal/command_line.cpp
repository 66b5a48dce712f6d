#include "command_line.h"

#include <algorithm>
#include <cctype>

namespace {

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

struct command_rule {
  const char* name;
  const char* operands;  // after its options in the usage
  const char* description;
};

const command_rule command_rules[] = {
    {"status", "",
     "Whether a key is in place and for which platform; the key is masked\n"
     "unless --show-key. A key of your own, not signed in through Morvane,\n"
     "is shown as yours. Exit 0 when signed in, 3 when not.\n"},
    {"sign-in", "",
     "Takes the key from PATH, else from the first line of standard input,\n"
     "else asks for it on the terminal without showing it. The platform\n"
     "defaults to the one signed in, else Desktop on Windows and CLI\n"
     "elsewhere (Desktop exists only on Windows). Changes nothing when all\n"
     "is as it would leave it. Exit 0 when signed in, 1 when Sign in failed\n"
     "or another Sign in or Reset was running (the next line says which\n"
     "file and why), 3 when the key was refused.\n"},
    {"reset", "",
     "Undoes Sign in and gives your own configuration back. Asks first;\n"
     "where there is no terminal to ask on, --yes is required. Exit 0\n"
     "when done or when there was nothing to undo, 1 when not confirmed,\n"
     "when another Sign in or Reset was running, or when a file could not\n"
     "be given back (its copy is kept for the next Reset).\n"},
    {"doctor", "",
     "Checks, one line each, that the Codex client will really work, as the\n"
     "client resolves things: the folder it reads, Sign in, config.toml and\n"
     "its provider, the key each way of running it sends, a .env that\n"
     "overrides them, the proxy it uses, the client on PATH (and its own\n"
     "doctor) and, unless --offline, the service itself, asked with each\n"
     "key. Each line starts with ok, warn, fail or skip and says what to do\n"
     "where something is wrong; nothing is changed. Exit 0 when no check\n"
     "failed, 1 when one did.\n"},
    {"help", " [COMMAND]", "This help, or the part of it for one command.\n"},
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
    "changes nothing; it names an argument by its place, never repeating it.\n";

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

}  // namespace

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

namespace {

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

}  // namespace

bool looks_like_key(const std::string& word) {
  if (word.compare(0, 3, "sk-") == 0) return true;
  const std::size_t long_enough = 20;
  bool letter = false, digit = false;
  for (const char c : word) {
    if (c <= ' ' || c == '.' || c == '/' || c == '\\') return false;
    letter = letter || std::isalpha(static_cast<unsigned char>(c));
    digit = digit || std::isdigit(static_cast<unsigned char>(c));
  }
  return word.size() >= long_enough && letter && digit;
}

namespace {

// "argument 2": what a usage error calls an argument, which is never
// repeated, as it may be a key that would land in logs.
std::string argument_at(std::size_t index) {
  return "argument " + std::to_string(index + 1);
}

// A line for each argument, or value after "=", that looks like a key.
std::string key_advice(const std::vector<std::string>& arguments) {
  std::string advice;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    const std::size_t equals = word.compare(0, 1, "-") == 0 ? word.find('=') : std::string::npos;
    if (!looks_like_key(word) &&
        (equals == std::string::npos || !looks_like_key(word.substr(equals + 1))))
      continue;
    advice += "\n" + argument_at(i) +
              " looks like a key. The key never goes on the command line, where shell history "
              "and process lists keep it: give it with --key-file PATH or on standard input.";
  }
  return advice;
}

bool parse_words(const std::vector<std::string>& arguments, command_line& line,
                 std::string& problem) {
  const auto refuse = [&problem](const std::string& why) {
    problem = why;
    return false;
  };
  std::vector<const option_rule*> given;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string word = arguments[i];
    if (word.compare(0, 1, "-") != 0) {
      if (line.command.empty()) {
        if (!find_command(word)) return refuse(argument_at(i) + " is not a command");
        line.command = word;
      } else if (line.command == "help" && line.topic.empty()) {
        if (!find_command(word)) return refuse(argument_at(i) + " is not a command");
        line.topic = word;
      } else {
        return refuse(argument_at(i) +
                      " was not expected: one command at a time, with its options");
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
    if (!option) return refuse(argument_at(i) + " is not an option");
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
    // The argument that holds the path, so that a failure can name it.
    if (std::string(option->name) == "--key-file") line.key_file_argument = i + 1;
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

}  // namespace

bool parse(const std::vector<std::string>& arguments, command_line& line, std::string& problem) {
  if (parse_words(arguments, line, problem)) return true;
  problem += key_advice(arguments);
  return false;
}

std::string usage_of(const std::string& command) {
  const command_rule* topic = find_command(command);
  if (!topic) return usage();
  return "Usage: morvanectl [--lang vi|en] " + synopsis(*topic) + "\n\n" + description(*topic);
}
