// Runs the Desktop filter, or Sign in and Reset, over files for the parser
// checks:
//   desktop_filter FILE...
//       each FILE filtered into FILE.healed, byte for byte as the heal at
//       start writes it;
//   desktop_filter --commands CASE...
//       each CASE a folder with the user's own.toml (or none), the tables
//       the client adds (added.toml) and the platform of the second Sign in
//       (platform): in two fresh homes, a CLI Sign in, then the client's
//       tables appended to the config it wrote, then the second Sign in
//       (its config into signin.toml) or a Reset (its config into
//       reset.toml, none when it leaves none); the config with the tables
//       added goes into before.toml.
#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <string>

#include "codex_files.h"
#include "commands.h"
#include "config_files.h"
#include "host.h"

namespace {

bool read_file(const std::string& path, bytes& text) {
  std::ifstream in(path, std::ios::binary);
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return bool(in) || in.eof();
}

bool write_file(const std::string& path, const bytes& text) {
  std::ofstream out(path, std::ios::binary);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return bool(out);
}

// A CLI Sign in in a fresh home, then the client's tables added to the
// config it wrote; the config's path, or none when that failed.
wide signed_in_with_tables(const std::string& home, const std::string& folder) {
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
  create_directory(from_utf8(home));
  create_directory(codex_home());
  const wide config = join_path(codex_home(), config_file_suffix);
  copy_file(from_utf8(folder + "/own.toml"), config, false);  // none when the user has none
  bytes added;
  const bool done =
      sign_in_with_key(u"sk-property-key-1", platform::cli).result == sign_in_result::done &&
      read_file(folder + "/added.toml", added) &&
      write_text_file(config, read_text_file(config) + added);
  return done ? config : wide();
}

bool keep_as(const wide& config, const std::string& path) {
  return bool(copy_file(config, from_utf8(path), false));
}

bool run_case(const std::string& folder) {
  bytes second;
  const wide config = signed_in_with_tables(folder + "/home-sign-in", folder);
  if (config.empty() || !read_file(folder + "/platform", second) ||
      !keep_as(config, folder + "/before.toml"))
    return false;
  const platform chosen = second == "cli" ? platform::cli : platform::desktop;
  if (sign_in_with_key(u"sk-property-key-2", chosen).result != sign_in_result::done ||
      !keep_as(config, folder + "/signin.toml"))
    return false;
  const wide reset_config = signed_in_with_tables(folder + "/home-reset", folder);
  if (reset_config.empty() || !reset_without_asking().complete()) return false;
  return !is_file(reset_config) || keep_as(reset_config, folder + "/reset.toml");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--commands") {
    for (int i = 2; i < argc; ++i) {
      if (!run_case(argv[i])) return 1;
    }
    return 0;
  }
  for (int i = 1; i < argc; ++i) {
    bytes text;
    if (!read_file(argv[i], text) ||
        !write_file(std::string(argv[i]) + ".healed", sanitize_desktop_config(text)))
      return 1;
  }
  return 0;
}
