#pragma once
// Seams for the tests, not part of the host's interface: every host honours
// them in its changes, and nothing in the programs calls them.
#include <cstddef>

// Makes the next file writes stop after this many bytes, as a full disk
// would. SIZE_MAX (the start value) means no fault.
void inject_write_fault_after(std::size_t bytes_written);
// Makes every sync of a written file fail, as a failing disk would.
void inject_sync_fault(bool failing);
// Lets this many more changes (a file or folder created, replaced or
// removed, a registry value set or deleted) happen and refuses every one
// after, as if the process had been killed just before it: what is done
// stays done, and nothing more reaches the disk or the registry. SIZE_MAX
// (the start value) refuses none. Also starts the count below afresh.
void stop_changes_after(std::size_t changes);
// Changes made, or refused, since the count was last started.
std::size_t changes_counted();
// Makes the next lock of a Codex home (POSIX) pause this long between
// opening its file and locking it, as a busy machine may.
void pause_next_lock_after_open(unsigned milliseconds);
// Makes the next this-many tries to put a file in its target's place meet a
// target that another program holds open (Windows), as an editor or a
// virus scan may for a moment.
void hold_targets_for(std::size_t tries);
// How long a command waits for another to let go of the Codex home: a few
// seconds, unless a test shortens it.
constexpr unsigned default_lock_patience = 5000;
void set_lock_patience(unsigned milliseconds);
