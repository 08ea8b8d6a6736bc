// The headless display itself: its virtual clock, scripted input, what it
// knows of windows, and the seam's selection.
#include "support/headless_session.h"
#include "platform/backend/backend.h"

namespace {

using HeadlessBackend = HeadlessSession;

TEST_F(HeadlessBackend, IsTheBackendUnlessAnotherIsSelected) {
  EXPECT_EQ(backend_current(), backend_headless());
  EXPECT_STREQ(backend_current()->name, "headless");
  DisplayBackend other = *backend_headless();
  other.name = "other";
  backend_select(&other);
  EXPECT_STREQ(backend_current()->name, "other");
  backend_select(nullptr);
  EXPECT_EQ(backend_current(), backend_headless());
}

TEST_F(HeadlessBackend, ScreenAndMenuBarMetricsComeFromTheDisplay) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), backend_headless()->screen_size().cx);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), backend_headless()->screen_size().cy);
  EXPECT_EQ(GetSystemMetrics(SM_CYMENU), backend_headless()->menu_bar_height());
  EXPECT_GT(GetSystemMetrics(SM_CYMENU), 0);
}

TEST_F(HeadlessBackend, RunForFiresEachTimerAtItsOwnMoment) {
  HWND window = create_logging_window();
  pump_messages();
  SetTimer(window, 1, 1500, nullptr);
  SetTimer(window, 2, 1000, nullptr);
  clear_message_log();
  BackendTime start = headless_now();
  headless_run_for(3100);
  std::vector<WPARAM> order;
  for (const LoggedMessage& m : message_log())
    if (m.message == WM_TIMER) order.push_back(m.wparam);
  // Timer 2 at 1000, 2000, 3000; timer 1 at 1500, 3000.
  EXPECT_EQ(order, (std::vector<WPARAM>{2, 1, 2, 1, 2}));
  EXPECT_EQ(headless_now() - start, 3100u);
}

TEST_F(HeadlessBackend, ScriptedInputComesInTimeOrderOnePerWait) {
  HWND window = create_logging_window();
  pump_messages();
  BackendTime start = headless_now();
  headless_script_key_press(start + 200, window, 'B', 0);
  headless_script_key_press(start + 100, window, 'A', 0);
  headless_script_close_box(start + 300, window);
  MSG message;
  std::vector<WPARAM> keys;
  while (GetMessageW(&message, nullptr, 0, 0)) {
    if (message.message == WM_KEYDOWN) keys.push_back(message.wParam);
    if (message.message == WM_SYSCOMMAND) break;
    DispatchMessageW(&message);
  }
  EXPECT_EQ(keys, (std::vector<WPARAM>{'A', 'B'}));
  EXPECT_EQ(headless_now() - start, 300u);
}

TEST_F(HeadlessBackend, PeekingDoesNotMoveTheClock) {
  HWND window = create_logging_window();
  headless_script_key_press(headless_now() + 50, window, 'A', 0);
  BackendTime start = headless_now();
  pump_messages();
  EXPECT_EQ(headless_now(), start);
  MSG message;
  EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  headless_advance_clock(50);
  EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
}

TEST_F(HeadlessBackend, KnowsWindowsAsTheScreenShowsThem) {
  register_logging_class();
  HWND window = CreateWindowExW(0, LOGGING_CLASS, u"Shown", WS_CAPTION, 40, 50, 300, 200, nullptr, nullptr, nullptr,
                                nullptr);
  HeadlessWindowState state = headless_window_state(window);
  EXPECT_TRUE(state.exists);
  EXPECT_FALSE(state.visible);
  EXPECT_EQ(state.title, u"Shown");
  EXPECT_EQ(state.frame.left, 40);
  EXPECT_EQ(state.frame.right, 340);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  EXPECT_EQ(state.client.left, origin.x);
  EXPECT_EQ(state.client.top, origin.y);
  ShowWindow(window, SW_SHOW);
  EXPECT_TRUE(headless_window_state(window).visible);
  HWND child = create_logging_child(window, 0, 0, 10, 10);
  EXPECT_FALSE(headless_window_state(child).exists);  // children are not native windows
  DestroyWindow(window);
  EXPECT_FALSE(headless_window_state(window).exists);
  EXPECT_EQ(headless_foreground_window(), nullptr);
}

TEST_F(HeadlessBackend, ResetForgetsAnswersRecordsAndKeys) {
  BackendTime start = headless_now();
  headless_answer_message_box(IDCANCEL);
  HWND window = create_logging_window();
  headless_key(window, VK_SHIFT, TRUE);
  MessageBoxW(nullptr, u"a", u"b", MB_OKCANCEL);
  DestroyWindow(window);
  headless_advance_clock(5000);
  headless_answer_message_box(IDCANCEL);
  headless_reset();
  EXPECT_TRUE(headless_requesters_shown().empty());
  EXPECT_FALSE(headless_key_is_down(VK_SHIFT));
  EXPECT_EQ(MessageBoxW(nullptr, u"a", u"b", MB_OKCANCEL), IDOK);  // the queued answer is gone
  EXPECT_EQ(headless_now(), start);  // the clock is back at its start
}

TEST_F(HeadlessBackend, WaitingWithNothingToWaitForIsReported) {
  EXPECT_DEATH(
      {
        MSG message;
        GetMessageW(&message, nullptr, 0, 0);
      },
      "waits for input");
}

}  // namespace
