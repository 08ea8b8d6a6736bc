// Timers. A timer that falls due yields one WM_TIMER when the queue has
// nothing else to give; however late it is served, it then starts a new
// interval from that moment, so missed ticks are not made up.
#include <algorithm>
#include <vector>

#include "platform/win32/kernel32.h"
#include "platform/user32/user32_internal.h"

namespace {

constexpr UINT USER_TIMER_MINIMUM = 10;
constexpr UINT USER_TIMER_MAXIMUM = 0x7FFFFFFF;

struct Timer {
  HWND window;
  UINT_PTR id;
  UINT interval;
  TIMERPROC callback;
  BackendTime due;
};

std::vector<Timer>& timers() {
  static std::vector<Timer> list;
  return list;
}

UINT_PTR next_thread_timer_id = 1;

Timer* find(HWND window, UINT_PTR id) {
  for (Timer& timer : timers())
    if (timer.window == window && timer.id == id) return &timer;
  return nullptr;
}

}  // namespace

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse_ms, TIMERPROC callback) {
  if (window && !IsWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  UINT interval = std::clamp(elapse_ms, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  BackendTime due = backend_current()->now() + interval;
  // A thread timer (no window) gets a new id unless it names an existing one.
  if (!window && !find(nullptr, id)) id = next_thread_timer_id++;
  if (Timer* existing = find(window, id)) {
    *existing = Timer{window, id, interval, callback, due};
  } else {
    timers().push_back(Timer{window, id, interval, callback, due});
  }
  return id ? id : 1;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
  auto& list = timers();
  auto found = std::find_if(list.begin(), list.end(), [&](const Timer& t) { return t.window == window && t.id == id; });
  if (found == list.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  list.erase(found);
  return TRUE;
}

bool timer_take_due(HWND filter, UINT first, UINT last, bool remove, MSG* message) {
  BackendTime now = backend_current()->now();
  Timer* chosen = nullptr;
  for (Timer& timer : timers()) {
    if (timer.due > now || !queue_filter_matches(timer.window, WM_TIMER, filter, first, last)) continue;
    if (!chosen || timer.due < chosen->due) chosen = &timer;
  }
  if (!chosen) return false;
  *message = MSG{chosen->window, WM_TIMER, chosen->id, reinterpret_cast<LPARAM>(chosen->callback),
                 static_cast<DWORD>(now), cursor_position()};
  if (remove) chosen->due = now + chosen->interval;
  return true;
}

BackendTime timer_next_due() {
  BackendTime next = BACKEND_NO_DEADLINE;
  for (const Timer& timer : timers()) next = std::min(next, timer.due);
  return next;
}

void timer_kill_window(HWND window) {
  std::erase_if(timers(), [window](const Timer& t) { return t.window == window; });
}

bool timer_is_callback(HWND window, UINT_PTR id, TIMERPROC callback) {
  Timer* timer = find(window, id);
  return timer && timer->callback == callback;
}

void timer_reset() {
  timers().clear();
  next_thread_timer_id = 1;
}

BackendTime input_next_timer_due() { return timer_next_due(); }
