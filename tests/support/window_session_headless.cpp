// The window session on our own user32 and the headless display: every test
// starts from nothing, on a fresh virtual clock.
#ifndef _WIN32
#include "platform/backend/headless/headless.h"
#include "platform/user32/user32_internal.h"
#include "support/window_session.h"

void WindowSession::SetUp() {
  user32_reset();
  headless_reset();
  clear_message_log();
}

void WindowSession::TearDown() {
  user32_reset();
  headless_reset();
  clear_message_log();
}

// user32_reset forgets every class.
void session_class_registered(LPCWSTR) {}

void let_time_pass(DWORD milliseconds) { headless_advance_clock(milliseconds); }

void inject_key(HWND window, UINT virtual_key, bool down) { headless_key(window, virtual_key, down ? TRUE : FALSE); }

void inject_mouse_move(HWND window, POINT client_point) { headless_mouse_move(window, client_point); }

void choose_in_next_menu(HWND, int downs, UINT id) {
  headless_answer_menu(downs < 0 ? HEADLESS_MENU_ESCAPED : static_cast<int>(id));
}
#endif
