// Windows as the headless display sees them, and what only our layer
// promises: the system code page is UTF-8, and coordinates stay in range.
#include "support/headless_session.h"

namespace {

using WindowLifecycle = HeadlessSession;

TEST_F(WindowLifecycle, TheDisplayFollowsCreationShowingTitlesMovesAndDestruction) {
  register_logging_class();
  HWND window = CreateWindowExW(0, LOGGING_CLASS, u"Title", WS_CAPTION | WS_SYSMENU, 10, 20, 300, 200, nullptr,
                                nullptr, nullptr, nullptr);
  EXPECT_TRUE(headless_window_state(window).exists);
  EXPECT_FALSE(headless_window_state(window).visible);
  ShowWindow(window, SW_SHOWNORMAL);
  EXPECT_TRUE(headless_window_state(window).visible);
  EXPECT_EQ(headless_foreground_window(), window);
  SetWindowTextW(window, u"IFS render by Tarnwick");
  EXPECT_EQ(headless_window_state(window).title, u"IFS render by Tarnwick");
  SetWindowPos(window, nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(headless_window_state(window).frame.left, 50);
  EXPECT_EQ(headless_window_state(window).frame.top, 60);
  DestroyWindow(window);
  EXPECT_FALSE(headless_window_state(window).exists);
}

TEST_F(WindowLifecycle, AnsiClassesAndWindowsTakeUtf8) {
  WNDCLASSA ansi{};
  ansi.lpfnWndProc = logging_window_proc;
  ansi.lpszClassName = "Caf\xC3\xA9";
  ASSERT_NE(RegisterClassA(&ansi), 0);
  HWND window = CreateWindowExA(0, "CAF\xC3\xA9", "na\xC3\xAFve \xFF", WS_CAPTION, 0, 0, 50, 50, nullptr, nullptr,
                                nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  WCHAR title[16];
  GetWindowTextW(window, title, 16);
  EXPECT_EQ(std::u16string(title), u"na\u00EFve \uFFFD");  // an invalid byte reads as U+FFFD
}

TEST_F(WindowLifecycle, ExtremeSizesAndPositionsStayInWindowCoordinateRange) {
  register_logging_class();
  HWND window = CreateWindowExW(0, LOGGING_CLASS, u"", WS_CAPTION | WS_VISIBLE, INT32_MAX - 5, INT32_MIN + 5,
                                INT32_MAX, INT32_MAX, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.left, 32767);
  EXPECT_EQ(outer.top, -32768);
  EXPECT_GE(outer.right, outer.left);
  HWND child = create_logging_child(window, 0, 0, 10, 10);
  EXPECT_TRUE(MoveWindow(child, INT32_MIN, INT32_MAX, -50, INT32_MAX, TRUE));
  RECT client;
  GetClientRect(child, &client);
  EXPECT_EQ(client.right, 0);  // a negative width is no width
  EXPECT_EQ(client.bottom, 32767);
  // Mouse positions far outside every window are delivered without overflow.
  headless_mouse_move(window, POINT{INT32_MAX, INT32_MIN});
  pump_messages();
  HDC dc = GetDC(window);
  RECT everything{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  EXPECT_TRUE(DrawFocusRect(dc, &everything));  // returns promptly: only the reachable part is walked
  ReleaseDC(window, dc);
  RECT adjusted{0, INT32_MIN, 0, INT32_MAX};
  AdjustWindowRectEx(&adjusted, WS_CAPTION | WS_THICKFRAME, TRUE, WS_EX_CLIENTEDGE);
  EXPECT_EQ(adjusted.top, INT32_MIN);
  EXPECT_EQ(adjusted.bottom, INT32_MAX);
}

}  // namespace
