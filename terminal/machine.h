#pragma once
// What the doctor asks of the machine beyond the engine's host: this
// process's environment and the machine-wide one, folders, WSL, and the
// Codex client on PATH. Defined once per platform: machine_posix.cpp and
// machine_win32.cpp. Nothing here changes anything.
#include "host.h"
#include "wide.h"

// Windows reads environment names and paths in any case (and paths with
// either slash); POSIX tells HTTP_PROXY from http_proxy. The ChatGPT
// desktop app, which takes the key from the user environment, exists only
// on Windows.
#ifdef _WIN32
constexpr bool names_ignore_case = true;
constexpr bool desktop_app_exists = true;
#else
constexpr bool names_ignore_case = false;
constexpr bool desktop_app_exists = false;
#endif

// A value of this process's environment: process_variable, in the
// engine's host.h.
// Sets it for this process and the programs it starts; false on failure.
bool set_process_variable(const wide& name, const wide& value);
// The folder this process started in, where relative paths lead from.
wide working_folder();

bool is_directory(const wide& path);
// Linux inside WSL, where the Windows programs read the Windows profile.
bool inside_wsl();

// The file PATH finds for a command name, as a shell would run it; empty
// when there is none.
wide find_on_path(const wide& name);

// What a program said on standard output; `ended` is false when it did not
// end within the time (it is then killed, with anything it started), and
// `answered` is true when it ended with exit code 0.
struct program_answer {
  bool ended = false;
  bool answered = false;
  bytes output;
};
// `arguments`: words separated by single spaces, none of them quoted.
program_answer ask_program(const wide& program, const char* arguments, unsigned milliseconds);
