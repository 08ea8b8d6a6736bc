#include "support/window_session.h"

#include <algorithm>
#include <string>

namespace {
std::vector<LoggedMessage> log_entries;

// Messages of facilities our user32 does not have and the runtime does not
// handle: input method windows, accessibility, window icons, themed menu
// bars. Windows sends them among the others; the log leaves them out.
bool of_a_facility_we_lack(UINT message) {
  constexpr UINT GETOBJECT = 0x003D, GETICON = 0x007F, UAH_FIRST = 0x0090, UAH_LAST = 0x0095,
                 IME_SETCONTEXT = 0x0281, IME_NOTIFY = 0x0282;
  return message == GETOBJECT || message == GETICON || (message >= UAH_FIRST && message <= UAH_LAST) ||
         message == IME_SETCONTEXT || message == IME_NOTIFY;
}
}  // namespace

std::vector<LoggedMessage>& message_log() { return log_entries; }
void clear_message_log() { log_entries.clear(); }

std::vector<UINT> logged_ids(HWND window, std::vector<UINT> ignored) {
  std::vector<UINT> ids;
  for (const LoggedMessage& entry : log_entries) {
    if (window && entry.window != window) continue;
    if (std::find(ignored.begin(), ignored.end(), entry.message) != ignored.end()) continue;
    ids.push_back(entry.message);
  }
  return ids;
}

bool log_contains(HWND window, UINT message) {
  return std::any_of(log_entries.begin(), log_entries.end(),
                     [&](const LoggedMessage& e) { return e.window == window && e.message == message; });
}

LRESULT logging_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (!of_a_facility_we_lack(message)) log_entries.push_back(LoggedMessage{window, message, wparam, lparam});
  return DefWindowProcW(window, message, wparam, lparam);
}

void register_logging_class() {
  WNDCLASSW window_class{};
  window_class.style = CS_DBLCLKS;
  window_class.lpfnWndProc = logging_window_proc;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_WINDOW + 1));
  window_class.lpszClassName = LOGGING_CLASS;
  if (RegisterClassW(&window_class)) session_class_registered(LOGGING_CLASS);
}

ATOM register_test_class(LPCWSTR name, WNDPROC procedure, HBRUSH background) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = procedure;
  window_class.hbrBackground = background;
  window_class.lpszClassName = name;
  ATOM atom = RegisterClassW(&window_class);
  if (atom) session_class_registered(name);
  return atom;
}

HWND create_logging_window(int client_width, int client_height, DWORD extra_style) {
  register_logging_class();
  DWORD style = WS_CAPTION | WS_SYSMENU | extra_style;
  RECT rect{0, 0, client_width, client_height};
  AdjustWindowRectEx(&rect, style, FALSE, 0);
  return CreateWindowExW(0, LOGGING_CLASS, u"Logging", style | WS_VISIBLE, 100, 100, rect.right - rect.left,
                         rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr);
}

HWND create_logging_child(HWND parent, int x, int y, int width, int height, int id, DWORD extra_style) {
  register_logging_class();
  return CreateWindowExW(0, LOGGING_CLASS, nullptr, WS_CHILD | WS_VISIBLE | extra_style, x, y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<LONG_PTR>(id)), nullptr, nullptr);
}

HWND create_foreground_window(int client_width, int client_height) {
  HWND window = create_logging_window(client_width, client_height);
  SetForegroundWindow(window);
  SetFocus(window);
  pump_messages();
  clear_message_log();
  return window;
}

HWND gone_window_handle() {
  HWND window = create_logging_window();
  DestroyWindow(window);
  clear_message_log();
  return window;
}

std::vector<UINT> take_all(HWND filter) {
  std::vector<UINT> order;
  MSG message;
  while (order.size() < 100 && PeekMessageW(&message, filter, 0, 0, PM_REMOVE)) {
    order.push_back(message.message);
    DispatchMessageW(&message);
  }
  return order;
}

int pump_messages() {
  MSG message;
  int count = 0;
  while (count < 100000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
    ++count;
  }
  return count;
}
