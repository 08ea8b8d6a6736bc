// Test helpers over the headless display: a fixture that starts every test
// with no windows, an empty queue and a fresh virtual clock, and a window
// class whose procedure records every message it receives, in order.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/backend/headless/headless.h"
#include "platform/win32/user32.h"

struct LoggedMessage {
  HWND window;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};

class HeadlessSession : public ::testing::Test {
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

// A visible captioned top-level window of the logging class, client size given.
HWND create_logging_window(int client_width = 200, int client_height = 100, DWORD extra_style = 0);
HWND create_logging_child(HWND parent, int x, int y, int width, int height, int id = 1, DWORD extra_style = 0);

// Takes and dispatches every message ready now; returns how many.
int pump_messages();
