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

// This process's environment: process_variable, in the engine's host.h.
// A value set for the whole machine (the machine environment in the
// registry; /etc/environment on Linux); empty when unset.
wide machine_variable(const wide& name);
// Where machine_variable looks, as the user would find it.
extern const char16_t machine_variables_place[];

bool is_directory(const wide& path);
// Linux inside WSL, where the Windows programs read the Windows profile.
bool inside_wsl();

// The file PATH finds for a command name, as a shell would run it; empty
// when there is none.
wide find_on_path(const wide& name);

// What a program said on standard output; `answered` is false when it did
// not end, with exit code 0, within the time (it is then killed, with
// anything it started).
struct program_answer {
  bool answered = false;
  bytes output;
};
program_answer ask_program(const wide& program, const char* argument, unsigned milliseconds);
