// Offscreen runs through the API alone, as the command line's renders use
// them (run against our user32 and, under Wine, the system's): a window's
// timer falls due when the virtual clock reaches it and not with real time,
// one WM_TIMER at most waits however far the clock moves, message boxes
// answer at once, and after the run timers run on the display's time again.
#include "platform/offscreen.h"
#include "support/window_session.h"

namespace {

using Offscreen = WindowSession;

// One run, begun before its first window as the renders begin it.
struct OffscreenRun {
  OffscreenRun() { offscreen_begin(); }
  ~OffscreenRun() { offscreen_end(); }
};

// A shown window with its first messages served and the log cleared.
HWND quiet_window() {
  HWND window = create_logging_window();
  pump_messages();
  clear_message_log();
  return window;
}

std::vector<WPARAM> timer_ids_waiting(HWND window) {
  std::vector<WPARAM> ids;
  MSG message;
  while (ids.size() < 20 && PeekMessageW(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE)) ids.push_back(message.wParam);
  return ids;
}

TEST_F(Offscreen, TimersFallDueOnTheVirtualClockAlone) {
  OffscreenRun run;
  HWND window = quiet_window();
  ASSERT_EQ(SetTimer(window, 123, 40, nullptr), 123u);
  Sleep(200);  // real time, five intervals of it: moves nothing here
  EXPECT_TRUE(timer_ids_waiting(window).empty());
  offscreen_advance(39);
  EXPECT_TRUE(timer_ids_waiting(window).empty());
  offscreen_advance(1);
  EXPECT_EQ(timer_ids_waiting(window), std::vector<WPARAM>{123});
  // Ten intervals with nobody taking the message: still only one waits.
  for (int step = 0; step < 10; ++step) offscreen_advance(40);
  EXPECT_EQ(timer_ids_waiting(window), std::vector<WPARAM>{123});
  // The timer reaches the window's procedure like a real one.
  offscreen_advance(40);
  pump_messages();
  EXPECT_TRUE(log_contains(window, WM_TIMER));
  ASSERT_TRUE(KillTimer(window, 123));
  offscreen_advance(400);
  EXPECT_TRUE(timer_ids_waiting(window).empty());
}

TEST_F(Offscreen, MessageBoxesAnswerWithTheirFirstButtonAtOnce) {
  OffscreenRun run;
  HWND window = quiet_window();
  EXPECT_EQ(MessageBoxW(window, u"Error read fern.ifs", u"Load IFS", MB_OK), IDOK);
  EXPECT_EQ(MessageBoxW(window, u"Replace it?", u"Save", MB_YESNO), IDYES);
  EXPECT_EQ(MessageBoxW(nullptr, u"Try again?", u"Save", MB_RETRYCANCEL), IDRETRY);
  EXPECT_TRUE(IsWindowEnabled(window));  // no modal box left holding it
}

TEST_F(Offscreen, AfterTheRunTimersKeepTheDisplaysTime) {
  {
    OffscreenRun run;
    HWND window = quiet_window();
    SetTimer(window, 1, 40, nullptr);
    offscreen_advance(40);
    DestroyWindow(window);
  }
  HWND window = quiet_window();
  ASSERT_EQ(SetTimer(window, 2, 40, nullptr), 2u);
  let_time_pass(40);
  EXPECT_EQ(timer_ids_waiting(window), std::vector<WPARAM>{2});
  KillTimer(window, 2);
}

}  // namespace
