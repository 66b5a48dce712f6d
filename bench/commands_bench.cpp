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

// The median time of `step`, each run after an untimed `prepare`.
template <typename Step, typename Prepare>
double median_ms(Step step, Prepare prepare) {
  std::vector<double> times;
  for (int i = 0; i < iterations; ++i) {
    prepare();
    const auto start = std::chrono::steady_clock::now();
    step();
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

template <typename Step>
double median_ms(Step step) {
  return median_ms(step, [] {});
}

void sign_in_for(platform chosen) {
  selected_mode = chosen;
  apply_key();
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
  // A Sign in that changes nothing is left out of the first two: each
  // follows one for the other platform.
  const double sign_in_app =
      median_ms([] { sign_in_for(platform::desktop); }, [] { sign_in_for(platform::cli); });
  const double sign_in_cli =
      median_ms([] { sign_in_for(platform::cli); }, [] { sign_in_for(platform::desktop); });
  const double sign_in_again = median_ms([] { sign_in_for(platform::desktop); });
  // Each Reset undoes a fresh Desktop Sign in, whose time is left out.
  const double reset =
      median_ms([] { reset_configuration(); }, [] { sign_in_for(platform::desktop); });
  const double reset_again = median_ms([] { reset_configuration(); });

  std::printf("commands under Wine (median of %d runs)\n", iterations);
  std::printf("%-28s %9.3f ms\n", "broadcast_environment_change", broadcast);
  std::printf("%-28s %9.3f ms   (one broadcast, 8 deletes, proxy switch-off)\n",
              "clear_proxy_settings", proxies);
  report("apply_key Desktop", sign_in_app, broadcast);
  report("apply_key CLI", sign_in_cli, broadcast);
  report("reset_configuration", reset, broadcast);
  std::printf("%-28s %9.3f ms   (nothing to change: no broadcast)\n", "apply_key again",
              sign_in_again);
  std::printf("%-28s %9.3f ms   (nothing to undo: no broadcast)\n", "reset_configuration again",
              reset_again);
  set_window_port(nullptr);
  return 0;
}
