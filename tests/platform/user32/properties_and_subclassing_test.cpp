// Window properties, window longs and subclassing through SetWindowLong and
// CallWindowProc, and the default procedure's UI-state messages, through the
// API alone (run against our user32 and Windows').
#include <string>

#include "support/window_session.h"

namespace {

using PropertiesAndSubclassing = WindowSession;

#ifdef _WIN32
extern "C" BOOL SystemParametersInfoW(UINT action, UINT value, void* data, UINT flags);
#endif

HANDLE as_handle(intptr_t value) { return reinterpret_cast<HANDLE>(value); }

TEST_F(PropertiesAndSubclassing, PropertiesByNameWithoutCaseOnBothSides) {
  HWND window = create_logging_window();
  EXPECT_EQ(GetPropW(window, u"ZQ_WindowID"), nullptr);
  ASSERT_TRUE(SetPropW(window, u"ZQ_WindowID", as_handle(1)));
  EXPECT_EQ(GetPropW(window, u"zq_windowid"), as_handle(1));
  EXPECT_EQ(GetPropA(window, "ZQ_WINDOWID"), as_handle(1));
  ASSERT_TRUE(SetPropA(window, "zq_menu_callback", as_handle(77)));
  EXPECT_EQ(GetPropW(window, u"zq_menu_callback"), as_handle(77));
  ASSERT_TRUE(SetPropW(window, u"ZQ_WindowID", as_handle(5)));  // replaces
  EXPECT_EQ(RemovePropW(window, u"ZQ_WINDOWID"), as_handle(5));
  EXPECT_EQ(GetPropW(window, u"ZQ_WindowID"), nullptr);
  EXPECT_EQ(RemovePropA(window, "zq_menu_callback"), as_handle(77));
  EXPECT_EQ(RemovePropA(window, "zq_menu_callback"), nullptr);
  EXPECT_FALSE(SetPropW(gone_window_handle(), u"x", as_handle(1)));
  HWND other = create_logging_window();
  SetPropW(window, u"Mine", as_handle(3));
  EXPECT_EQ(GetPropW(other, u"Mine"), nullptr);
}

TEST_F(PropertiesAndSubclassing, PropertiesAreReadableDuringNcDestroy) {
  static HANDLE seen;
  seen = nullptr;
  register_test_class(u"Reader", [](HWND window, UINT message, WPARAM wparam, LPARAM lparam) -> LRESULT {
    if (message == WM_NCDESTROY) seen = GetPropW(window, u"Record");
    return DefWindowProcW(window, message, wparam, lparam);
  });
  HWND window = CreateWindowExW(0, u"Reader", u"", WS_CAPTION, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  SetPropW(window, u"Record", as_handle(42));
  DestroyWindow(window);
  EXPECT_EQ(seen, as_handle(42));
}

std::vector<std::string> chain;
WNDPROC inner_previous = nullptr;
WNDPROC outer_previous = nullptr;

LRESULT inner_subclass(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_USER) chain.push_back("inner");
  if (message == WM_USER + 1) return 11;  // handled here, not passed on
  return CallWindowProcW(inner_previous, window, message, wparam, lparam);
}

LRESULT outer_subclass(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_USER) chain.push_back("outer");
  return CallWindowProcA(outer_previous, window, message, wparam, lparam);
}

TEST_F(PropertiesAndSubclassing, SubclassingChainsProceduresOutermostFirst) {
  chain.clear();
  HWND window = create_logging_window();
  inner_previous = reinterpret_cast<WNDPROC>(SetWindowLongW(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(inner_subclass)));
  EXPECT_EQ(inner_previous, logging_window_proc);
  // Through the A functions, as the runtime's menus subclass: what they hand
  // back is only promised to be callable through CallWindowProcA.
  outer_previous = reinterpret_cast<WNDPROC>(SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(outer_subclass)));
  EXPECT_NE(outer_previous, nullptr);
  EXPECT_EQ(GetWindowLongA(window, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(outer_subclass));
  clear_message_log();
  SendMessageW(window, WM_USER, 0, 0);
  EXPECT_EQ(chain, (std::vector<std::string>{"outer", "inner"}));
  EXPECT_TRUE(log_contains(window, WM_USER));  // reached the class procedure last
  clear_message_log();
  EXPECT_EQ(SendMessageW(window, WM_USER + 1, 0, 0), 11);
  EXPECT_FALSE(log_contains(window, WM_USER + 1));
  // Posted messages are dispatched to the current procedure too.
  chain.clear();
  PostMessageW(window, WM_USER, 0, 0);
  pump_messages();
  EXPECT_EQ(chain, (std::vector<std::string>{"outer", "inner"}));
}

TEST_F(PropertiesAndSubclassing, NoProcedureIsRefused) {
  HWND window = create_logging_window();
  EXPECT_EQ(SetWindowLongW(window, GWL_WNDPROC, 0), 0);  // dispatching to it could only crash
  EXPECT_EQ(GetWindowLongW(window, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(logging_window_proc));
}

TEST_F(PropertiesAndSubclassing, WindowLongsReadAndWrite) {
  HWND window = create_logging_window();
  HWND child = create_logging_child(window, 0, 0, 5, 5, 3);
  EXPECT_EQ(SetWindowLongW(child, GWL_ID, -1), 3);
  EXPECT_EQ(GetWindowLongW(child, GWL_ID), -1);
  EXPECT_EQ(SetWindowLongW(window, GWL_USERDATA, 1234), 0);
  EXPECT_EQ(GetWindowLongW(window, GWL_USERDATA), 1234);
  LONG_PTR style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_VISIBLE);
  EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION);
  // IsWindowVisible follows the style bit of the window and its ancestors.
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_EQ(SetWindowLongW(window, GWL_STYLE, style & ~WS_VISIBLE), style);
  EXPECT_FALSE(GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_FALSE(IsWindowVisible(child));
  SetWindowLongW(window, GWL_STYLE, style);
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_EQ(GetWindowLongW(child, GWL_HWNDPARENT), reinterpret_cast<LONG_PTR>(window));
  EXPECT_EQ(GetWindowLongW(window, 1000), 0);
  EXPECT_EQ(GetLastError(), 1413u);  // ERROR_INVALID_INDEX
  EXPECT_EQ(GetWindowLongW(gone_window_handle(), GWL_ID), 0);
}

TEST_F(PropertiesAndSubclassing, WindowTextGoesThroughMessages) {
  HWND window = create_logging_window();
  clear_message_log();
  ASSERT_TRUE(SetWindowTextW(window, u"IFS render by Tarnwick"));
  EXPECT_TRUE(log_contains(window, WM_SETTEXT));
  EXPECT_EQ(GetWindowTextLengthW(window), 22);
  WCHAR text[8];
  EXPECT_EQ(GetWindowTextW(window, text, 8), 7);
  EXPECT_EQ(std::u16string(text), u"IFS ren");
}

// Windows ignores requests to hide keyboard cues while the user's setting
// shows them always (SPI_GETKEYBOARDCUES; on in a fresh Wine prefix). Our
// layer has no such setting and behaves as Windows does by default, hiding
// cues until the keyboard is used.
bool keyboard_cues_always_shown() {
#ifdef _WIN32
  constexpr UINT SPI_GETKEYBOARDCUES = 0x100A;
  BOOL shown = FALSE;
  return SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &shown, 0) && shown;
#else
  return false;
#endif
}

TEST_F(PropertiesAndSubclassing, KeyboardCuesAreKeptAndPassedToChildren) {
  const LRESULT hidden = keyboard_cues_always_shown() ? 0 : UISF_HIDEFOCUS | UISF_HIDEACCEL;
  HWND window = create_logging_window();
  HWND child = create_logging_child(window, 0, 0, 5, 5);
  EXPECT_EQ(SendMessageW(window, WM_QUERYUISTATE, 0, 0), 0);
  SendMessageW(window, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
  EXPECT_EQ(SendMessageW(window, WM_QUERYUISTATE, 0, 0), hidden);
  EXPECT_EQ(SendMessageW(child, WM_QUERYUISTATE, 0, 0), hidden);
  SendMessageW(window, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL), 0);
  EXPECT_EQ(SendMessageW(window, WM_QUERYUISTATE, 0, 0), hidden & UISF_HIDEFOCUS);
  SendMessageW(child, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);  // goes up, then down
  EXPECT_EQ(SendMessageW(window, WM_QUERYUISTATE, 0, 0), 0);
  EXPECT_EQ(SendMessageW(child, WM_QUERYUISTATE, 0, 0), 0);
}

TEST_F(PropertiesAndSubclassing, EnumChildWindowsVisitsTheWholeTree) {
  HWND window = create_logging_window();
  HWND a = create_logging_child(window, 0, 0, 5, 5, 1);
  HWND b = create_logging_child(a, 0, 0, 2, 2, 2);
  HWND c = create_logging_child(window, 0, 0, 5, 5, 3);
  std::vector<HWND> seen;
  EnumChildWindows(window, [](HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&seen));
  // Top of the z-order first, and a new child goes to the bottom: creation order.
  EXPECT_EQ(seen, (std::vector<HWND>{a, b, c}));
  EXPECT_EQ(GetWindow(window, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), c);
  // A new top-level window goes on top of the others.
  HWND later = create_logging_window();
  EXPECT_EQ(GetWindow(window, GW_HWNDPREV), later);
}

TEST_F(PropertiesAndSubclassing, RectangleHelpers) {
  RECT a{0, 0, 10, 10}, b{5, 5, 20, 20}, out;
  EXPECT_TRUE(IntersectRect(&out, &a, &b));
  EXPECT_EQ(out.left, 5);
  EXPECT_EQ(out.right, 10);
  RECT far{30, 30, 40, 40};
  EXPECT_FALSE(IntersectRect(&out, &a, &far));
  EXPECT_TRUE(IsRectEmpty(&out));
  EXPECT_TRUE(UnionRect(&out, &a, &far));
  EXPECT_EQ(out.right, 40);
  EXPECT_TRUE(PtInRect(&a, POINT{0, 0}));
  EXPECT_FALSE(PtInRect(&a, POINT{10, 5}));  // right edge is outside
  InflateRect(&a, 2, 3);
  EXPECT_EQ(a.left, -2);
  EXPECT_EQ(a.bottom, 13);
}

TEST_F(PropertiesAndSubclassing, MovedRectanglesStayInRange) {
  RECT huge{INT32_MAX - 1, 0, INT32_MAX, 1};
  OffsetRect(&huge, 100, 0);  // saturates: overflowing a signed int is undefined in C++
  EXPECT_EQ(huge.right, INT32_MAX);
}

}  // namespace
