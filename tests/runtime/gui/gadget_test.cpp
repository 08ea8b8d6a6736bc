#include "runtime/gui/gadget.h"

#include <algorithm>

#include "support/gui_runtime.h"
#include "platform/win32/kernel32.h"
#include "runtime/graphics/canvas.h"
#include "runtime/graphics/canvas_output.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_queue.h"
#include "runtime/gui/gadget_list.h"
#include "runtime/gui/window.h"

namespace {

// A control kind of the test's own, to see what the generic layer routes.
std::vector<UINT> notified;
LRESULT note_notification(GadgetObject*, HWND, UINT message, WPARAM, LPARAM) {
  notified.push_back(message);
  return 77;
}
const GadgetKindTable TEST_KIND = {99, sizeof(GadgetKindTable), note_notification, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, {}};

std::vector<SeenEvent> queued_events() {
  std::vector<SeenEvent> events;
  while (const std::int32_t code = event_pop())
    events.push_back(SeenEvent{code, event_menu_item(), event_window(), event_type()});
  return events;
}

RECT rectangle_in_parent(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

class GadgetTest : public GuiRuntimeTest {
 protected:
  void SetUp() override {
    GuiRuntimeTest::SetUp();
    window = reinterpret_cast<HWND>(window_open(0, 0, 0, 600, 600, u"gadgets", 0xCA0001, nullptr));
    ASSERT_NE(window, nullptr);
    gui_drain_events();
  }

  HWND make_test_control(ObjectId number) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = u"TestControl";
    RegisterClassW(&window_class);
    HWND control = CreateWindowExW(0, u"TestControl", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, window, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    auto* record = static_cast<GadgetObject*>(object_allocate(gadget_registry(), number));
    gadget_register(number, record, control, &TEST_KIND);
    return control;
  }

  HWND window = nullptr;
};

TEST_F(GadgetTest, DestroyingAControlRemovesOnlyItsControlEvents) {
  ASSERT_NE(canvas_create(1, 0, 0, 10, 10), 0);
  ASSERT_NE(canvas_create(2, 20, 0, 10, 10), 0);
  gui_drain_events();
  SendMessageW(gadget_lookup(1)->handle, WM_CHAR, 'a', 0);
  event_push(EVENT_TIMER, 123, 0, 0, nullptr, nullptr);
  SendMessageW(gadget_lookup(2)->handle, WM_CHAR, 'b', 0);
  SendMessageW(gadget_lookup(1)->handle, WM_CHAR, 'c', 0);
  gadget_free(1);
  EXPECT_EQ(gadget_lookup(1), nullptr);
  EXPECT_EQ(queued_events(), (std::vector<SeenEvent>{{EVENT_TIMER, 123, 0, 0},
                                                     {EVENT_GADGET, 2, 0, CANVAS_CHARACTER}}));
}

TEST_F(GadgetTest, AskingForTheContainerChangesNothing) {
  EXPECT_EQ(gadget_list_use(nullptr), window);
  EXPECT_EQ(gadget_list_use(nullptr), window);
  ASSERT_NE(canvas_create(1, 0, 0, 10, 10), 0);
  EXPECT_EQ(GetParent(gadget_lookup(1)->handle), window);
}

TEST_F(GadgetTest, ControlsGoIntoTheCurrentContainer) {
  HWND other = reinterpret_cast<HWND>(window_open(1, 0, 0, 100, 100, u"other", 0xCA0001 | 0x8, nullptr));
  EXPECT_EQ(gadget_list_use(nullptr), window) << "flag 8 leaves the container alone";
  EXPECT_EQ(gadget_list_use(other), window);
  ASSERT_NE(canvas_create(1, 0, 0, 10, 10), 0);
  EXPECT_EQ(GetParent(gadget_lookup(1)->handle), other);
  EXPECT_EQ(gadget_list_use(window), other);
  ASSERT_NE(canvas_create(2, 0, 0, 10, 10), 0);
  EXPECT_EQ(GetParent(gadget_lookup(2)->handle), window);
  // A destroyed container is no longer current.
  window_close(0);
  EXPECT_EQ(gadget_list_use(nullptr), nullptr);
  EXPECT_EQ(canvas_create(3, 0, 0, 10, 10), 0) << "a child needs a parent";
}

TEST_F(GadgetTest, ResizingWithIgnoredPositionKeepsThePosition) {
  ASSERT_NE(canvas_create(1, 10, 20, 100, 100), 0);
  GadgetObject* record = gadget_lookup(1);
  gadget_resize(record, COORD_IGNORE, COORD_IGNORE, 50, 60);
  const RECT rect = rectangle_in_parent(record->handle);
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.top, 20);
  EXPECT_EQ(rect.right - rect.left, 50);
  EXPECT_EQ(rect.bottom - rect.top, 60);
  gadget_resize(record, 30, COORD_IGNORE, COORD_IGNORE, COORD_IGNORE);
  const RECT moved = rectangle_in_parent(record->handle);
  EXPECT_EQ(moved.left, 30);
  EXPECT_EQ(moved.top, 20);
  EXPECT_EQ(moved.right - moved.left, 50);
}

TEST_F(GadgetTest, NotificationsReachTheControlsKindAndOthersBecomeControlEvents) {
  notified.clear();
  HWND control = make_test_control(5);
  EXPECT_EQ(GetWindowLongW(control, GWL_ID), 5);
  EXPECT_EQ(SendMessageW(window, WM_COMMAND, MAKEWPARAM(5, 1), reinterpret_cast<LPARAM>(control)), 0);
  EXPECT_EQ(SendMessageW(window, WM_HSCROLL, 0, reinterpret_cast<LPARAM>(control)), 77);
  EXPECT_EQ(notified, (std::vector<UINT>{WM_COMMAND, WM_HSCROLL}));
  EXPECT_TRUE(queued_events().empty());
  EXPECT_EQ(canvas_output(5), nullptr) << "not a canvas";
  EXPECT_EQ(gadget_attribute_get(5, CANVAS_BACK_BUFFER), 0) << "the kind has no attributes";

  // A canvas has no notification handler: its commands become control events.
  ASSERT_NE(canvas_create(6, 0, 0, 10, 10), 0);
  gui_drain_events();
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(6, 3), reinterpret_cast<LPARAM>(gadget_lookup(6)->handle));
  EXPECT_EQ(queued_events(), (std::vector<SeenEvent>{{EVENT_GADGET, 6, 0, 3}}));
}

// Notifications, colour requests and the runtime's own control message go to the kind of the control
// that sent them (named in lParam, or in the notification header), and its result is the answer.
TEST_F(GadgetTest, NotifyColourAndPrivateMessagesReachTheSendingControlsKind) {
  notified.clear();
  HWND control = make_test_control(5);
  const std::vector<UINT> by_handle = {WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN, WM_CTLCOLORSTATIC,
                                       WM_VSCROLL, 13120};
  for (UINT message : by_handle)
    EXPECT_EQ(SendMessageW(window, message, 0, reinterpret_cast<LPARAM>(control)), 77) << message;
  NMHDR header{control, 5, 12};
  EXPECT_EQ(SendMessageW(window, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)), 77);
  std::vector<UINT> expected = by_handle;
  expected.push_back(WM_NOTIFY);
  EXPECT_EQ(notified, expected);

  // Not from a bound control: the window itself, nobody, or a control whose id no longer matches
  // its "ZQ_ID".
  notified.clear();
  SendMessageW(window, WM_CTLCOLORBTN, 0, reinterpret_cast<LPARAM>(window));
  SendMessageW(window, 13120, 0, 0);
  NMHDR from_window{window, 0, 12};
  SendMessageW(window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&from_window));
  SetWindowLongW(control, GWL_ID, 6);
  SendMessageW(window, WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(control));
  EXPECT_TRUE(notified.empty());
  EXPECT_TRUE(queued_events().empty());
}

std::vector<HWND> colour_changes;
LRESULT note_colour_change(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_SYSCOLORCHANGE) colour_changes.push_back(window);
  return DefWindowProcW(window, message, wparam, lparam);
}

TEST_F(GadgetTest, ASystemColourChangeIsPassedToEveryChildWindow) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = note_colour_change;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = u"ColourChild";
  RegisterClassW(&window_class);
  auto make_child = [](HWND parent) {
    return CreateWindowExW(0, u"ColourChild", nullptr, WS_CHILD, 0, 0, 5, 5, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  };
  HWND child = make_child(window);
  HWND grandchild = make_child(child);
  HWND second = make_child(window);
  colour_changes.clear();
  SendMessageW(window, WM_SYSCOLORCHANGE, 0, 0);
  std::sort(colour_changes.begin(), colour_changes.end());
  std::vector<HWND> expected = {child, grandchild, second};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(colour_changes, expected);
  UnregisterClassW(u"ColourChild", GetModuleHandleW(nullptr));
}

TEST_F(GadgetTest, AnAutoIdControlIsKnownByItsDynamicId) {
  const std::intptr_t id = canvas_create(AUTO_ID, 0, 0, 10, 10);
  ASSERT_NE(id, 0);
  GadgetObject* record = gadget_lookup(id);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(dynamic_id_of(record), id);
  gui_drain_events();
  SendMessageW(record->handle, WM_CHAR, 'z', 0);
  EXPECT_EQ(queued_events(), (std::vector<SeenEvent>{{EVENT_GADGET, id, 0, CANVAS_CHARACTER}}));
  gadget_free(id);
  EXPECT_EQ(gadget_lookup(id), nullptr);
}

}  // namespace
