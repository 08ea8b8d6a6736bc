// Offscreen on Windows. The program's windows are the system's, but while
// offscreen they go on a desktop of their own, timers run on a virtual clock
// and message boxes are answered without being shown: offscreen_advance moves
// the clock on, and every timer that fell due is posted as WM_TIMER to its
// window, so the tick reaches the same window procedure, event queue and
// drawing as a real one, without waiting for real time.
#include <vector>

#include "platform/offscreen.h"
#include "platform/windows_build/system_user32.h"

namespace {

// Win32's values, which the program's headers do not need elsewhere.
constexpr UINT TIMER_MINIMUM_MS = 10;  // USER_TIMER_MINIMUM
constexpr UINT BOX_ABORT_RETRY_IGNORE = 2, BOX_YES_NO_CANCEL = 3, BOX_YES_NO = 4, BOX_RETRY_CANCEL = 5,
               BOX_CANCEL_TRY_CONTINUE = 6;

struct VirtualTimer {
  HWND window;
  UINT_PTR id;
  ULONGLONG interval;
  ULONGLONG due;
};

bool offscreen = false;
ULONGLONG virtual_now = 0;
std::vector<VirtualTimer> timers;
UINT_PTR next_thread_timer_id = 1;

// The id Windows gives back: the caller's for a window's timer, a fresh one otherwise.
UINT_PTR virtual_set_timer(HWND window, UINT_PTR id, UINT elapse_ms) {
  if (!window) id = next_thread_timer_id++;
  const ULONGLONG interval = elapse_ms < TIMER_MINIMUM_MS ? TIMER_MINIMUM_MS : elapse_ms;
  for (VirtualTimer& timer : timers) {
    if (timer.window == window && timer.id == id) {
      timer.interval = interval;
      timer.due = virtual_now + interval;
      return id;
    }
  }
  timers.push_back({window, id, interval, virtual_now + interval});
  return id == 0 ? 1 : id;
}

// The button a message box's first button answers.
int first_button(UINT type) {
  switch (type & MB_TYPEMASK) {
    case BOX_ABORT_RETRY_IGNORE: return IDABORT;
    case BOX_YES_NO_CANCEL:
    case BOX_YES_NO: return IDYES;
    case BOX_RETRY_CANCEL: return IDRETRY;
    case BOX_CANCEL_TRY_CONTINUE: return IDCANCEL;
    default: return IDOK;
  }
}

// The windows are shown, painted and sent every message as on the user's
// desktop, but never appear there. Where the desktop cannot be made, they go
// on the user's desktop, and the picture is the same.
void use_unseen_desktop() {
  constexpr DWORD ALL_ACCESS = 0x10000000;  // GENERIC_ALL
  static HANDLE desktop = CreateDesktopW(u"ifs-render-output", nullptr, nullptr, 0, ALL_ACCESS, nullptr);
  if (desktop) SetThreadDesktop(desktop);
}

void forget_timers() {
  virtual_now = 0;
  timers.clear();
}

}  // namespace

void offscreen_begin() {
  offscreen = true;
  use_unseen_desktop();
  forget_timers();
}

void offscreen_advance(DWORD milliseconds) {
  virtual_now += milliseconds;
  for (VirtualTimer& timer : timers) {
    if (timer.due > virtual_now) continue;
    // One pending WM_TIMER per timer, as Win32 keeps it.
    MSG pending;
    if (!PeekMessageW(&pending, timer.window, WM_TIMER, WM_TIMER, PM_NOREMOVE) || pending.wParam != timer.id)
      PostMessageW(timer.window, WM_TIMER, timer.id, 0);
    timer.due = virtual_now + timer.interval;
  }
}

void offscreen_end() {
  offscreen = false;
  forget_timers();
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse_ms, TIMERPROC callback) {
  if (!offscreen) return system_set_timer(window, id, elapse_ms, callback);
  return virtual_set_timer(window, id, elapse_ms);
}

BOOL KillTimer(HWND window, UINT_PTR id) {
  if (!offscreen) return system_kill_timer(window, id);
  for (auto timer = timers.begin(); timer != timers.end(); ++timer) {
    if (timer->window == window && timer->id == id) {
      timers.erase(timer);
      return TRUE;
    }
  }
  return FALSE;
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  if (!offscreen) return system_message_box(owner, text, caption, type);
  return first_button(type);
}
