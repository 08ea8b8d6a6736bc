// The window session on the system's user32. Classes and windows outlive a
// test there, so the session destroys the windows of the classes the test
// registered, releases the keys it left down, empties the queue and
// unregisters the classes. Input goes through SendInput.
#ifdef _WIN32
#include <string>

#include "support/window_session.h"

// SendInput's records, declared here as the program's headers do not carry
// them; the layout is Windows' (the union aligned for its pointer-sized field).
struct KeyboardRecord {
  WORD virtual_key;
  WORD scan_code;
  DWORD flags;
  DWORD time;
  ULONG_PTR extra;
};
struct MouseRecord {
  LONG dx;
  LONG dy;
  DWORD data;
  DWORD flags;
  DWORD time;
  ULONG_PTR extra;
};
struct InputRecord {
  DWORD type;
  union {
    MouseRecord mouse;
    KeyboardRecord keyboard;
  };
};
static_assert(sizeof(void*) != 8 || sizeof(InputRecord) == 40, "the size of Windows' 64-bit INPUT");
extern "C" UINT SendInput(UINT count, InputRecord* inputs, int size);
extern "C" UINT MapVirtualKeyW(UINT code, UINT map_type);

namespace {

constexpr DWORD INPUT_RECORD_MOUSE = 0, INPUT_RECORD_KEYBOARD = 1;
constexpr DWORD KEY_UP = 0x0002, MOUSE_MOVE = 0x0001, MOUSE_ABSOLUTE = 0x8000;
constexpr UINT VIRTUAL_KEY_TO_SCAN_CODE = 0;

std::vector<std::u16string> session_classes;
// Keys a test pressed and did not release: the system keeps them down for the
// next test unless the session lets them go.
std::vector<UINT> held_keys;

void send_key(UINT virtual_key, bool down) {
  InputRecord input{};
  input.type = INPUT_RECORD_KEYBOARD;
  input.keyboard.virtual_key = static_cast<WORD>(virtual_key);
  input.keyboard.scan_code = static_cast<WORD>(MapVirtualKeyW(virtual_key, VIRTUAL_KEY_TO_SCAN_CODE));
  input.keyboard.flags = down ? 0 : KEY_UP;
  SendInput(1, &input, sizeof input);
}

// Absolute mouse positions are given in 65536 steps across the screen; the
// middle of the pixel's step lands on it whether the system scales by the
// width or by the width less one.
LONG normalised(LONG pixel, int extent) {
  return static_cast<LONG>((2 * static_cast<long long>(pixel) + 1) * 65536 / (2 * static_cast<long long>(extent)));
}

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
  empty_the_queue();
  clear_message_log();
}

void WindowSession::TearDown() {
  for (UINT key : held_keys) send_key(key, false);
  held_keys.clear();
  destroy_session_windows();
  empty_the_queue();
  for (const std::u16string& name : session_classes) UnregisterClassW(name.c_str(), nullptr);
  session_classes.clear();
  clear_message_log();
}

void session_class_registered(LPCWSTR name) { session_classes.emplace_back(name); }

// Timers there fall due on the system's tick (about 16 ms): wait two more.
void let_time_pass(DWORD milliseconds) { Sleep(milliseconds + 32); }

// Wine queues the messages before SendInput returns, as the tests expect.
// (Windows' raw input thread may take a moment longer.)
void inject_key(HWND, UINT virtual_key, bool down) {
  send_key(virtual_key, down);
  std::erase(held_keys, virtual_key);
  if (down) held_keys.push_back(virtual_key);
}

void inject_mouse_move(HWND window, POINT client_point) {
  POINT screen = client_point;
  ClientToScreen(window, &screen);
  InputRecord input{};
  input.type = INPUT_RECORD_MOUSE;
  input.mouse.dx = normalised(screen.x, GetSystemMetrics(SM_CXSCREEN));
  input.mouse.dy = normalised(screen.y, GetSystemMetrics(SM_CYSCREEN));
  input.mouse.flags = MOUSE_MOVE | MOUSE_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

namespace {

std::vector<UINT> menu_keys;

void type_menu_keys(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  for (UINT key : menu_keys) {
    send_key(key, true);
    send_key(key, false);
  }
  menu_keys.clear();
}

}  // namespace

void choose_in_next_menu(HWND, int downs, UINT) {
  menu_keys.clear();
  if (downs < 0) {
    menu_keys.push_back(VK_ESCAPE);
  } else {
    menu_keys.push_back(VK_DOWN);  // opens the first popup on its first item
    for (int i = 0; i < downs; ++i) menu_keys.push_back(VK_DOWN);
    menu_keys.push_back(VK_RETURN);
  }
  SetTimer(nullptr, 0, 100, type_menu_keys);
}
#endif
