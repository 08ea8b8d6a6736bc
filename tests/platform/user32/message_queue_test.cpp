// The order in which GetMessage hands out messages, timers, waiting, filters
// and WM_QUIT, through the API alone (run against our user32 and Windows').
#include <algorithm>

#include "support/window_session.h"

namespace {

using MessageQueue = WindowSession;

// A shown window with its first WM_PAINT already served.
HWND painted_window() {
  HWND window = create_logging_window();
  pump_messages();
  clear_message_log();
  return window;
}

TEST_F(MessageQueue, PostedThenPaintThenTimer) {
  HWND window = painted_window();
  SetTimer(window, 7, 50, nullptr);
  let_time_pass(50);
  InvalidateRect(window, nullptr, FALSE);
  PostMessageW(window, WM_USER + 1, 0, 0);
  PostMessageW(window, WM_USER + 2, 0, 0);
  std::vector<UINT> expected{WM_USER + 1, WM_USER + 2, WM_PAINT, WM_TIMER};
  EXPECT_EQ(take_all(), expected);
  KillTimer(window, 7);
}

TEST_F(MessageQueue, SentMessagesReachTheProcedureAtOnce) {
  HWND window = painted_window();
  PostMessageW(window, WM_USER + 1, 0, 0);
  EXPECT_EQ(SendMessageW(window, WM_USER + 2, 5, 6), 0);
  ASSERT_EQ(message_log().size(), 1u);
  EXPECT_EQ(message_log()[0].message, static_cast<UINT>(WM_USER + 2));
  EXPECT_EQ(message_log()[0].wparam, 5u);
  EXPECT_EQ(SendMessageW(gone_window_handle(), WM_USER, 0, 0), 0);
  EXPECT_EQ(GetLastError(), 1400u);  // ERROR_INVALID_WINDOW_HANDLE
}

TEST_F(MessageQueue, OnePendingTimerMessagePerTimerHoweverLate) {
  HWND window = painted_window();
  ASSERT_NE(SetTimer(window, 123, 40, nullptr), 0u);
  ASSERT_NE(SetTimer(window, 124, 40, nullptr), 0u);
  let_time_pass(40 * 5);
  MSG message;
  std::vector<WPARAM> ids;
  while (ids.size() < 20 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    EXPECT_EQ(message.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(message.hwnd, window);
    ids.push_back(message.wParam);
  }
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(ids, (std::vector<WPARAM>{123, 124}));
  KillTimer(window, 123);
  KillTimer(window, 124);
}

TEST_F(MessageQueue, NoRemovePeekLeavesTheTimerDue) {
  HWND window = painted_window();
  SetTimer(window, 1, 50, nullptr);
  let_time_pass(50);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_TIMER));
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_TIMER));
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  KillTimer(window, 1);
}

TEST_F(MessageQueue, KilledTimersStopAndBadWindowsGetNone) {
  HWND window = painted_window();
  SetTimer(window, 9, 20, nullptr);
  EXPECT_TRUE(KillTimer(window, 9));
  EXPECT_FALSE(KillTimer(window, 9));
  let_time_pass(60);
  MSG message;
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(SetTimer(gone_window_handle(), 1, 10, nullptr), 0u);
}

TEST_F(MessageQueue, TimersAndPostedMessagesOfADestroyedWindowGo) {
  HWND window = painted_window();
  SetTimer(window, 1, 10, nullptr);
  PostMessageW(window, WM_USER, 0, 0);
  DestroyWindow(window);
  let_time_pass(50);
  MSG message;
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

std::vector<UINT_PTR> callback_ids;
void record_tick(HWND, UINT message, UINT_PTR id, DWORD) {
  if (message == WM_TIMER) callback_ids.push_back(id);
}
void never_set(HWND, UINT, UINT_PTR id, DWORD) { callback_ids.push_back(id); }

TEST_F(MessageQueue, ThreadTimersCallTheirCallbackThroughDispatch) {
  callback_ids.clear();
  UINT_PTR id = SetTimer(nullptr, 0, 20, record_tick);
  ASSERT_NE(id, 0u);
  UINT_PTR other = SetTimer(nullptr, 0, 20, record_tick);
  EXPECT_NE(id, other);
  let_time_pass(20);
  pump_messages();
  KillTimer(nullptr, id);
  KillTimer(nullptr, other);
  std::sort(callback_ids.begin(), callback_ids.end());
  EXPECT_EQ(callback_ids, (std::vector<UINT_PTR>{std::min(id, other), std::max(id, other)}));
}

TEST_F(MessageQueue, AForgedTimerMessageCallsNoCallbackNobodySet) {
  callback_ids.clear();
  MSG forged{nullptr, WM_TIMER, 5, reinterpret_cast<LPARAM>(never_set), 0, {0, 0}};
  DispatchMessageW(&forged);
  EXPECT_TRUE(callback_ids.empty());
}

TEST_F(MessageQueue, GetMessageWaitsForTheNextTimer) {
  HWND window = painted_window();
  SetTimer(window, 123, 30, nullptr);
  MSG message;
  ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_TIMER));
  EXPECT_EQ(message.wParam, 123u);
  EXPECT_EQ(GetMessageTime(), static_cast<LONG>(message.time));
  KillTimer(window, 123);
}

TEST_F(MessageQueue, WaitingEndsAtTheTimeoutOrAtOnceForAPostedMessage) {
  painted_window();
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 30, QS_ALLINPUT | QS_ALLPOSTMESSAGE), WAIT_TIMEOUT);
  PostMessageW(nullptr, WM_USER, 0, 0);
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 250, QS_ALLINPUT), WAIT_OBJECT_0);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD));
  EXPECT_EQ(message.hwnd, nullptr);  // a thread message
  EXPECT_EQ(message.message, static_cast<UINT>(WM_USER));
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueue, WindowAndRangeFilters) {
  HWND first = painted_window();
  HWND second = painted_window();
  HWND child = create_logging_child(first, 0, 0, 5, 5);
  pump_messages();
  PostMessageW(second, WM_USER + 1, 0, 0);
  PostMessageW(child, WM_USER + 2, 0, 0);
  PostMessageW(first, WM_USER + 3, 0, 0);
  PostMessageW(first, WM_APP, 0, 0);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, first, 0, 0, PM_REMOVE));  // the window and its children
  EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 2));
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_APP));
  EXPECT_EQ(take_all(), (std::vector<UINT>{WM_USER + 1, WM_USER + 3}));
}

TEST_F(MessageQueue, QuitComesAfterPostedMessagesAndEndsGetMessage) {
  HWND window = painted_window();
  PostQuitMessage(3);
  PostMessageW(window, WM_USER, 0, 0);
  MSG message;
  ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_USER));
  EXPECT_FALSE(GetMessageW(&message, nullptr, 0, 0));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 3u);
  EXPECT_FALSE(PostMessageW(gone_window_handle(), WM_USER, 0, 0));
}

TEST_F(MessageQueue, RegisteredMessagesAreStablePerName) {
  UINT first = RegisterWindowMessageA("ZQ_PostEventMessage");
  EXPECT_GE(first, 0xC000u);
  EXPECT_LE(first, 0xFFFFu);
  EXPECT_EQ(RegisterWindowMessageW(u"zq_posteventmessage"), first);
  EXPECT_NE(RegisterWindowMessageW(u"Another"), first);
  EXPECT_EQ(RegisterWindowMessageW(u""), 0u);
}

}  // namespace
