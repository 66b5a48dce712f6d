// Tables carried from the tool's config into another: whatever the bytes,
// the other config's own text comes first, untouched, each carried table
// is whole, and carrying them again, or carrying what the written file
// holds beyond the target, gives the same file (a Reset stopped and run
// again writes the same bytes).
#include <cstddef>
#include <cstdint>

#include "added_tables.h"
#include "config_files.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const bytes input(reinterpret_cast<const char*>(data), size);
  // The client's additions, then after a NUL the config they are carried into.
  const std::size_t split = input.find('\0');
  const bytes config = cli_template + input.substr(0, split);
  const bytes target = split == bytes::npos ? bytes() : input.substr(split + 1);

  const std::vector<bytes> tables = added_tables(config, cli_template);
  for (const bytes& table : tables) {
    FUZZ_CHECK(!table.empty() && table.back() == '\n');
    FUZZ_CHECK(config.find(table.substr(0, table.size() - 1)) != bytes::npos);
  }
  const bytes carried = with_tables(target, tables);
  FUZZ_CHECK(carried.compare(0, target.size(), target) == 0);
  FUZZ_CHECK(with_tables(carried, tables) == carried);
  // The tables read back from the written file, relative to the target,
  // make the same file again.
  FUZZ_CHECK(with_tables(target, added_tables(carried, target)) == carried);
  return 0;
}
