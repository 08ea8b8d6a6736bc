// The order in which GetMessage hands out messages, timers on the virtual
// clock, waiting, filters and WM_QUIT.
#include "support/headless_session.h"
#include "platform/win32/kernel32.h"

namespace {

using MessageQueue = HeadlessSession;

// A shown window with its first WM_PAINT already served.
HWND painted_window() {
  HWND window = create_logging_window();
  pump_messages();
  clear_message_log();
  return window;
}

std::vector<UINT> take_all(HWND filter = nullptr) {
  std::vector<UINT> order;
  MSG message;
  while (order.size() < 100 && PeekMessageW(&message, filter, 0, 0, PM_REMOVE)) {
    order.push_back(message.message);
    DispatchMessageW(&message);
  }
  return order;
}

TEST_F(MessageQueue, PostedThenInputThenPaintThenTimer) {
  HWND window = painted_window();
  SetTimer(window, 7, 100, nullptr);
  headless_advance_clock(100);
  InvalidateRect(window, nullptr, FALSE);
  headless_key(window, 'A', TRUE);
  PostMessageW(window, WM_USER + 1, 0, 0);
  PostMessageW(window, WM_USER + 2, 0, 0);
  std::vector<UINT> expected{WM_USER + 1, WM_USER + 2, WM_KEYDOWN, WM_PAINT, WM_TIMER};
  EXPECT_EQ(take_all(), expected);
}

TEST_F(MessageQueue, SentMessagesReachTheProcedureAtOnce) {
  HWND window = painted_window();
  PostMessageW(window, WM_USER + 1, 0, 0);
  EXPECT_EQ(SendMessageW(window, WM_USER + 2, 5, 6), 0);
  ASSERT_EQ(message_log().size(), 1u);
  EXPECT_EQ(message_log()[0].message, static_cast<UINT>(WM_USER + 2));
  EXPECT_EQ(message_log()[0].wparam, 5u);
  EXPECT_EQ(SendMessageW(reinterpret_cast<HWND>(0x42), WM_USER, 0, 0), 0);
  EXPECT_EQ(GetLastError(), 1400u);
}

TEST_F(MessageQueue, OnePendingTimerMessagePerTimerHoweverLate) {
  HWND window = painted_window();
  ASSERT_NE(SetTimer(window, 123, 1500, nullptr), 0u);
  ASSERT_NE(SetTimer(window, 124, 1500, nullptr), 0u);
  headless_advance_clock(1500 * 5);
  MSG message;
  std::vector<WPARAM> ids;
  while (ids.size() < 20 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    EXPECT_EQ(message.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(message.hwnd, window);
    ids.push_back(message.wParam);
  }
  EXPECT_EQ(ids, (std::vector<WPARAM>{123, 124}));
  // The next tick comes one interval after the late one was served.
  headless_advance_clock(1499);
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  headless_advance_clock(1);
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.wParam, 123u);
}

TEST_F(MessageQueue, NoRemovePeekLeavesTheTimerDue) {
  HWND window = painted_window();
  SetTimer(window, 1, 50, nullptr);
  headless_advance_clock(50);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_TIMER));
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_TIMER));
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueue, ResettingAndKillingTimers) {
  HWND window = painted_window();
  SetTimer(window, 9, 100, nullptr);
  headless_advance_clock(90);
  SetTimer(window, 9, 100, nullptr);  // the same id restarts with the new interval
  headless_advance_clock(90);
  MSG message;
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  headless_advance_clock(10);
  EXPECT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_TRUE(KillTimer(window, 9));
  EXPECT_FALSE(KillTimer(window, 9));
  headless_advance_clock(1000);
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(SetTimer(reinterpret_cast<HWND>(0x99), 1, 10, nullptr), 0u);
}

TEST_F(MessageQueue, TimersOfADestroyedWindowStop) {
  HWND window = painted_window();
  SetTimer(window, 1, 10, nullptr);
  PostMessageW(window, WM_USER, 0, 0);
  DestroyWindow(window);
  headless_advance_clock(100);
  MSG message;
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

std::vector<UINT_PTR> callback_ids;
void record_tick(HWND, UINT message, UINT_PTR id, DWORD) {
  if (message == WM_TIMER) callback_ids.push_back(id);
}

TEST_F(MessageQueue, ThreadTimersCallTheirCallbackThroughDispatch) {
  callback_ids.clear();
  UINT_PTR id = SetTimer(nullptr, 0, 20, record_tick);
  ASSERT_NE(id, 0u);
  UINT_PTR other = SetTimer(nullptr, 0, 20, record_tick);
  EXPECT_NE(id, other);
  headless_advance_clock(20);
  pump_messages();
  EXPECT_EQ(callback_ids, (std::vector<UINT_PTR>{id, other}));
  KillTimer(nullptr, id);
  KillTimer(nullptr, other);
  // A forged WM_TIMER with a callback nobody set is not called.
  MSG forged{nullptr, WM_TIMER, 5, reinterpret_cast<LPARAM>(record_tick), 0, {0, 0}};
  DispatchMessageW(&forged);
  EXPECT_EQ(callback_ids.size(), 2u);
}

TEST_F(MessageQueue, GetMessageWaitsForTheNextTimerOnTheVirtualClock) {
  HWND window = painted_window();
  SetTimer(window, 123, 1500, nullptr);
  BackendTime start = headless_now();
  MSG message;
  ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_TIMER));
  EXPECT_EQ(message.wParam, 123u);
  EXPECT_EQ(headless_now() - start, 1500u);
  EXPECT_EQ(static_cast<BackendTime>(message.time), headless_now() & 0xFFFFFFFF);
  EXPECT_EQ(GetMessageTime(), static_cast<LONG>(message.time));
}

TEST_F(MessageQueue, GetMessageTakesScriptedInput) {
  HWND window = painted_window();
  headless_script_key_press(headless_now() + 300, window, 'Q', 0);
  BackendTime start = headless_now();
  MSG message;
  ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(message.wParam, static_cast<WPARAM>('Q'));
  EXPECT_EQ(headless_now() - start, 300u);
}

TEST_F(MessageQueue, WaitingWithATimeout) {
  painted_window();
  BackendTime start = headless_now();
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 250, QS_ALLINPUT | QS_ALLPOSTMESSAGE), WAIT_TIMEOUT);
  EXPECT_EQ(headless_now() - start, 250u);
  PostMessageW(nullptr, WM_USER, 0, 0);
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 250, QS_ALLINPUT), WAIT_OBJECT_0);
  EXPECT_EQ(headless_now() - start, 250u);  // ready at once
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD));
  EXPECT_EQ(message.hwnd, nullptr);  // a thread message
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
  EXPECT_FALSE(PostMessageW(reinterpret_cast<HWND>(0x77), WM_USER, 0, 0));
}

TEST_F(MessageQueue, RegisteredMessagesAreStablePerName) {
  UINT first = RegisterWindowMessageA("ZQ_PostEventMessage");
  EXPECT_GE(first, 0xC000u);
  EXPECT_LE(first, 0xFFFFu);
  EXPECT_EQ(RegisterWindowMessageW(u"zq_posteventmessage"), first);
  EXPECT_NE(RegisterWindowMessageW(u"Another"), first);
  EXPECT_EQ(RegisterWindowMessageW(u""), 0u);
}

TEST_F(MessageQueue, MessagePositionIsThatOfTheLastMessageRetrieved) {
  HWND window = painted_window();
  headless_mouse_move(window, POINT{10, 20});
  POINT client{0, 0};
  ClientToScreen(window, &client);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
  DWORD position = GetMessagePos();
  EXPECT_EQ(static_cast<SHORT>(LOWORD(position)), client.x + 10);
  EXPECT_EQ(static_cast<SHORT>(HIWORD(position)), client.y + 20);
}

}  // namespace
