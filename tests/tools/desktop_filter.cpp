// Runs the Desktop filter over files for the parser checks: each FILE is
// filtered into FILE.healed, byte for byte as the heal at start writes it.
//   desktop_filter FILE...
#include <fstream>
#include <iterator>

#include "codex_files.h"
#include "config_files.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    const bytes text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream out(std::string(argv[i]) + ".healed", std::ios::binary);
    const bytes healed = sanitize_desktop_config(text);
    out.write(healed.data(), static_cast<std::streamsize>(healed.size()));
    if (!in || !out) return 1;
  }
  return 0;
}
