// The thread's message queue. GetMessage and PeekMessage hand out posted
// messages first (sent messages never wait: procedures are called directly),
// then WM_QUIT, then input, then WM_PAINT, then WM_TIMER. WM_PAINT and
// WM_TIMER are not queued: they are made when nothing else is there, from the
// windows' update regions and the due timers, so each window has at most one
// pending WM_PAINT and each timer at most one pending WM_TIMER.
#include <deque>

#include "platform/backend/input.h"
#include "platform/win32/kernel32.h"
#include "platform/user32/user32_internal.h"

namespace {

struct QueueState {
  std::deque<MSG> posted;
  std::deque<MSG> input;
  bool quit = false;
  int quit_code = 0;
  MSG last{};
  // For GetQueueStatus's low word: the kinds queued since the last look, and
  // the kinds that were waiting at the last look.
  UINT added_since_look = 0;
  UINT waiting_at_look = 0;
  ULONGLONG serial = 0;  // messages queued so far
};

QueueState& queue() {
  static QueueState state;
  return state;
}

constexpr UINT POSTED_KINDS = QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;

UINT input_kind(UINT message) {
  if (message >= WM_KEYFIRST && message <= WM_KEYLAST) return QS_KEY;
  if (message == WM_MOUSEMOVE) return QS_MOUSEMOVE;
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) return QS_MOUSEBUTTON;
  return QS_POSTMESSAGE;
}

UINT waiting_kinds() {
  UINT kinds = 0;
  if (!queue().posted.empty() || queue().quit) kinds |= POSTED_KINDS;
  for (const MSG& m : queue().input) kinds |= input_kind(m.message);
  MSG probe;
  if (paint_find_pending(nullptr, &probe)) kinds |= QS_PAINT;
  if (timer_take_due(nullptr, 0, 0, false, &probe)) kinds |= QS_TIMER;
  return kinds;
}

// A look at the queue (GetQueueStatus for these kinds, or any PeekMessage or
// GetMessage) makes what waits now no longer new.
void note_look(UINT kinds) {
  queue().added_since_look &= ~kinds;
  queue().waiting_at_look = (queue().waiting_at_look & ~kinds) | (waiting_kinds() & kinds);
}

MSG make_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return MSG{window, message, wparam, lparam, queue_time_now(), cursor_position()};
}

bool take_from(std::deque<MSG>& list, HWND filter, UINT first, UINT last, bool remove, MSG* out) {
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (!queue_filter_matches(it->hwnd, it->message, filter, first, last)) continue;
    *out = *it;
    if (remove) list.erase(it);
    return true;
  }
  return false;
}

bool take_input(HWND filter, UINT first, UINT last, bool remove, MSG* out) {
  while (take_from(queue().input, filter, first, last, remove, out)) {
    if (!remove || input_on_retrieval(*out)) return true;
  }
  return false;
}

// One message without waiting, in the order Win32 hands them out.
bool take_message(MSG* out, HWND filter, UINT first, UINT last, UINT flags) {
  bool remove = (flags & PM_REMOVE) != 0;
  if (take_from(queue().posted, filter, first, last, remove, out)) return true;
  if (queue().quit) {
    *out = make_message(nullptr, WM_QUIT, static_cast<WPARAM>(queue().quit_code), 0);
    if (remove) queue().quit = false;
    return true;
  }
  if (take_input(filter, first, last, remove, out)) return true;
  if (queue_filter_matches(nullptr, WM_PAINT, nullptr, first, last) && paint_find_pending(filter, out)) {
    out->time = queue_time_now();
    out->pt = cursor_position();
    return true;
  }
  return timer_take_due(filter, first, last, remove, out);
}

bool retrieve(MSG* out, HWND filter, UINT first, UINT last, UINT flags) {
  bool taken = take_message(out, filter, first, last, flags);
  if (taken && (flags & PM_REMOVE)) queue().last = *out;
  note_look(~0u);
  return taken;
}

}  // namespace

DWORD queue_time_now() { return static_cast<DWORD>(backend_current()->now()); }

bool queue_filter_matches(HWND message_window, UINT message, HWND filter, UINT first, UINT last) {
  if (filter == reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1))) {
    if (message_window) return false;
  } else if (filter && message_window != filter && !IsChild(filter, message_window)) {
    return false;
  }
  if (first == 0 && last == 0) return true;
  return message >= first && message <= last;
}

void queue_post(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  queue().posted.push_back(make_message(window, message, wparam, lparam));
  queue().added_since_look |= POSTED_KINDS;
  ++queue().serial;
}

void queue_post_input(const MSG& message) {
  queue().input.push_back(message);
  queue().added_since_look |= input_kind(message.message);
  ++queue().serial;
}

ULONGLONG input_queue_serial() { return queue().serial; }

void queue_forget_window(HWND window) {
  auto drop = [window](std::deque<MSG>& list) { std::erase_if(list, [window](const MSG& m) { return m.hwnd == window; }); };
  drop(queue().posted);
  drop(queue().input);
}

bool queue_has_ready_message() {
  MSG message;
  return take_message(&message, nullptr, 0, 0, PM_NOREMOVE);
}

void queue_reset() {
  queue() = QueueState{};
}

BOOL PeekMessageW(LPMSG message, HWND window, UINT first, UINT last, UINT flags) {
  if (!message) return FALSE;
  const DisplayBackend* display = backend_current();
  display->wait_for_input(display->now());  // input the display has ready, without waiting
  return retrieve(message, window, first, last, flags) ? TRUE : FALSE;
}

BOOL GetMessageW(LPMSG message, HWND window, UINT first, UINT last) {
  if (!message) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  if (window && !IsWindow(window) && window != reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1))) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  const DisplayBackend* display = backend_current();
  while (!retrieve(message, window, first, last, PM_REMOVE)) display->wait_for_input(timer_next_due());
  return message->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WaitMessage() {
  const DisplayBackend* display = backend_current();
  while (!queue_has_ready_message()) display->wait_for_input(timer_next_due());
  return TRUE;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE*, BOOL, DWORD milliseconds, DWORD) {
  // Only the message queue can be waited on here.
  if (count != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  const DisplayBackend* display = backend_current();
  BackendTime end = milliseconds == INFINITE ? BACKEND_NO_DEADLINE : display->now() + milliseconds;
  for (;;) {
    display->wait_for_input(display->now());
    if (queue_has_ready_message()) return WAIT_OBJECT_0;
    if (display->now() >= end) return WAIT_TIMEOUT;
    BackendTime timer = timer_next_due();
    display->wait_for_input(timer < end ? timer : end);
  }
}

DWORD GetQueueStatus(UINT flags) {
  UINT waiting = waiting_kinds() & flags;
  UINT added = waiting & (queue().added_since_look | ~queue().waiting_at_look);
  note_look(flags);
  return MAKELONG(added, waiting);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (window == HWND_BROADCAST) {
    for (HWND top : window_top_levels()) queue_post(top, message, wparam, lparam);
    return TRUE;
  }
  if (window && !IsWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  queue_post(window, message, wparam, lparam);
  return TRUE;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return PostMessageW(window, message, wparam, lparam);
}

void PostQuitMessage(int exit_code) {
  queue().quit = true;
  queue().quit_code = exit_code;
  queue().added_since_look |= POSTED_KINDS;
  ++queue().serial;
}

LRESULT DispatchMessageW(const MSG* message) {
  if (!message) return 0;
  if (message->message == WM_TIMER && message->lParam) {
    auto callback = reinterpret_cast<TIMERPROC>(message->lParam);
    // Only a callback that a live timer was set with is called.
    if (!timer_is_callback(message->hwnd, message->wParam, callback)) return 0;
    callback(message->hwnd, WM_TIMER, message->wParam, message->time);
    return 0;
  }
  Window* window = window_from(message->hwnd);
  if (!window) {
    if (message->hwnd) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return CallWindowProcW(window->procedure, message->hwnd, message->message, message->wParam, message->lParam);
}

DWORD GetMessagePos() {
  const POINT& point = queue().last.pt;
  return static_cast<DWORD>(MAKELONG(point.x, point.y));
}

LONG GetMessageTime() { return static_cast<LONG>(queue().last.time); }
