// The message queue where the headless display shows more than the API can:
// exact readings of the virtual clock while timers fall due, GetMessage waits
// and scripted input arrives.
#include "support/headless_session.h"

namespace {

using MessageQueueOnTheVirtualClock = HeadlessSession;

HWND painted_window() {
  HWND window = create_logging_window();
  pump_messages();
  clear_message_log();
  return window;
}

TEST_F(MessageQueueOnTheVirtualClock, TheNextTickComesOneIntervalAfterALateOneWasServed) {
  HWND window = painted_window();
  SetTimer(window, 123, 1500, nullptr);
  SetTimer(window, 124, 1500, nullptr);
  headless_advance_clock(1500 * 5);
  EXPECT_EQ(take_all(), (std::vector<UINT>{WM_TIMER, WM_TIMER}));
  headless_advance_clock(1499);
  MSG message;
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  headless_advance_clock(1);
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.wParam, 123u);
}

TEST_F(MessageQueueOnTheVirtualClock, SettingATimerAgainRestartsIt) {
  HWND window = painted_window();
  SetTimer(window, 9, 100, nullptr);
  headless_advance_clock(90);
  SetTimer(window, 9, 100, nullptr);  // the same id restarts with the new interval
  headless_advance_clock(90);
  MSG message;
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  headless_advance_clock(10);
  EXPECT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueOnTheVirtualClock, GetMessageWaitsExactlyUntilTheNextTimer) {
  HWND window = painted_window();
  SetTimer(window, 123, 1500, nullptr);
  BackendTime start = headless_now();
  MSG message;
  ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
  EXPECT_EQ(message.wParam, 123u);
  EXPECT_EQ(headless_now() - start, 1500u);
  EXPECT_EQ(static_cast<BackendTime>(message.time), headless_now() & 0xFFFFFFFF);
}

TEST_F(MessageQueueOnTheVirtualClock, GetMessageTakesScriptedInput) {
  HWND window = painted_window();
  headless_script_key_press(headless_now() + 300, window, 'Q', 0);
  BackendTime start = headless_now();
  MSG message;
  ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(message.wParam, static_cast<WPARAM>('Q'));
  EXPECT_EQ(headless_now() - start, 300u);
}

TEST_F(MessageQueueOnTheVirtualClock, WaitingTakesTheTimeoutOrNoTimeAtAll) {
  painted_window();
  BackendTime start = headless_now();
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 250, QS_ALLINPUT | QS_ALLPOSTMESSAGE), WAIT_TIMEOUT);
  EXPECT_EQ(headless_now() - start, 250u);
  PostMessageW(nullptr, WM_USER, 0, 0);
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 250, QS_ALLINPUT), WAIT_OBJECT_0);
  EXPECT_EQ(headless_now() - start, 250u);  // ready at once
}

}  // namespace
