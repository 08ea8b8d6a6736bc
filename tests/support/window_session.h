// Test helpers over whichever user32 the build has: our own on the headless
// display (Linux) or the system's (Windows, under Wine in CI). Every test
// starts with no windows of its own and an empty queue; a window class whose
// procedure records every message it receives, in order; and a way to let
// time pass for timers: on the virtual clock here, for real on Windows; and
// keyboard and mouse input as the user gives it.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/kernel32.h"
#include "platform/win32/user32.h"

struct LoggedMessage {
  HWND window;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};

class WindowSession : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// Every message the logging procedure has seen since the last clear.
std::vector<LoggedMessage>& message_log();
void clear_message_log();
// The message ids in the log, optionally only those of one window and
// without the ones listed in `ignored`.
std::vector<UINT> logged_ids(HWND window = nullptr, std::vector<UINT> ignored = {});
bool log_contains(HWND window, UINT message);

// Records the message and passes it to DefWindowProcW.
LRESULT logging_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// Registers "LoggingWindow" (CS_DBLCLKS, white background, arrow cursor) once per test.
void register_logging_class();
inline constexpr const char16_t* LOGGING_CLASS = u"LoggingWindow";
// Notes a class the session must unregister when the test ends.
void session_class_registered(LPCWSTR name);
// Registers a class of the test's own; the session unregisters it (and
// destroys its windows) when the test ends.
ATOM register_test_class(LPCWSTR name, WNDPROC procedure, HBRUSH background = nullptr);

// A visible captioned top-level window of the logging class, client size given.
HWND create_logging_window(int client_width = 200, int client_height = 100, DWORD extra_style = 0);
HWND create_logging_child(HWND parent, int x, int y, int width, int height, int id = 1, DWORD extra_style = 0);

// A logging window made the foreground window with the focus, painted, its
// messages so far served and the log cleared: input reaches it.
HWND create_foreground_window(int client_width = 200, int client_height = 100);
// The handle of a window that was destroyed: one that names no window. (An
// arbitrary small number may name one: Wine matches a handle without its
// generation bits to whatever object holds that slot.)
HWND gone_window_handle();

// Takes and dispatches every message ready now; returns how many.
int pump_messages();
// The same, for one window's messages if `filter` is given, returning the
// ids taken in order (100 at most).
std::vector<UINT> take_all(HWND filter = nullptr);

// Lets at least `milliseconds` pass for the thread's timers. Here the virtual
// clock moves on exactly that far; on Windows the thread sleeps a little
// longer, as timers there fall due on the system's tick.
void let_time_pass(DWORD milliseconds);

// Input as the user's keyboard and mouse give it: the headless display's input
// here, SendInput on Windows. It reaches the thread of the foreground window,
// so `window` must be the active top-level window; the key goes to the focus
// window, the mouse to the window under the pointer (or the capture).
void inject_key(HWND window, UINT virtual_key, bool down);
// Moves the pointer to a point of the window's client area.
void inject_mouse_move(HWND window, POINT client_point);

// Answers the next menu loop of `window` as the user would: the first popup
// opened, `downs` more presses of Down and Return choose the item `id`; with
// downs -1 the menu is closed with Escape. The headless display takes it as a
// scripted answer; on Windows the keys are typed from inside the loop (a timer
// fires there).
void choose_in_next_menu(HWND window, int downs, UINT id);
