// The desktop program on the GTK backend (needs a display; run it under
// tests/desktop/with_display.sh): the time from start-up to the first painted
// window, the time of a tick plus its repaint on screen, and the peak memory.
//
// Baselines: first window 200 ms, tick + repaint 3 ms, peak memory 80 MB; each
// figure is printed with its ratio to the baseline (below 1 meets it).
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/loader.h"
#include "app/shell.h"
#include "platform/backend/gtk/gtk_backend.h"
#include "platform/backend/gtk/gtk_internal.h"
#include "platform/win32/user32.h"
#include "runtime/core/startup.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/window.h"

namespace {

constexpr double FIRST_WINDOW_BASELINE_MS = 200.0;
constexpr double TICK_BASELINE_MS = 3.0;
constexpr double PEAK_BASELINE_MB = 80.0;
constexpr int TICKS = 30;

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point begin) {
  return std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
}

int draws = 0;
gboolean count_draw(GtkWidget*, cairo_t*, gpointer) {
  ++draws;
  return FALSE;
}

// Dispatches user32's messages and GTK's events until the canvas was drawn on screen again.
bool pump_until_drawn(int draws_before) {
  const auto end = Clock::now() + std::chrono::seconds(5);
  while (draws == draws_before && Clock::now() < end) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    // Drawn at once rather than at the next frame of the display's clock:
    // the figure is the work, not the wait for the frame.
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gdk_window_process_all_updates();
    G_GNUC_END_IGNORE_DEPRECATIONS
    if (draws == draws_before && !g_main_context_iteration(nullptr, FALSE)) g_usleep(100);
  }
  return draws > draws_before;
}

void report(const char* what, double value, const char* unit, double baseline) {
  std::printf("%-28s %8.2f %s  (baseline %.0f %s, ratio %.3f)\n", what, value, unit, baseline, unit, value / baseline);
}

}  // namespace

int main() {
  const std::u16string fern = u"" IFS_SOURCE_DIR_U16 "/examples/fern.ifs";
  const auto start = Clock::now();
  const DisplayBackend* gtk = gtk_backend_open();
  if (!gtk) {
    std::fprintf(stderr, "desktop_bench: no display (run it under tests/desktop/with_display.sh)\n");
    return 69;
  }
  backend_select(gtk);
  if (!program_begin() || !shell_start_with(fern)) return 1;
  GtkTopLevel* record = gtk_top_level(window_handle(APP_WINDOW));
  if (!record) return 1;
  g_signal_connect_after(record->area, "draw", G_CALLBACK(count_draw), nullptr);
  if (!pump_until_drawn(0)) {
    std::fprintf(stderr, "desktop_bench: the window was never drawn\n");
    return 1;
  }
  const double first_window = ms_since(start);

  std::vector<double> ticks, batches;
  for (int i = 0; i < TICKS; ++i) {
    const int before = draws;
    const auto tick_start = Clock::now();
    shell_dispatch(EVENT_TIMER);
    batches.push_back(ms_since(tick_start));
    if (!pump_until_drawn(before)) {
      std::fprintf(stderr, "desktop_bench: tick %d was never shown\n", i + 1);
      return 1;
    }
    ticks.push_back(ms_since(tick_start));
  }
  program_end();
  std::sort(ticks.begin(), ticks.end());
  std::sort(batches.begin(), batches.end());
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);

  report("start to first painted window", first_window, "ms", FIRST_WINDOW_BASELINE_MS);
  report("tick + repaint (median)", ticks[ticks.size() / 2], "ms", TICK_BASELINE_MS);
  std::printf("%-28s %8.2f ms  (the batch of points alone, median)\n", "of which the batch", batches[batches.size() / 2]);
  report("tick + repaint (slowest)", ticks.back(), "ms", TICK_BASELINE_MS);
  report("peak memory", static_cast<double>(usage.ru_maxrss) / 1024.0, "MB", PEAK_BASELINE_MB);
  return 0;
}
