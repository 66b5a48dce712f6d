#pragma once
// A seam for the tests, not part of the host's interface: each host honours
// it in its file writes, and nothing in the programs calls it.
#include <cstddef>

// Makes the next file writes stop after this many bytes, as a full disk
// would. SIZE_MAX (the start value) means no fault.
void inject_write_fault_after(std::size_t bytes_written);
