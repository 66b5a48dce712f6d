// The file rules both hosts share, on top of their primitives: what a read
// loads, how a write replaces a file, whole-file comparisons, and the seams
// through which the tests make the disk fail or the process stop.
#include <atomic>
#include <cstdint>

#include "host.h"
#include "platform_files.h"
#include "write_faults.h"

namespace {

constexpr std::size_t chunk_size = 65536;

std::size_t write_fault_after = SIZE_MAX;
bool sync_fails = false;
std::size_t changes_allowed = SIZE_MAX;
std::size_t changes_seen = 0;
unsigned lock_patience_ms = default_lock_patience;
std::atomic<unsigned> lock_pause_ms{0};  // the tests take locks on other threads too
std::size_t held_tries = 0;

// Writes the bytes, the `written` before them counted against the test's
// write fault: a full disk cuts a file short, whatever the piece.
host_result write_piece(replacement_file& file, const char* data, std::size_t size,
                        std::size_t& written) {
  const std::size_t room = write_fault_after > written ? write_fault_after - written : 0;
  const std::size_t allowed = size < room ? size : room;
  if (allowed > 0) {
    const host_result put = file.write(data, allowed);
    if (!put) return put;
  }
  written += allowed;
  return allowed == size ? host_result() : host_failure(disk_full_error);
}

// The new file goes in place only once it is whole and on the disk.
host_result finish(replacement_file& file) {
  const host_result synced = file.sync();
  return synced ? file.commit() : synced;
}

}  // namespace

bool change_allowed() {
  ++changes_seen;
  return changes_seen <= changes_allowed;
}

bool sync_fault_injected() {
  return sync_fails;
}

void inject_write_fault_after(std::size_t bytes_written) {
  write_fault_after = bytes_written;
}

void inject_sync_fault(bool failing) {
  sync_fails = failing;
}

void stop_changes_after(std::size_t changes) {
  changes_allowed = changes;
  changes_seen = 0;
}

std::size_t changes_counted() {
  return changes_seen;
}

void set_lock_patience(unsigned milliseconds) {
  lock_patience_ms = milliseconds;
}

unsigned lock_patience() {
  return lock_patience_ms;
}

void pause_next_lock_after_open(unsigned milliseconds) {
  lock_pause_ms = milliseconds;
}

unsigned take_lock_pause() {
  return lock_pause_ms.exchange(0);
}

void hold_targets_for(std::size_t tries) {
  held_tries = tries;
}

bool target_held_by_test() {
  if (held_tries == 0) return false;
  --held_tries;
  return true;
}

wide codex_home() {
  return find_codex_home().path;
}

host_result delete_user_env(const wide& name, bool announce) {
  return set_user_env(name, wide(), announce);
}

bytes read_text_file(const wide& path) {
  return read_text_file_state(path).text;
}

text_file read_text_file_state(const wide& path) {
  text_file found;
  input_file file(path);
  if (!file.is_open()) {
    found.state = path_exists(path) ? text_file_state::unreadable : text_file_state::missing;
    return found;
  }
  if (file.size() > max_text_file_size) {
    found.state = text_file_state::too_large;
    return found;
  }
  found.state = text_file_state::read;
  if (file.size() == 0) return found;
  bytes content(static_cast<std::size_t>(file.size()), '\0');
  const std::int64_t got = file.read_some(&content[0], content.size());
  if (got <= 0) {
    found.state = text_file_state::unreadable;
    return found;
  }
  content.resize(static_cast<std::size_t>(got));
  if (starts_with_byte_order_mark(content)) content.erase(0, 3);
  found.text = content;
  return found;
}

host_result write_text_file(const wide& path, const bytes& content) {
  replacement_file file(path, wide());
  if (!file.opened()) return file.opened();
  std::size_t written = 0;
  const host_result put = write_piece(file, content.data(), content.size(), written);
  return put ? finish(file) : put;
}

// Read in chunks, so that a file of any size is copied without being held
// in memory.
host_result copy_file(const wide& from, const wide& to, bool fail_if_exists) {
  input_file source(from);
  if (!source.is_open()) return host_failure(source.error());
  if (fail_if_exists && path_exists(to)) return host_failure(exists_error);
  replacement_file file(to, from);
  if (!file.opened()) return file.opened();
  bytes chunk(chunk_size, '\0');
  std::size_t written = 0;
  for (;;) {
    const std::int64_t got = source.read_some(&chunk[0], chunk.size());
    if (got < 0) return host_failure(0);
    if (got == 0) return finish(file);
    const host_result put = write_piece(file, chunk.data(), static_cast<std::size_t>(got), written);
    if (!put) return put;
  }
}

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
