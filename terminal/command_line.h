#pragma once
// morvanectl's command line: the options and commands it takes, read into
// one value, and the usage that tells them.
#include <cstddef>
#include <string>
#include <vector>

struct command_line {
  std::string command;  // "status", "sign-in", "reset", "doctor" or "help"
  std::string topic;    // the command that help is asked about
  std::string language;
  std::string platform;
  std::string key_file;
  std::size_t key_file_argument = 0;  // its place among the arguments, from 1
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
// Whether an argument could be an API key put on the command line by
// mistake: one that starts with "sk-", or a long word of letters and digits
// with no space, dot or slash, which no path or word of ours is.
bool looks_like_key(const std::string& word);
// The whole usage, or one command's part of it.
std::string usage();
std::string usage_of(const std::string& command);
