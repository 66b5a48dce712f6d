#pragma once
// morvanectl's command line: the options and commands it takes, read into
// one value, and the usage that tells them.
#include <string>
#include <vector>

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

// Fills `line` from the arguments; false, with the reason in `problem`,
// when they are not a command line this program takes.
bool parse(const std::vector<std::string>& arguments, command_line& line, std::string& problem);
// The whole usage, or one command's part of it.
std::string usage();
std::string usage_of(const std::string& command);
