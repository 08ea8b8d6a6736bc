// Keyboard and mouse input in the thread's queue, through the API alone (run
// against our user32 and Windows'): where it comes among sent, posted, paint
// and timer messages, how filters take it, and the key state as it is taken.
#include "support/window_session.h"

namespace {

using InputOrder = WindowSession;

TEST_F(InputOrder, PostedThenInputThenPaintThenTimer) {
  HWND window = create_foreground_window();
  SetTimer(window, 7, 50, nullptr);
  let_time_pass(50);
  InvalidateRect(window, nullptr, FALSE);
  inject_key(window, 'A', true);
  PostMessageW(window, WM_USER + 1, 0, 0);
  PostMessageW(window, WM_USER + 2, 0, 0);
  std::vector<UINT> expected{WM_USER + 1, WM_USER + 2, WM_KEYDOWN, WM_PAINT, WM_TIMER};
  EXPECT_EQ(take_all(), expected);
  inject_key(window, 'A', false);
  KillTimer(window, 7);
}

TEST_F(InputOrder, SentMessagesGoAheadOfQueuedInput) {
  HWND window = create_foreground_window();
  inject_key(window, 'A', true);
  PostMessageW(window, WM_USER + 1, 0, 0);
  SendMessageW(window, WM_USER + 2, 0, 0);
  take_all();
  EXPECT_EQ(logged_ids(window), (std::vector<UINT>{WM_USER + 2, WM_USER + 1, WM_KEYDOWN}));
  inject_key(window, 'A', false);
}

TEST_F(InputOrder, KeysAndMouseMovesKeepTheOrderTheyCameIn) {
  HWND window = create_foreground_window();
  inject_mouse_move(window, POINT{11, 12});
  inject_key(window, 'B', true);
  inject_mouse_move(window, POINT{21, 22});
  inject_key(window, 'B', false);
  MSG message;
  std::vector<std::pair<UINT, LPARAM>> seen;
  while (seen.size() < 10 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    EXPECT_EQ(message.hwnd, window);
    seen.emplace_back(message.message, message.message == WM_MOUSEMOVE ? message.lParam : 0);
  }
  std::vector<std::pair<UINT, LPARAM>> expected{
      {WM_MOUSEMOVE, MAKELPARAM(11, 12)}, {WM_KEYDOWN, 0}, {WM_MOUSEMOVE, MAKELPARAM(21, 22)}, {WM_KEYUP, 0}};
  EXPECT_EQ(seen, expected);
}

TEST_F(InputOrder, FiltersTakeInputPastOtherMessages) {
  HWND other = create_logging_window();
  HWND window = create_foreground_window();
  inject_mouse_move(window, POINT{30, 20});
  inject_key(window, 'K', true);
  PostMessageW(window, WM_USER, 0, 0);
  PostMessageW(other, WM_USER + 1, 0, 0);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_KEYDOWN));  // past the posted ones and the earlier move
  EXPECT_EQ(message.wParam, static_cast<WPARAM>('K'));
  EXPECT_EQ(message.hwnd, window);
  ASSERT_TRUE(PeekMessageW(&message, other, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 1));
  EXPECT_FALSE(PeekMessageW(&message, other, 0, 0, PM_REMOVE));  // the input is the other window's
  ASSERT_TRUE(GetMessageW(&message, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE));
  EXPECT_EQ(message.lParam, MAKELPARAM(30, 20));
  EXPECT_EQ(take_all(), (std::vector<UINT>{WM_USER}));
  inject_key(window, 'K', false);
}

TEST_F(InputOrder, MessagePositionIsThatOfTheLastMessageRetrieved) {
  HWND window = create_foreground_window();
  inject_mouse_move(window, POINT{10, 20});
  POINT client{0, 0};
  ClientToScreen(window, &client);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
  DWORD position = GetMessagePos();
  EXPECT_EQ(static_cast<SHORT>(LOWORD(position)), client.x + 10);
  EXPECT_EQ(static_cast<SHORT>(HIWORD(position)), client.y + 20);
}

TEST_F(InputOrder, KeyStateFollowsRetrievedMessagesAsyncStateTheKeyboard) {
  HWND window = create_foreground_window();
  SHORT toggle_before = GetKeyState(VK_CONTROL) & 1;
  inject_key(window, VK_CONTROL, true);
  EXPECT_EQ(GetKeyState(VK_CONTROL) & 0x8000, 0);  // not retrieved yet
  EXPECT_NE(GetAsyncKeyState(VK_CONTROL) & 0x8000, 0);
  pump_messages();
  EXPECT_NE(GetKeyState(VK_CONTROL) & 0x8000, 0);
  inject_key(window, VK_CONTROL, false);
  pump_messages();
  EXPECT_EQ(GetKeyState(VK_CONTROL) & 0x8000, 0);
  EXPECT_EQ(GetAsyncKeyState(VK_CONTROL), 0);
  EXPECT_NE(GetKeyState(VK_CONTROL) & 1, toggle_before);  // each press toggles
  EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE) & 0x8000, 0);
  inject_key(window, VK_ESCAPE, true);
  EXPECT_NE(GetAsyncKeyState(VK_ESCAPE) & 0x8000, 0);
  inject_key(window, VK_ESCAPE, false);
  EXPECT_EQ(GetKeyState(-1), 0);
  EXPECT_EQ(GetAsyncKeyState(1000), 0);
}

// High word: what is waiting now; low word: what came since the last look
// (GetQueueStatus, PeekMessage or GetMessage); both within the flags asked.
TEST_F(InputOrder, QueueStatusTellsWhatWaitsAndWhatIsNew) {
  HWND window = create_foreground_window();
  GetQueueStatus(QS_ALLINPUT);
  EXPECT_EQ(GetQueueStatus(QS_ALLINPUT), 0u);
  inject_key(window, 'Q', true);
  EXPECT_EQ(GetQueueStatus(QS_ALLINPUT), MAKELONG(QS_KEY, QS_KEY));
  PostMessageW(window, WM_USER, 0, 0);
  EXPECT_EQ(GetQueueStatus(QS_ALLINPUT), MAKELONG(QS_POSTMESSAGE, QS_KEY | QS_POSTMESSAGE));
  inject_mouse_move(window, POINT{40, 30});
  EXPECT_EQ(GetQueueStatus(QS_KEY), MAKELONG(0, QS_KEY));
  EXPECT_EQ(GetQueueStatus(QS_MOUSEMOVE), MAKELONG(QS_MOUSEMOVE, QS_MOUSEMOVE));  // not looked at before
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_USER));
  EXPECT_EQ(GetQueueStatus(QS_ALLINPUT), MAKELONG(0, QS_KEY | QS_MOUSEMOVE));
  pump_messages();
  EXPECT_EQ(GetQueueStatus(QS_ALLINPUT), 0u);
  inject_key(window, 'Q', false);
}

}  // namespace
