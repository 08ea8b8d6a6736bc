// The window session on the system's user32. Classes and windows outlive a
// test there, so the session destroys the windows of the classes the test
// registered, empties the queue and unregisters the classes.
#ifdef _WIN32
#include <string>

#include "platform/backend/backend.h"
#include "support/window_session.h"

namespace {

std::vector<std::u16string> session_classes;

// Any display selected sends the program's SetTimer and KillTimer to user32
// instead of the virtual clock of rendering without a display.
const DisplayBackend system_timers = [] {
  DisplayBackend display{};
  display.name = "system";
  return display;
}();

// Class names compare without case; the tests' names are ASCII.
std::u16string folded(std::u16string name) {
  for (char16_t& c : name)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return name;
}

bool of_a_session_class(HWND window) {
  WCHAR name[256];
  if (GetClassNameW(window, name, 256) == 0) return false;
  for (const std::u16string& known : session_classes)
    if (folded(name) == folded(known)) return true;
  return false;
}

BOOL collect_own_window(HWND window, LPARAM list) {
  if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() && of_a_session_class(window))
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

void destroy_session_windows() {
  std::vector<HWND> windows;
  EnumWindows(collect_own_window, reinterpret_cast<LPARAM>(&windows));
  for (HWND window : windows)
    if (IsWindow(window)) DestroyWindow(window);
}

void empty_the_queue() {
  MSG message;
  int taken = 0;
  while (taken++ < 100000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

}  // namespace

void WindowSession::SetUp() {
  backend_select(&system_timers);
  empty_the_queue();
  clear_message_log();
}

void WindowSession::TearDown() {
  destroy_session_windows();
  empty_the_queue();
  for (const std::u16string& name : session_classes) UnregisterClassW(name.c_str(), nullptr);
  session_classes.clear();
  clear_message_log();
}

void session_class_registered(LPCWSTR name) { session_classes.emplace_back(name); }

// Timers there fall due on the system's tick (about 16 ms): wait two more.
void let_time_pass(DWORD milliseconds) { Sleep(milliseconds + 32); }
#endif
