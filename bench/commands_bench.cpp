// Times Sign in and Reset as the window runs them, with every message box
// answered at once, and splits each into the change broadcasts and the rest
// (files and registry). Runs under Wine in the bench's own prefix.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "commands.h"
#include "host.h"
#include "status.h"
#include "window_commands.h"
#include "window_port.h"

namespace {

// A window whose boxes are answered Yes/OK at once and whose key field
// always holds the same key.
class answering_window : public window_port {
 public:
  wide key_text() override { return u"sk-bench-0123456789abcdef"; }
  void set_key_text(const wide&) override {}
  void hide_key() override {}
  int message_box(const wide&, const wide&, unsigned) override { return box_answer_yes; }
  void request_repaint() override {}
};

constexpr int iterations = 41;

template <typename Step>
double median_ms(Step step) {
  std::vector<double> times;
  for (int i = 0; i < iterations; ++i) {
    const auto start = std::chrono::steady_clock::now();
    step();
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// Each command below announces the environment change twice: once after
// clearing the proxy variables and once after setting or deleting the key.
constexpr int broadcasts_per_command = 2;

void report(const char* name, double total, double broadcast) {
  const double rest = total - broadcasts_per_command * broadcast;
  std::printf("%-28s %9.3f ms   broadcasts %7.3f ms   files+registry %7.3f ms\n", name, total,
              broadcasts_per_command * broadcast, rest);
}

}  // namespace

int main() {
  answering_window window;
  set_window_port(&window);

  const double broadcast = median_ms([] { broadcast_environment_change(); });
  const double proxies = median_ms([] { clear_proxy_settings(); });
  const double sign_in_app = median_ms([] {
    selected_mode = platform::desktop;
    apply_key();
  });
  const double sign_in_cli = median_ms([] {
    selected_mode = platform::cli;
    apply_key();
  });
  // Each Reset undoes a fresh Desktop Sign in, whose time is left out.
  std::vector<double> resets;
  for (int i = 0; i < iterations; ++i) {
    selected_mode = platform::desktop;
    apply_key();
    const auto start = std::chrono::steady_clock::now();
    reset_configuration();
    resets.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(resets.begin(), resets.end());
  const double reset = resets[resets.size() / 2];

  std::printf("commands under Wine (median of %d runs)\n", iterations);
  std::printf("%-28s %9.3f ms\n", "broadcast_environment_change", broadcast);
  std::printf("%-28s %9.3f ms   (one broadcast, 8 deletes, proxy switch-off)\n",
              "clear_proxy_settings", proxies);
  report("apply_key Desktop", sign_in_app, broadcast);
  report("apply_key CLI", sign_in_cli, broadcast);
  report("reset_configuration", reset, broadcast);
  set_window_port(nullptr);
  return 0;
}
