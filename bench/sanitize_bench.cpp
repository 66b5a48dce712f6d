// Throughput of the Desktop filter against the cheapest pass over the same
// bytes: a line-by-line copy with memchr into a reserved string. Both run on
// the same generated configs in the same process; the ratio is what counts.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "codex_files.h"
#include "config_files.h"

namespace {

// One block of a lived-in config.toml: kept and dropped tables, comments,
// notify arrays and instructions over several lines, reasoning-effort
// lines and a share of CR LF line ends.
bytes config_block(unsigned n) {
  const bytes crlf = n % 3 == 0 ? "\r\n" : "\n";
  const bytes id = std::to_string(n);
  bytes block;
  block += "# settings group " + id + crlf;
  block += "model = \"gpt-5\"" + crlf;
  block += "model_reasoning_effort = \"high\"" + crlf;
  block += "notify = [" + crlf + "  \"C:\\\\Tools\\\\notify.exe\"," + crlf + "]" + crlf;
  block += "approval_policy = \"on-request\"" + crlf;
  block += "developer_instructions = \"\"\"" + crlf + "Answer briefly. # not a comment" + crlf +
           "Use [brackets] as they stand." + crlf + "\"\"\"" + crlf + crlf;
  block += "[mcp_servers.server" + id + "]" + crlf;
  block += "command = \"npx\"" + crlf;
  block += "args = [\"-y\", \"@example/server-" + id + "\"]" + crlf;
  block += "# tokens live in the environment" + crlf + crlf;
  block += "[projects.\"C:\\\\Users\\\\me\\\\work" + id + "\"]" + crlf;
  block += "trust_level = \"trusted\"" + crlf + crlf;
  block += "  [plugins.tool" + id + "]" + crlf;
  block += "enabled = true" + crlf;
  block += "[model_providers.p" + id + "]" + crlf;
  block += "name = \"Provider " + id + "\"" + crlf;
  block += "base_url = \"https://example.test/v1\"" + crlf;
  block += "stream_idle_timeout_ms = 90000" + crlf + crlf;
  block += "[marketplaces.m" + id + "]" + crlf;
  block += "url = \"https://example.test/m\"" + crlf + crlf;
  block += "[agents.subagent" + id + "]" + crlf;
  block += "    model_reasoning_effort = \"medium\"   " + crlf;
  block += "model = \"gpt-5.4-mini\"" + crlf + crlf;
  return block;
}

bytes generate_config(std::size_t size) {
  bytes text;
  for (unsigned n = 0; text.size() < size; ++n) text += config_block(n);
  text.resize(size);
  return text;
}

// The floor: every line found with memchr and appended with its line feed.
bytes copy_lines(const bytes& text) {
  bytes out;
  out.reserve(text.size());
  const char* at = text.data();
  const char* const end = at + text.size();
  while (at < end) {
    const char* feed = static_cast<const char*>(std::memchr(at, '\n', end - at));
    const char* line_end = feed ? feed : end;
    out.append(at, line_end - at);
    out += '\n';
    at = line_end + 1;
  }
  return out;
}

volatile std::size_t sink;

using clock_type = std::chrono::steady_clock;

// Calls per trial so that one trial of the copy runs for about 10 ms.
std::size_t calls_per_trial(const bytes& text) {
  std::size_t calls = 1;
  for (;;) {
    const auto start = clock_type::now();
    for (std::size_t i = 0; i < calls; ++i) sink = copy_lines(text).size();
    if (clock_type::now() - start > std::chrono::milliseconds(10) || calls > (1u << 24))
      return calls;
    calls *= 2;
  }
}

template <typename Pass>
double ns_per_call(const bytes& text, std::size_t calls, Pass pass) {
  const auto start = clock_type::now();
  for (std::size_t i = 0; i < calls; ++i) sink = pass(text).size();
  return std::chrono::duration<double, std::nano>(clock_type::now() - start).count() / calls;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct timing {
  double filter_ns;
  double copy_ns;
};

// Trials of the two passes alternate, so a busy machine slows both alike.
timing measure(const bytes& text) {
  const std::size_t calls = calls_per_trial(text);
  std::vector<double> filter, copy;
  for (int trial = 0; trial < 21; ++trial) {
    copy.push_back(ns_per_call(text, calls, copy_lines));
    filter.push_back(ns_per_call(text, calls, sanitize_desktop_config));
  }
  return {median(filter), median(copy)};
}

}  // namespace

int main() {
  std::printf(
      "sanitizer throughput (median of 21 interleaved trials; baseline = memchr line copy)\n");
  std::printf("%8s %12s %12s %12s %12s %8s\n", "size", "filter MB/s", "copy MB/s", "filter ns/B",
              "copy ns/B", "ratio");
  const std::size_t sizes[] = {4 << 10, 64 << 10, 1 << 20, 4 << 20};
  const char* labels[] = {"4 KiB", "64 KiB", "1 MiB", "4 MiB"};
  double worst = 0;
  for (int i = 0; i < 4; ++i) {
    const bytes text = generate_config(sizes[i]);
    const timing t = measure(text);
    const double filter_ns = t.filter_ns;
    const double copy_ns = t.copy_ns;
    const double n = static_cast<double>(text.size());
    const double ratio = filter_ns / copy_ns;
    worst = std::max(worst, ratio);
    std::printf("%8s %12.0f %12.0f %12.3f %12.3f %7.2fx\n", labels[i], n / filter_ns * 1e3,
                n / copy_ns * 1e3, filter_ns / n, copy_ns / n, ratio);
  }
  std::printf("worst ratio filter/copy: %.2fx (target <= 2x)\n", worst);
  return 0;
}
