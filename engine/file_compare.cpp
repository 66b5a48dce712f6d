// Whole-file byte comparisons, read in chunks so that a file of any size
// is compared without being held in memory.
#include "host.h"
#include "input_file.h"

namespace {

constexpr std::size_t chunk_size = 65536;

}  // namespace

bool file_holds(const wide& path, const bytes& content) {
  input_file file(path);
  if (!file.is_open() || file.size() != content.size()) return false;
  bytes chunk(chunk_size, '\0');
  std::size_t compared = 0;
  for (;;) {
    const std::int64_t got = file.read_some(&chunk[0], chunk.size());
    if (got < 0) return false;
    if (got == 0) return compared == content.size();
    const std::size_t length = static_cast<std::size_t>(got);
    if (length > content.size() - compared) return false;  // the file grew meanwhile
    if (content.compare(compared, length, chunk, 0, length) != 0) return false;
    compared += length;
  }
}

bool same_file_content(const wide& first, const wide& second) {
  input_file a(first);
  input_file b(second);
  if (!a.is_open() || !b.is_open() || a.size() != b.size()) return false;
  bytes chunk_a(chunk_size, '\0');
  bytes chunk_b(chunk_size, '\0');
  for (;;) {
    const std::int64_t got = a.read_some(&chunk_a[0], chunk_a.size());
    if (got < 0 || b.read_some(&chunk_b[0], chunk_b.size()) != got) return false;
    if (got == 0) return true;
    const std::size_t length = static_cast<std::size_t>(got);
    if (chunk_a.compare(0, length, chunk_b, 0, length) != 0) return false;
  }
}
