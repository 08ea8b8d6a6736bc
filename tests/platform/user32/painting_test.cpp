// WM_PAINT and update regions through the API alone (run against our user32
// and Windows'): what is painted, when, and in which order.
#include "support/window_session.h"

namespace {

using Painting = WindowSession;

HWND shown_window(int width = 120, int height = 80) {
  HWND window = create_logging_window(width, height);
  pump_messages();
  return window;
}

std::vector<RECT> painted;

LRESULT painting_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    painted.push_back(paint.rcPaint);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND painting_window() {
  painted.clear();
  register_test_class(u"Painting", painting_proc);
  return CreateWindowExW(0, u"Painting", u"", WS_CAPTION | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                         nullptr);
}

TEST_F(Painting, ShowingPaintsTheClientAreaAndInvalidatedRectanglesAccumulateIntoOnePaint) {
  HWND window = painting_window();
  pump_messages();
  ASSERT_EQ(painted.size(), 1u);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_TRUE(EqualRect(&painted[0], &client));  // the first paint covers the client area
  painted.clear();
  RECT a{0, 0, 5, 5}, b{30, 40, 35, 45};
  InvalidateRect(window, &a, FALSE);
  InvalidateRect(window, &b, FALSE);
  RECT update;
  EXPECT_TRUE(GetUpdateRect(window, &update, FALSE));
  pump_messages();
  ASSERT_EQ(painted.size(), 1u);
  EXPECT_EQ(painted[0].left, 0);
  EXPECT_EQ(painted[0].bottom, 45);
  EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));
  ValidateRect(window, nullptr);
  RECT outside{500, 500, 600, 600};
  InvalidateRect(window, &outside, TRUE);  // nothing of it is in the client area
  pump_messages();
  EXPECT_EQ(painted.size(), 1u);
}

TEST_F(Painting, ParentPaintsBeforeChildrenAndChildAloneRepaintsAlone) {
  HWND window = shown_window();
  HWND child = create_logging_child(window, 0, 0, 20, 20);
  pump_messages();
  clear_message_log();
  InvalidateRect(window, nullptr, TRUE);
  pump_messages();
  std::vector<HWND> paints;
  for (const LoggedMessage& m : message_log())
    if (m.message == WM_PAINT) paints.push_back(m.window);
  EXPECT_EQ(paints, (std::vector<HWND>{window, child}));

  clear_message_log();
  RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE);
  pump_messages();
  EXPECT_TRUE(log_contains(child, WM_PAINT));
  EXPECT_FALSE(log_contains(window, WM_PAINT));

  clear_message_log();
  RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_TRUE(log_contains(child, WM_ERASEBKGND));  // at once, no message loop needed
  EXPECT_TRUE(log_contains(child, WM_PAINT));
  clear_message_log();
  RedrawWindow(window, nullptr, nullptr, RDW_INTERNALPAINT);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_PAINT));
  EXPECT_EQ(message.hwnd, window);
}

TEST_F(Painting, HiddenWindowsAreNotPainted) {
  HWND window = shown_window();
  ShowWindow(window, SW_HIDE);
  clear_message_log();
  InvalidateRect(window, nullptr, TRUE);
  pump_messages();
  EXPECT_FALSE(log_contains(window, WM_PAINT));
}

}  // namespace
