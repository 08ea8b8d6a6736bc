// One session as a user would have it, without a display: the application's
// window with canvas 0 and its File menu, Ctrl+O, the open dialog answered
// while the timer ticks behind it, three files dropped on the canvas, the
// timer on the virtual clock, and the pixels the window shows.
#include <algorithm>

#include "platform/backend/headless/drag_script.h"
#include "platform/backend/headless/headless.h"
#include "runtime/graphics/canvas.h"
#include "runtime/graphics/canvas_output.h"
#include "runtime/graphics/draw_box.h"
#include "runtime/graphics/drawing_session.h"
#include "runtime/gui/drop.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_loop.h"
#include "runtime/gui/event_queue.h"
#include "runtime/gui/menu.h"
#include "runtime/gui/requester.h"
#include "runtime/gui/shortcut.h"
#include "runtime/gui/window.h"
#include "support/application_menu.h"
#include "support/gui_pixels.h"
#include "support/gui_runtime.h"

namespace {

constexpr UINT RAW_WM_TIMER = 275;

class SessionScenarioTest : public GuiRuntimeTest {
 protected:
  void SetUp() override {
    GuiRuntimeTest::SetUp();
    menu_height = GetSystemMetrics(SM_CYMENUSIZE);
    window = reinterpret_cast<HWND>(
        window_open(0, 0, 0, 600, 600 + menu_height, u"IFS render by Tarnwick", 0xCA0001, nullptr));
    ASSERT_NE(window, nullptr);
    first_showing = gui_drain_events();
    ASSERT_NE(canvas_create(0, 0, 0, 600, 600), 0);
    canvas = gadget_lookup(0)->handle;
    gadget_drop_enable(0, DROP_FILES, ACTION_COPY);
    build_application_menu();
  }

  // Waits as the application's loop does until a runtime event comes; the
  // raw message ids returned on the way are kept too.
  SeenEvent wait_for_event() {
    for (int step = 0; step < 1000; ++step) {
      const std::int32_t code = event_wait(-1);
      if (code >= EVENT_GADGET && code <= EVENT_SIZE)
        return SeenEvent{code, event_menu_item(), event_window(), event_type()};
      raw_messages.push_back(code);
    }
    return SeenEvent{0, 0, 0, 0};
  }

  int menu_height = 0;
  std::vector<SeenEvent> first_showing;
  HWND window = nullptr;
  HWND canvas = nullptr;
  std::vector<std::int32_t> raw_messages;
};

TEST_F(SessionScenarioTest, ShortcutDialogDropAndTimerEventsComeInOrderAndTheWindowShowsTheCanvas) {
  // The first showing's events carry no window number: the loop ignores them.
  ASSERT_FALSE(first_showing.empty());
  for (const SeenEvent& event : first_showing) EXPECT_EQ(event.window, -1) << event;
  // Attaching the menu bar moved and shrank the client area: window 0 now.
  const std::vector<SeenEvent> menu_attached = gui_drain_events();
  EXPECT_NE(std::find(menu_attached.begin(), menu_attached.end(), SeenEvent{EVENT_SIZE, 0, 0, 0}),
            menu_attached.end());
  const BackendTime start = headless_now();
  ASSERT_NE(timer_add(0, 123, 1500), 0);

  headless_script_key_press(start + 100, window, 'O', HEADLESS_CONTROL);
  EXPECT_EQ(wait_for_event(), (SeenEvent{EVENT_MENU, 0, 0, 0}));
  EXPECT_EQ(headless_now(), start + 100) << "the key came before the first tick";

  // The dialog stays open over two ticks; they leave one timer event behind it.
  headless_answer_file_dialog(u"/data/fern.ifs", 1, 3200);
  EXPECT_EQ(requester_open_file(u"Load IFS", nullptr, u"IFS data (*.ifs)|*.ifs", 0), u"/data/fern.ifs");
  EXPECT_EQ(requester_selected_pattern(), 0);
  ASSERT_EQ(headless_requesters_shown().size(), 1u);
  EXPECT_FALSE(headless_requesters_shown()[0].owner_enabled);
  EXPECT_TRUE(IsWindowEnabled(window));

  const HeadlessDragResult drop = headless_drag_files(
      canvas, {u"/data/a.ifs", u"/data/b.ifs", u"/data/c.ifs"}, POINT{300, 300}, DROPEFFECT_COPY, 0);
  EXPECT_EQ(drop.final_effect, static_cast<DWORD>(DROPEFFECT_COPY));

  // What is queued now, in order: the window lost and regained activation
  // around the dialog, one tick in between, then the drop.
  std::vector<SeenEvent> queued;
  std::u16string dropped;
  while (const std::int32_t code = event_wait(0)) {
    if (code < EVENT_GADGET || code > EVENT_SIZE) continue;
    queued.push_back(SeenEvent{code, event_menu_item(), event_window(), event_type()});
    if (code == EVENT_GADGET_DROP) dropped = event_dropped_files();
  }
  EXPECT_EQ(queued, (std::vector<SeenEvent>{{EVENT_DEACTIVATE, 0, 0, 0},
                                            {EVENT_TIMER, 123, 0, 0},
                                            {EVENT_ACTIVATE, 0, 0, 0},
                                            {EVENT_GADGET_DROP, 0, 0, 0}}));
  EXPECT_EQ(dropped, u"/data/a.ifs\n/data/b.ifs\n/data/c.ifs");

  // Nothing else pending: the wait runs the virtual clock to the next tick.
  raw_messages.clear();
  EXPECT_EQ(wait_for_event(), (SeenEvent{EVENT_TIMER, 123, 0, 0}));
  EXPECT_EQ(raw_messages, (std::vector<std::int32_t>{RAW_WM_TIMER}));
  EXPECT_EQ(headless_now(), start + 4500) << "three intervals after the timer started";

  ASSERT_NE(drawing_begin(canvas_output(0)), 0);
  draw_box(0, 0, 600, 600, 0x000000);
  draw_box(10, 20, 2, 1, 0xFFBEFF);
  drawing_end();
  const DibView picture =
      dib_view(reinterpret_cast<HBITMAP>(gadget_attribute_get(0, CANVAS_BACK_BUFFER)));
  int differing = 0;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 600; ++x) differing += headless_surface_pixel(window, x, y) != dib_pixel(picture, x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(headless_surface_pixel(window, 10, 20), 0xFFBEFFu);
  EXPECT_EQ(headless_surface_pixel(window, 11, 20), 0xFFBEFFu);
  EXPECT_EQ(headless_surface_pixel(window, 12, 20), 0x000000u);
  // The menu bar takes the height added for it: the canvas fills the client area.
  const SIZE shown = headless_surface_size(window);
  EXPECT_EQ(shown.cx, 600);
  EXPECT_EQ(shown.cy, 600);
}

}  // namespace
