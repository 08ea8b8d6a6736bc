#include "runtime/gui/window.h"

#include <algorithm>
#include <string>

#include "support/gui_runtime.h"
#include "platform/backend/headless/headless.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_loop.h"
#include "runtime/gui/event_queue.h"
#include "runtime/gui/window_proc.h"

namespace {

constexpr std::uint32_t APPLICATION_FLAGS = 0xCA0001;
constexpr UINT RAW_WM_TIMER = 275;

// What is queued now, without pumping any message.
std::vector<SeenEvent> queued_events() {
  std::vector<SeenEvent> events;
  while (const std::int32_t code = event_pop())
    events.push_back(SeenEvent{code, event_menu_item(), event_window(), event_type()});
  return events;
}

std::vector<std::int32_t> queued_codes() {
  std::vector<std::int32_t> codes;
  for (const SeenEvent& event : queued_events()) codes.push_back(event.code);
  return codes;
}

class WindowTest : public GuiRuntimeTest {
 protected:
  HWND open_application_window() {
    menu_height = GetSystemMetrics(SM_CYMENUSIZE);
    result = window_open(0, 0, 0, 600, 600 + menu_height, u"IFS render by Tarnwick", APPLICATION_FLAGS, nullptr);
    return window_handle(0);
  }
  int menu_height = 0;
  std::intptr_t result = 0;
};

TEST_F(WindowTest, TheApplicationsWindowHasItsOwnClassA600WideClientAndIsCentred) {
  HWND handle = open_application_window();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(result, reinterpret_cast<std::intptr_t>(handle));
  char16_t class_name[64] = {};
  GetClassNameW(handle, class_name, 64);
  EXPECT_EQ(std::u16string(class_name), u"WindowClass_0");

  RECT client{};
  GetClientRect(handle, &client);
  EXPECT_EQ(client.right, 600);
  EXPECT_EQ(client.bottom, 600 + menu_height);

  RECT frame{};
  GetWindowRect(handle, &frame);
  const int screen_width = GetSystemMetrics(SM_CXSCREEN);
  const int screen_height = GetSystemMetrics(SM_CYSCREEN);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  EXPECT_EQ(frame.left, (screen_width - std::min(screen_width, width)) / 2);
  EXPECT_EQ(frame.top, (screen_height - std::min(screen_height, height)) / 2);
  EXPECT_TRUE(IsWindowVisible(handle));
  EXPECT_EQ(GetActiveWindow(), handle);
  EXPECT_EQ(window_number_from_handle(handle), 0);
  EXPECT_EQ(window_root_handle(handle), handle);
}

TEST_F(WindowTest, TheTitleChangesOnTheDisplayAndNotForAWindowThatIsNotOpen) {
  HWND window = open_application_window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window_title_set(0, u"IFS render by Tarnwick - fern"));
  EXPECT_EQ(headless_window_state(window).title, u"IFS render by Tarnwick - fern");
  EXPECT_TRUE(window_title_set(0, nullptr));
  EXPECT_EQ(headless_window_state(window).title, u"");
  EXPECT_FALSE(window_title_set(7, u"nobody"));
}

TEST_F(WindowTest, TheFirstShowingsEventsComeWithWindowMinusOne) {
  ASSERT_NE(open_application_window(), nullptr);
  const std::vector<SeenEvent> events = queued_events();
  ASSERT_FALSE(events.empty());
  for (const SeenEvent& event : events) EXPECT_EQ(event.window, -1) << event;
  const auto has = [&](std::int32_t code) {
    return std::any_of(events.begin(), events.end(), [&](const SeenEvent& event) { return event.code == code; });
  };
  EXPECT_TRUE(has(EVENT_ACTIVATE));
  EXPECT_TRUE(has(EVENT_REPAINT));
}

TEST_F(WindowTest, TheCloseBoxGivesACloseEventAndTheWindowStaysOpen) {
  HWND handle = open_application_window();
  gui_drain_events();
  headless_close_box(handle);
  const std::vector<SeenEvent> events = gui_drain_events();
  EXPECT_EQ(std::count(events.begin(), events.end(), SeenEvent{EVENT_CLOSE, 0, 0, 0}), 1);
  EXPECT_TRUE(IsWindow(handle));
  EXPECT_EQ(window_handle(0), handle);
}

TEST_F(WindowTest, ClosingAWindowLeavesNoneOfItsEventsQueued) {
  HWND handle = open_application_window();
  gui_drain_events();
  window_open(1, 10, 10, 100, 100, u"other", APPLICATION_FLAGS, nullptr);
  gui_drain_events();
  SendMessageW(handle, WM_CLOSE, 0, 0);
  SendMessageW(window_handle(1), WM_CLOSE, 0, 0);
  SendMessageW(handle, WM_MOVE, 0, 0);
  window_close(0);
  EXPECT_EQ(window_handle(0), nullptr);
  EXPECT_FALSE(IsWindow(handle));
  const std::vector<SeenEvent> events = gui_drain_events();
  for (const SeenEvent& event : events) EXPECT_NE(event.window, 0) << event;
  EXPECT_EQ(std::count(events.begin(), events.end(), SeenEvent{EVENT_CLOSE, 1, 1, 0}), 1);
  // The class went with the window: the same number opens again.
  EXPECT_NE(window_open(0, 0, 0, 50, 50, nullptr, APPLICATION_FLAGS, nullptr), 0);
}

TEST_F(WindowTest, ATimerMessageComesRawFirstAndAsATimerEventNext) {
  open_application_window();
  gui_drain_events();
  ASSERT_NE(timer_add(0, 123, 1500), 0);
  headless_advance_clock(1500);
  EXPECT_EQ(event_wait(-1), static_cast<std::int32_t>(RAW_WM_TIMER));
  EXPECT_EQ(event_wait(-1), EVENT_TIMER);
  EXPECT_EQ(event_menu_item(), 123);
  EXPECT_EQ(event_window(), 0);
}

TEST_F(WindowTest, WaitingWithTimeoutZeroReturnsAtOnceWhenNothingIsPending) {
  open_application_window();
  gui_drain_events();
  const BackendTime before = headless_now();
  EXPECT_EQ(event_wait(0), 0);
  EXPECT_EQ(headless_now(), before);
}

TEST_F(WindowTest, WaitingWithATimeoutEndsAtTheTimeoutOrAtTheFirstMessage) {
  open_application_window();
  gui_drain_events();
  ASSERT_NE(timer_add(0, 7, 150), 0);
  const BackendTime start = headless_now();
  EXPECT_EQ(event_wait(100), 0);
  EXPECT_GE(headless_now(), start + 100);
  EXPECT_LT(headless_now(), start + 150);
  EXPECT_EQ(event_wait(100), static_cast<std::int32_t>(RAW_WM_TIMER));
  EXPECT_EQ(event_wait(100), EVENT_TIMER);
  EXPECT_EQ(event_menu_item(), 7);
}

TEST_F(WindowTest, TimerMessagesCoalesceOnlyWhenNothingCameBetween) {
  HWND handle = open_application_window();
  gui_drain_events();
  queued_events();
  window_event_proc(handle, WM_TIMER, 123, 0);
  window_event_proc(handle, WM_TIMER, 123, 0);
  EXPECT_EQ(queued_events(), (std::vector<SeenEvent>{{EVENT_TIMER, 123, 0, 0}}));
  window_event_proc(handle, WM_TIMER, 123, 0);
  window_event_proc(handle, WM_ERASEBKGND, 0, 0);
  window_event_proc(handle, WM_TIMER, 123, 0);
  EXPECT_EQ(queued_events(),
            (std::vector<SeenEvent>{{EVENT_TIMER, 123, 0, 0}, {EVENT_REPAINT, 0, 0, 0}, {EVENT_TIMER, 123, 0, 0}}));
  // A timer message for a window without a number is left to the default.
  EXPECT_EQ(window_event_proc(nullptr, WM_TIMER, 123, 0), static_cast<LRESULT>(NOT_HANDLED));
  EXPECT_TRUE(queued_events().empty());
}

TEST_F(WindowTest, TimersOfMissingWindowsAreRefused) { EXPECT_EQ(timer_add(5, 1, 100), 0); }

TEST_F(WindowTest, SizeMessagesTrackMinimizedAndMaximizedStates) {
  HWND handle = open_application_window();
  gui_drain_events();
  queued_events();
  window_event_proc(handle, WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_EQ(queued_codes(), (std::vector<std::int32_t>{EVENT_MINIMIZE}));
  window_event_proc(handle, WM_SIZE, SIZE_RESTORED, 0);
  EXPECT_EQ(queued_codes(), (std::vector<std::int32_t>{EVENT_RESTORE, EVENT_SIZE}));
  window_event_proc(handle, WM_SIZE, SIZE_MAXIMIZED, 0);
  EXPECT_EQ(queued_codes(), (std::vector<std::int32_t>{EVENT_MAXIMIZE, EVENT_SIZE}));
  window_event_proc(handle, WM_SIZE, SIZE_RESTORED, 0);
  EXPECT_EQ(queued_codes(), (std::vector<std::int32_t>{EVENT_RESTORE, EVENT_SIZE}));
  window_event_proc(handle, WM_SIZE, SIZE_RESTORED, 0);
  EXPECT_EQ(queued_codes(), (std::vector<std::int32_t>{EVENT_SIZE}));
  // A window without a number gets no size events.
  EXPECT_EQ(window_event_proc(nullptr, WM_SIZE, SIZE_RESTORED, 0), 1);
  EXPECT_TRUE(queued_events().empty());
}

TEST_F(WindowTest, CommandsBecomeMenuEventsExceptTheFocusCommands) {
  HWND handle = open_application_window();
  gui_drain_events();
  queued_events();
  window_event_proc(handle, WM_COMMAND, 2, 0);                             // a menu item
  window_event_proc(handle, WM_COMMAND, MAKEWPARAM(1, 1), 0);              // a shortcut
  window_event_proc(handle, WM_COMMAND, MAKEWPARAM(COMMAND_FOCUS_NEXT, 1), 0);
  window_event_proc(handle, WM_COMMAND, MAKEWPARAM(COMMAND_FOCUS_PREVIOUS, 1), 0);
  EXPECT_EQ(queued_events(), (std::vector<SeenEvent>{{EVENT_MENU, 2, 0, 0}, {EVENT_MENU, 1, 0, 0}}));
}

TEST_F(WindowTest, ClicksOnTheWindowItselfBecomeClickEvents) {
  HWND handle = open_application_window();
  gui_drain_events();
  queued_events();
  window_event_proc(handle, WM_LBUTTONUP, 0, 0);
  window_event_proc(handle, WM_LBUTTONDBLCLK, 0, 0);
  window_event_proc(handle, WM_RBUTTONUP, 0, 0);
  EXPECT_EQ(queued_codes(),
            (std::vector<std::int32_t>{EVENT_LEFT_CLICK, EVENT_LEFT_DOUBLE_CLICK, EVENT_RIGHT_CLICK}));
}

TEST_F(WindowTest, AnAutoIdWindowIsKnownByItsWholeDynamicId) {
  const std::intptr_t id = window_open(AUTO_ID, 0, 0, 100, 100, u"auto", APPLICATION_FLAGS, nullptr);
  ASSERT_NE(id, 0);
  HWND handle = window_handle(id);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(window_number_from_handle(handle), id);
  gui_drain_events();
  SendMessageW(handle, WM_CLOSE, 0, 0);
  EXPECT_EQ(queued_events(), (std::vector<SeenEvent>{{EVENT_CLOSE, id, id, 0}}));
  window_close(id);
  EXPECT_EQ(window_handle(id), nullptr);
  EXPECT_FALSE(IsWindow(handle));
}

TEST_F(WindowTest, CloseAllClosesEveryWindow) {
  HWND first = open_application_window();
  window_open(3, 0, 0, 10, 10, nullptr, APPLICATION_FLAGS, nullptr);
  const std::intptr_t dynamic = window_open(AUTO_ID, 0, 0, 10, 10, nullptr, APPLICATION_FLAGS, nullptr);
  window_close(AUTO_ID);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(window_handle(0), nullptr);
  EXPECT_EQ(window_handle(3), nullptr);
  EXPECT_EQ(window_handle(dynamic), nullptr);
}

TEST_F(WindowTest, ClosingAnOwnedWindowActivatesItsOwner) {
  HWND owner = open_application_window();
  HWND owned = reinterpret_cast<HWND>(window_open(1, 0, 0, 50, 50, u"owned", APPLICATION_FLAGS, owner));
  HWND other = reinterpret_cast<HWND>(window_open(2, 0, 0, 50, 50, u"other", APPLICATION_FLAGS, nullptr));
  ASSERT_EQ(GetWindow(owned, GW_OWNER), owner);
  ASSERT_EQ(GetActiveWindow(), other);
  window_close(1);
  EXPECT_EQ(GetActiveWindow(), owner) << "the owner, although another window was active";
}

}  // namespace
