// Activation, the keyboard focus kept across it, keyboard cues and the cases
// in which shortcuts are not applied.
#include <algorithm>

#include "platform/backend/headless/headless.h"
#include "platform/win32/kernel32.h"
#include "runtime/graphics/canvas.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_loop.h"
#include "runtime/gui/shortcut.h"
#include "runtime/gui/window.h"
#include "runtime/gui/window_proc.h"
#include "support/gui_runtime.h"

namespace {

constexpr LRESULT CUES_HIDDEN = UISF_HIDEFOCUS | UISF_HIDEACCEL;

bool has_event(const std::vector<SeenEvent>& events, const SeenEvent& wanted) {
  return std::find(events.begin(), events.end(), wanted) != events.end();
}

class WindowFocusTest : public GuiRuntimeTest {
 protected:
  void SetUp() override {
    GuiRuntimeTest::SetUp();
    window = reinterpret_cast<HWND>(window_open(0, 0, 0, 600, 600, u"focus", 0xCA0001, nullptr));
    ASSERT_NE(window, nullptr);
    ASSERT_NE(canvas_create(1, 0, 0, 100, 100, CANVAS_KEYBOARD), 0);
    ASSERT_NE(canvas_create(2, 100, 0, 100, 100, CANVAS_KEYBOARD), 0);
    shortcut_add(0, 0x20053, 1);
    gui_drain_events();
  }

  HWND control(ObjectId number) { return gadget_lookup(number)->handle; }

  HWND window = nullptr;
};

TEST_F(WindowFocusTest, TheFocusComesBackWhenTheWindowIsActivatedAgain) {
  SetFocus(control(2));
  gui_drain_events();
  HWND other = reinterpret_cast<HWND>(window_open(1, 0, 0, 50, 50, u"other", 0xCA0001 | 0x8, nullptr));
  ASSERT_EQ(GetActiveWindow(), other);
  std::vector<SeenEvent> events = gui_drain_events();
  EXPECT_TRUE(has_event(events, SeenEvent{EVENT_DEACTIVATE, 0, 0, 0}));
  EXPECT_EQ(SendMessageW(window, WM_QUERYUISTATE, 0, 0) & CUES_HIDDEN, CUES_HIDDEN) << "cues hidden on leaving";

  SetFocus(nullptr);
  SetActiveWindow(window);
  events = gui_drain_events();
  EXPECT_TRUE(has_event(events, SeenEvent{EVENT_ACTIVATE, 0, 0, 0}));
  EXPECT_EQ(GetFocus(), control(2));
}

TEST_F(WindowFocusTest, KeyboardCuesShownByAShortcutHideAgainWhenTheWindowIsLeft) {
  headless_key_press(window, 'S', HEADLESS_CONTROL);
  gui_drain_events();
  ASSERT_EQ(SendMessageW(window, WM_QUERYUISTATE, 0, 0) & CUES_HIDDEN, 0);
  HWND other = reinterpret_cast<HWND>(window_open(1, 0, 0, 50, 50, u"other", 0xCA0001 | 0x8, nullptr));
  ASSERT_EQ(GetActiveWindow(), other);
  gui_drain_events();
  EXPECT_EQ(SendMessageW(window, WM_QUERYUISTATE, 0, 0) & CUES_HIDDEN, CUES_HIDDEN);
}

TEST_F(WindowFocusTest, AShortcutShowsTheKeyboardCues) {
  window_event_proc(window, WM_ACTIVATE, WA_INACTIVE, 0);
  SetActiveWindow(window);
  ASSERT_EQ(SendMessageW(window, WM_QUERYUISTATE, 0, 0) & CUES_HIDDEN, CUES_HIDDEN);
  headless_key_press(window, 'S', HEADLESS_CONTROL);
  const std::vector<SeenEvent> events = gui_drain_events();
  EXPECT_TRUE(has_event(events, SeenEvent{EVENT_MENU, 1, 0, 0}));
  EXPECT_EQ(SendMessageW(window, WM_QUERYUISTATE, 0, 0) & CUES_HIDDEN, 0);
}

TEST_F(WindowFocusTest, NoShortcutsWhileAHotKeyControlHasTheFocus) {
  SetFocus(control(1));
  SetPropW(control(1), PROPERTY_HOTKEY, reinterpret_cast<HANDLE>(1));
  EXPECT_EQ(event_loop_shortcut_table(window), nullptr);
  headless_key_press(window, 'S', HEADLESS_CONTROL);
  std::vector<SeenEvent> events = gui_drain_events();
  EXPECT_FALSE(has_event(events, SeenEvent{EVENT_MENU, 1, 0, 0}));
  RemovePropW(control(1), PROPERTY_HOTKEY);
  EXPECT_EQ(event_loop_shortcut_table(window), window_lookup(0)->shortcut_table);
  EXPECT_EQ(event_loop_shortcut_table(nullptr), nullptr);
}

TEST_F(WindowFocusTest, ClickingAKeyboardCanvasGivesItTheFocus) {
  SetFocus(control(1));
  gui_drain_events();
  headless_click(window, INPUT_BUTTON_LEFT, POINT{150, 50});
  const std::vector<SeenEvent> events = gui_drain_events();
  EXPECT_EQ(GetFocus(), control(2));
  EXPECT_TRUE(has_event(events, SeenEvent{EVENT_GADGET, 1, 0, CANVAS_FOCUS_LOST}));
  EXPECT_TRUE(has_event(events, SeenEvent{EVENT_GADGET, 2, 0, CANVAS_FOCUS_GAINED}));
  EXPECT_TRUE(has_event(events, SeenEvent{EVENT_GADGET, 2, 0, CANVAS_LEFT_CLICK}));
}

TEST_F(WindowFocusTest, AToolWindowCanBeNarrowedToOnePixel) {
  HWND tool = reinterpret_cast<HWND>(window_open(1, 0, 0, 50, 50, u"tool", WS_POPUP | 0x4 | 0x8, nullptr));
  ASSERT_NE(tool, nullptr);
  EXPECT_EQ(GetWindowLongW(tool, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW);
  MINMAXINFO limits{};
  limits.ptMinTrackSize.x = 100;
  EXPECT_EQ(window_event_proc(tool, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits)), 0);
  EXPECT_EQ(limits.ptMinTrackSize.x, 1);
  limits.ptMinTrackSize.x = 100;
  window_event_proc(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, 100) << "only tool windows";
}

// A stand-in for an edit control: answers EM_GETOPTIONS as told and counts the Tab keys it is given.
LPARAM edit_options = 0;
int tabs_received = 0;
LRESULT edit_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == EM_GETOPTIONS) return edit_options;
  if (message == WM_KEYDOWN && wparam == VK_TAB) ++tabs_received;
  return DefWindowProcW(window, message, wparam, lparam);
}

// A writable rich-edit control gets Tab itself; read-only, with a modifier, or of another class, the
// Tab shortcut moves the focus on as for any control.
TEST_F(WindowFocusTest, AWritableRichEditKeepsPlainTab) {
  HWND rich = nullptr, plain = nullptr;
  for (const char16_t* name : {u"RichEdit20W", u"TestEdit"}) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = edit_proc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = name;
    RegisterClassW(&window_class);
    (name[0] == u'R' ? rich : plain) = CreateWindowExW(0, name, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 300, 0,
                                                      50, 50, window, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  auto tab_from = [&](HWND focus, LPARAM options, UINT modifiers) {
    edit_options = options;
    tabs_received = 0;
    SetFocus(focus);
    gui_drain_events();
    headless_key_press(window, VK_TAB, modifiers);
    gui_drain_events();
    return GetFocus();
  };
  EXPECT_EQ(tab_from(rich, 0, 0), rich);
  EXPECT_EQ(tabs_received, 1);
  EXPECT_NE(tab_from(rich, ECO_READONLY, 0), rich);
  EXPECT_EQ(tabs_received, 0);
  EXPECT_NE(tab_from(rich, 0, HEADLESS_SHIFT), rich);
  // Held with Ctrl, Tab leaves the window's shortcuts in force; held alone, it suspends them.
  edit_options = 0;
  SetFocus(rich);
  headless_key(window, VK_TAB, TRUE);
  gui_drain_events();
  EXPECT_EQ(event_loop_shortcut_table(window), nullptr);
  headless_key(window, VK_CONTROL, TRUE);
  gui_drain_events();
  EXPECT_EQ(event_loop_shortcut_table(window), window_lookup(0)->shortcut_table);
  headless_key(window, VK_CONTROL, FALSE);
  headless_key(window, VK_TAB, FALSE);
  gui_drain_events();
  EXPECT_NE(tab_from(plain, 0, 0), plain);
  EXPECT_EQ(tabs_received, 0);
  DestroyWindow(rich);
  DestroyWindow(plain);
  UnregisterClassW(u"RichEdit20W", GetModuleHandleW(nullptr));
  UnregisterClassW(u"TestEdit", GetModuleHandleW(nullptr));
}

}  // namespace
