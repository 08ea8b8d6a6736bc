// Input only the headless display can give: mouse buttons, capture, double
// clicks, leaving and the wheel, menu choices, the close box and the window
// manager's commands. (Keys, their order in the queue and the key state run
// against Windows' user32 too: input_order_test, input_routing_test.)
#include "support/headless_session.h"
#include "platform/win32/commctrl.h"
#include "platform/win32/kernel32.h"

namespace {

using Input = HeadlessSession;

HWND ready_window() {
  HWND window = create_logging_window(200, 100);
  pump_messages();
  clear_message_log();
  return window;
}

std::vector<LoggedMessage> of_kind(UINT first, UINT last) {
  std::vector<LoggedMessage> found;
  for (const LoggedMessage& m : message_log())
    if (m.message >= first && m.message <= last) found.push_back(m);
  return found;
}

TEST_F(Input, MenuBarItemsAreChosenOnTheDisplay) {
  HWND window = ready_window();
  HMENU bar = CreateMenu();
  HMENU file = CreateMenu();
  ASSERT_TRUE(AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), u"File"));
  AppendMenuW(file, MF_STRING, 0, u"Open\u2026\tCtrl+O");
  AppendMenuW(file, MF_STRING, 1, u"Save\u2026\tCtrl+S");
  AppendMenuW(file, MF_SEPARATOR, static_cast<UINT_PTR>(-1), nullptr);
  AppendMenuW(file, MF_STRING | MF_GRAYED, 2, u"Quit\tEsc");
  ASSERT_TRUE(SetMenu(window, bar));
  EXPECT_EQ(headless_window_state(window).menu, bar);

  clear_message_log();
  EXPECT_TRUE(headless_choose_menu(window, 1));
  EXPECT_FALSE(headless_choose_menu(window, 2));   // grayed
  EXPECT_FALSE(headless_choose_menu(window, 77));  // no such item
  pump_messages();
  std::vector<LoggedMessage> commands = of_kind(WM_COMMAND, WM_COMMAND);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].wparam, 1u);  // a menu: high word 0, no control
  EXPECT_EQ(commands[0].lparam, 0);
}

TEST_F(Input, MouseMessagesGoToTheChildUnderThePointerUnlessCaptured) {
  HWND window = ready_window();
  HWND child = create_logging_child(window, 10, 10, 50, 50);
  pump_messages();
  clear_message_log();
  headless_mouse_button(window, INPUT_BUTTON_LEFT, TRUE, POINT{20, 30});
  pump_messages();
  std::vector<LoggedMessage> downs = of_kind(WM_LBUTTONDOWN, WM_LBUTTONDOWN);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0].window, child);
  EXPECT_EQ(GET_X_LPARAM(downs[0].lparam), 10);
  EXPECT_EQ(GET_Y_LPARAM(downs[0].lparam), 20);
  EXPECT_EQ(downs[0].wparam & MK_LBUTTON, static_cast<WPARAM>(MK_LBUTTON));
  EXPECT_TRUE(log_contains(child, WM_MOUSEACTIVATE));  // a child is never the active window
  EXPECT_NE(GetKeyState(VK_LBUTTON) & 0x8000, 0);

  EXPECT_EQ(SetCapture(child), nullptr);
  EXPECT_EQ(GetCapture(), child);
  clear_message_log();
  headless_mouse_move(window, POINT{150, 90});  // outside the child
  headless_mouse_button(window, INPUT_BUTTON_LEFT, FALSE, POINT{150, 90});
  pump_messages();
  std::vector<LoggedMessage> captured = of_kind(WM_MOUSEMOVE, WM_LBUTTONUP);
  ASSERT_EQ(captured.size(), 2u);
  EXPECT_EQ(captured[1].window, child);
  EXPECT_EQ(GET_X_LPARAM(captured[1].lparam), 140);  // relative to the child, outside it
  EXPECT_EQ(captured[1].wparam & MK_LBUTTON, 0u);

  clear_message_log();
  EXPECT_TRUE(ReleaseCapture());
  EXPECT_TRUE(log_contains(child, WM_CAPTURECHANGED));
  EXPECT_EQ(GetCapture(), nullptr);
  headless_click(window, INPUT_BUTTON_RIGHT, POINT{150, 90});
  pump_messages();
  EXPECT_TRUE(log_contains(window, WM_RBUTTONUP));
}

TEST_F(Input, SecondPressSoonAfterIsADoubleClick) {
  HWND window = ready_window();
  headless_click(window, INPUT_BUTTON_LEFT, POINT{5, 5});
  headless_advance_clock(100);
  headless_click(window, INPUT_BUTTON_LEFT, POINT{6, 5});
  headless_advance_clock(1000);
  headless_click(window, INPUT_BUTTON_LEFT, POINT{6, 5});  // too late for a double click
  pump_messages();
  std::vector<UINT> buttons;
  for (const LoggedMessage& m : of_kind(WM_LBUTTONDOWN, WM_LBUTTONDBLCLK)) buttons.push_back(m.message);
  std::vector<UINT> expected{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP};
  EXPECT_EQ(buttons, expected);
}

TEST_F(Input, MouseLeaveIsPostedOnceWhenTrackedWindowIsLeft) {
  HWND window = ready_window();
  HWND child = create_logging_child(window, 0, 0, 50, 50);
  headless_mouse_move(window, POINT{10, 10});
  TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, child, 0};
  ASSERT_TRUE(_TrackMouseEvent(&track));
  TRACKMOUSEEVENT query{sizeof(TRACKMOUSEEVENT), TME_QUERY, nullptr, 0};
  ASSERT_TRUE(_TrackMouseEvent(&query));
  EXPECT_EQ(query.hwndTrack, child);
  pump_messages();
  clear_message_log();
  headless_mouse_move(window, POINT{20, 20});
  headless_mouse_move(window, POINT{100, 80});
  headless_mouse_move(window, POINT{10, 10});
  headless_mouse_move(window, POINT{120, 80});
  pump_messages();
  int leaves = 0;
  for (const LoggedMessage& m : message_log()) leaves += m.message == WM_MOUSELEAVE && m.window == child;
  EXPECT_EQ(leaves, 1);
  TRACKMOUSEEVENT bad{0, TME_LEAVE, child, 0};
  EXPECT_FALSE(_TrackMouseEvent(&bad));
}

TEST_F(Input, WheelGoesToTheFocusWindowWithScreenPosition) {
  HWND window = ready_window();
  HWND child = create_logging_child(window, 0, 0, 50, 50);
  SetFocus(child);
  clear_message_log();
  headless_wheel(window, POINT{100, 80}, -240);
  pump_messages();
  std::vector<LoggedMessage> wheels = of_kind(WM_MOUSEWHEEL, WM_MOUSEWHEEL);
  ASSERT_EQ(wheels.size(), 1u);
  EXPECT_EQ(wheels[0].window, child);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].wparam), -240);
  POINT screen{100, 80};
  ClientToScreen(window, &screen);
  EXPECT_EQ(GET_X_LPARAM(wheels[0].lparam), screen.x);
}

LRESULT keep_open(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  message_log().push_back(LoggedMessage{window, message, wparam, lparam});
  return message == WM_CLOSE ? 0 : DefWindowProcW(window, message, wparam, lparam);
}

TEST_F(Input, CloseBoxSendsWmCloseThroughSystemCommand) {
  HWND window = ready_window();
  SetWindowLongW(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(keep_open));
  headless_close_box(window);
  pump_messages();
  std::vector<UINT> ids = logged_ids(window, {WM_SETCURSOR});
  EXPECT_EQ(ids, (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE}));
  EXPECT_TRUE(IsWindow(window));  // the procedure kept it
}

TEST_F(Input, MenuChoicesAndTheCloseBoxQueueBehindEarlierInput) {
  HWND window = ready_window();
  SetWindowLongW(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(keep_open));
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_STRING, 5, u"Go");
  SetMenu(window, bar);
  pump_messages();
  clear_message_log();
  headless_key(window, 'A', TRUE);
  headless_choose_menu(window, 5);
  headless_key(window, 'A', FALSE);
  headless_close_box(window);
  PostMessageW(window, WM_USER, 0, 0);  // posted messages still come first
  pump_messages();
  std::vector<UINT> ids = logged_ids(window, {WM_SETCURSOR, WM_CHAR});
  EXPECT_EQ(ids, (std::vector<UINT>{WM_USER, WM_KEYDOWN, WM_COMMAND, WM_KEYUP, WM_SYSCOMMAND, WM_CLOSE}));
}

TEST_F(Input, TheWindowManagersMinimiseMaximiseAndRestoreReachTheWindow) {
  HWND window = ready_window();
  clear_message_log();
  input_window_state(window, INPUT_WINDOW_MINIMIZED);
  EXPECT_TRUE(IsIconic(window));
  input_window_state(window, INPUT_WINDOW_MINIMIZED);  // reported twice: nothing more happens
  input_window_state(window, INPUT_WINDOW_RESTORED);
  EXPECT_FALSE(IsIconic(window));
  input_window_state(window, INPUT_WINDOW_MAXIMIZED);
  EXPECT_TRUE(IsZoomed(window));
  input_window_state(window, INPUT_WINDOW_RESTORED);
  EXPECT_FALSE(IsZoomed(window));
  std::vector<WPARAM> kinds;
  for (const LoggedMessage& size : of_kind(WM_SIZE, WM_SIZE)) kinds.push_back(size.wparam);
  EXPECT_EQ(kinds, (std::vector<WPARAM>{SIZE_MINIMIZED, SIZE_RESTORED, SIZE_MAXIMIZED, SIZE_RESTORED}));
}

TEST_F(Input, DisabledWindowsGetNoInputAndLoseFocusAndCapture) {
  HWND window = ready_window();
  HWND child = create_logging_child(window, 0, 0, 50, 50);
  pump_messages();
  SetFocus(child);
  SetCapture(child);
  clear_message_log();
  EXPECT_FALSE(EnableWindow(window, FALSE));  // it was enabled
  EXPECT_FALSE(IsWindowEnabled(window));
  EXPECT_FALSE(headless_window_state(window).enabled);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(log_contains(window, WM_ENABLE));
  clear_message_log();
  headless_key_press(window, 'X', 0);
  headless_click(window, INPUT_BUTTON_LEFT, POINT{10, 10});
  headless_close_box(window);
  headless_choose_menu(window, 1);
  pump_messages();
  EXPECT_TRUE(message_log().empty());
  EXPECT_TRUE(EnableWindow(window, TRUE));  // it was disabled
  EXPECT_TRUE(headless_window_state(window).enabled);
}

TEST_F(Input, ActivationMessagesAndFocusBetweenWindows) {
  HWND first = ready_window();
  HWND child = create_logging_child(first, 0, 0, 10, 10);
  SetFocus(child);
  HWND second = ready_window();
  EXPECT_EQ(GetActiveWindow(), second);
  EXPECT_EQ(GetFocus(), second);
  clear_message_log();
  EXPECT_EQ(SetActiveWindow(first), second);
  std::vector<UINT> old_side = logged_ids(second);
  EXPECT_EQ(old_side, (std::vector<UINT>{WM_NCACTIVATE, WM_ACTIVATE, WM_KILLFOCUS}));
  EXPECT_EQ(logged_ids(first), (std::vector<UINT>{WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS}));
  EXPECT_EQ(GetFocus(), first);
  EXPECT_EQ(headless_foreground_window(), first);
  LoggedMessage deactivate = message_log()[1];
  EXPECT_EQ(LOWORD(deactivate.wparam), WA_INACTIVE);
  EXPECT_EQ(reinterpret_cast<HWND>(deactivate.lparam), first);
}

}  // namespace
