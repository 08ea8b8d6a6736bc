#include "runtime/graphics/canvas.h"

#include <algorithm>

#include "support/gui_pixels.h"
#include "support/gui_runtime.h"
#include "platform/backend/headless/headless.h"
#include "runtime/graphics/canvas_output.h"
#include "runtime/graphics/dib.h"
#include "runtime/graphics/draw_box.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_loop.h"
#include "runtime/gui/event_queue.h"
#include "runtime/gui/window.h"

namespace {

constexpr std::uint32_t WHITE = 0xFFFFFF;

// A canvas event as the application could read it after event_wait.
struct CanvasEvent {
  std::int32_t type;
  std::intptr_t wheel;
  std::intptr_t character;
  bool operator==(const CanvasEvent&) const = default;
};

class CanvasTest : public GuiRuntimeTest {
 protected:
  void SetUp() override {
    GuiRuntimeTest::SetUp();
    window = reinterpret_cast<HWND>(window_open(0, 0, 0, 600, 600, u"canvas", 0xCA0001, nullptr));
    ASSERT_NE(window, nullptr);
    ASSERT_NE(canvas_create(0, 0, 0, 600, 600), 0);
    canvas = gadget_lookup(0)->handle;
    gui_drain_events();
  }

  HBITMAP back_buffer(ObjectId number = 0) {
    return reinterpret_cast<HBITMAP>(gadget_attribute_get(number, CANVAS_BACK_BUFFER));
  }

  // Canvas events of control 0 handed out by event_wait, with the wheel and
  // character read while each is current.
  std::vector<CanvasEvent> canvas_events() {
    std::vector<CanvasEvent> events;
    while (const std::int32_t code = event_wait(0)) {
      if (code != EVENT_GADGET || event_menu_item() != 0) continue;
      events.push_back(CanvasEvent{event_type(), gadget_attribute_get(0, CANVAS_EVENT_WHEEL),
                                   gadget_attribute_get(0, CANVAS_EVENT_CHARACTER)});
    }
    return events;
  }

  std::vector<std::int32_t> canvas_types() {
    std::vector<std::int32_t> types;
    for (const CanvasEvent& event : canvas_events()) types.push_back(event.type);
    return types;
  }

  void send(UINT message, WPARAM wparam, int x, int y) { SendMessageW(canvas, message, wparam, MAKELPARAM(x, y)); }

  HWND window = nullptr;
  HWND canvas = nullptr;
};

TEST_F(CanvasTest, ANewCanvasHasAWhiteBackBufferWith1800ByteRows) {
  const DibView view = dib_view(back_buffer());
  ASSERT_NE(view.bits, nullptr);
  EXPECT_EQ(view.width, 600);
  EXPECT_EQ(view.height, 600);
  EXPECT_EQ(view.bits_per_pixel, 24);
  EXPECT_EQ(view.row_bytes, 1800);
  EXPECT_TRUE(std::all_of(view.bits, view.bits + 1800 * 600, [](BYTE byte) { return byte == 0xFF; }));
}

TEST_F(CanvasTest, TheBorderFlagMakesTheBackBuffer4PixelsSmallerButNeverEmpty) {
  ASSERT_NE(canvas_create(1, 0, 0, 100, 50, CANVAS_BORDER), 0);
  DibView view = dib_view(back_buffer(1));
  EXPECT_EQ(view.width, 96);
  EXPECT_EQ(view.height, 46);
  ASSERT_NE(canvas_create(2, 0, 0, 3, 3, CANVAS_BORDER), 0);
  view = dib_view(back_buffer(2));
  EXPECT_EQ(view.width, 1);
  EXPECT_EQ(view.height, 1);
  EXPECT_EQ(GetWindowLongW(gadget_lookup(1)->handle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE);
}

TEST_F(CanvasTest, GrowingKeepsThePictureTopLeftAndShrinkingCropsIt) {
  const DibView before = dib_view(back_buffer());
  dib_set_pixel(before, 0, 0, 0x112233);
  dib_set_pixel(before, 599, 599, 0x445566);
  dib_set_pixel(before, 299, 199, 0x778899);
  GadgetObject* record = gadget_lookup(0);
  record->kind_table->resize(record, COORD_IGNORE, COORD_IGNORE, 700, 650);
  DibView grown = dib_view(back_buffer());
  ASSERT_EQ(grown.width, 700);
  ASSERT_EQ(grown.height, 650);
  EXPECT_EQ(dib_pixel(grown, 0, 0), 0x112233u);
  EXPECT_EQ(dib_pixel(grown, 599, 599), 0x445566u);
  EXPECT_EQ(dib_pixel(grown, 650, 620), WHITE);
  EXPECT_EQ(dib_pixel(grown, 600, 0), WHITE);

  record->kind_table->resize(record, COORD_IGNORE, COORD_IGNORE, 300, 200);
  const DibView shrunk = dib_view(back_buffer());
  ASSERT_EQ(shrunk.width, 300);
  ASSERT_EQ(shrunk.height, 200);
  EXPECT_EQ(dib_pixel(shrunk, 0, 0), 0x112233u);
  EXPECT_EQ(dib_pixel(shrunk, 299, 199), 0x778899u);
}

TEST_F(CanvasTest, WheelDeltasAddUpToWholeSteps) {
  send(WM_MOUSEWHEEL, MAKEWPARAM(0, 60), 10, 10);
  EXPECT_TRUE(canvas_events().empty());
  send(WM_MOUSEWHEEL, MAKEWPARAM(0, 60), 10, 10);
  EXPECT_EQ(canvas_events(), (std::vector<CanvasEvent>{{CANVAS_WHEEL, 1, 0}}));
  send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), 10, 10);
  EXPECT_EQ(canvas_events(), (std::vector<CanvasEvent>{{CANVAS_WHEEL, -2, 0}}));
}

TEST_F(CanvasTest, ReleasingOutsideGivesUpButNoClick) {
  headless_mouse_move(window, POINT{10, 10});
  headless_mouse_button(window, INPUT_BUTTON_LEFT, TRUE, POINT{10, 10});
  EXPECT_EQ(canvas_types(), (std::vector<std::int32_t>{CANVAS_MOUSE_ENTER, CANVAS_LEFT_DOWN}));
  EXPECT_EQ(GetCapture(), canvas);
  // Dragged past the window's right edge: the captured canvas still hears it.
  headless_mouse_move(window, POINT{700, 10});
  headless_mouse_button(window, INPUT_BUTTON_LEFT, FALSE, POINT{700, 10});
  const std::vector<std::int32_t> types = canvas_types();
  EXPECT_EQ(GetCapture(), nullptr);
  // Leaving and re-entering may be reported on the way; the release is the
  // last event and brings no click.
  ASSERT_FALSE(types.empty());
  EXPECT_EQ(types.back(), CANVAS_LEFT_UP);
  EXPECT_EQ(std::count(types.begin(), types.end(), CANVAS_LEFT_UP), 1);
  EXPECT_EQ(std::count(types.begin(), types.end(), CANVAS_LEFT_CLICK), 0);

  // The same press released inside is a click.
  headless_click(window, INPUT_BUTTON_LEFT, POINT{20, 20});
  const std::vector<std::int32_t> clicked = canvas_types();
  ASSERT_GE(clicked.size(), 3u);
  EXPECT_EQ(std::vector<std::int32_t>(clicked.end() - 3, clicked.end()),
            (std::vector<std::int32_t>{CANVAS_LEFT_DOWN, CANVAS_LEFT_UP, CANVAS_LEFT_CLICK}));
}

TEST_F(CanvasTest, ADoubleClickGivesDownUpClickDownDoubleUpClick) {
  send(WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
  send(WM_LBUTTONUP, 0, 10, 10);
  send(WM_LBUTTONDBLCLK, MK_LBUTTON, 10, 10);
  send(WM_LBUTTONUP, 0, 10, 10);
  EXPECT_EQ(canvas_types(), (std::vector<std::int32_t>{CANVAS_LEFT_DOWN, CANVAS_LEFT_UP, CANVAS_LEFT_CLICK,
                                                       CANVAS_LEFT_DOWN, CANVAS_LEFT_DOUBLE_CLICK, CANVAS_LEFT_UP,
                                                       CANVAS_LEFT_CLICK}));
}

TEST_F(CanvasTest, RightClicksAndMiddleButtons) {
  send(WM_RBUTTONDOWN, MK_RBUTTON, 5, 5);
  send(WM_RBUTTONUP, 0, 5, 5);
  send(WM_MBUTTONDOWN, MK_MBUTTON, 5, 5);
  send(WM_MBUTTONUP, 0, 5, 5);
  EXPECT_EQ(canvas_types(), (std::vector<std::int32_t>{CANVAS_RIGHT_DOWN, CANVAS_RIGHT_UP, CANVAS_RIGHT_CLICK,
                                                       CANVAS_MIDDLE_DOWN, CANVAS_MIDDLE_UP}));
}

TEST_F(CanvasTest, ControlCharactersRaiseNoEvent) {
  SendMessageW(canvas, WM_CHAR, 13, 0);
  SendMessageW(canvas, WM_CHAR, 31, 0);
  EXPECT_TRUE(canvas_events().empty());
  SendMessageW(canvas, WM_CHAR, 32, 0);
  SendMessageW(canvas, WM_CHAR, u'é', 0);
  EXPECT_EQ(canvas_events(), (std::vector<CanvasEvent>{{CANVAS_CHARACTER, 0, 32}, {CANVAS_CHARACTER, 0, u'é'}}));
}

TEST_F(CanvasTest, KeysMovesAndTheEventDataBelongToTheCurrentEventOnly) {
  std::vector<std::int32_t> types;
  std::vector<std::intptr_t> keys;
  std::vector<std::intptr_t> positions;
  // Each piece of input is handled before the next comes, as a user's would be.
  const auto collect = [&] {
    while (const std::int32_t code = event_wait(0)) {
      if (code != EVENT_GADGET) continue;
      EXPECT_EQ(event_window(), 0);
      types.push_back(event_type());
      keys.push_back(gadget_attribute_get(0, CANVAS_EVENT_KEY));
      if (event_type() != CANVAS_KEY_DOWN && event_type() != CANVAS_MOUSE_LEAVE) {
        positions.push_back(gadget_attribute_get(0, CANVAS_EVENT_X));
        positions.push_back(gadget_attribute_get(0, CANVAS_EVENT_Y));
      }
    }
  };
  SendMessageW(canvas, WM_KEYDOWN, 'A', 0);
  collect();
  headless_mouse_move(window, POINT{3, 4});
  collect();
  headless_mouse_move(window, POINT{5, 6});
  collect();
  headless_mouse_leave(window);
  collect();
  EXPECT_EQ(types, (std::vector<std::int32_t>{CANVAS_KEY_DOWN, CANVAS_MOUSE_ENTER, CANVAS_MOUSE_MOVE,
                                              CANVAS_MOUSE_LEAVE}));
  EXPECT_EQ(keys, (std::vector<std::intptr_t>{'A', 0, 0, 0}));
  EXPECT_EQ(positions, (std::vector<std::intptr_t>{3, 4, 5, 6}));
  // No canvas event is current now: the event attributes read 0.
  event_push(EVENT_MENU, 0, 0, 0, nullptr, nullptr);
  EXPECT_EQ(event_wait(0), EVENT_MENU);
  EXPECT_EQ(gadget_attribute_get(0, CANVAS_EVENT_KEY), 0);
  EXPECT_EQ(gadget_attribute_get(7, CANVAS_BACK_BUFFER), 0) << "no such control";
}

TEST_F(CanvasTest, CursorAttributes) {
  EXPECT_EQ(gadget_attribute_get(0, CANVAS_CURSOR_INDEX), 0);
  gadget_attribute_set(0, CANVAS_CURSOR_INDEX, 1);
  EXPECT_EQ(gadget_attribute_get(0, CANVAS_CURSOR_INDEX), 1);
  HCURSOR custom = LoadCursorW(nullptr, IDC_HAND);
  gadget_attribute_set(0, CANVAS_CUSTOM_CURSOR, reinterpret_cast<std::intptr_t>(custom));
  EXPECT_EQ(gadget_attribute_get(0, CANVAS_CURSOR_INDEX), -1);
  EXPECT_EQ(gadget_attribute_get(0, CANVAS_CUSTOM_CURSOR), reinterpret_cast<std::intptr_t>(custom));
  gadget_attribute_set(0, CANVAS_CURSOR_INDEX, 12);
  EXPECT_EQ(gadget_attribute_get(0, CANVAS_CURSOR_INDEX), -1) << "index 12 does not exist";
  gadget_attribute_set(0, CANVAS_CURSOR_CONFINED, 1);
  EXPECT_EQ(gadget_attribute_get(0, CANVAS_CURSOR_CONFINED), 1);
  gadget_attribute_set(0, CANVAS_CURSOR_CONFINED, 0);
  EXPECT_EQ(gadget_attribute_get(0, CANVAS_CURSOR_CONFINED), 0);
}

TEST_F(CanvasTest, WithFlag2TheCursorIsConfinedWhileAButtonIsHeld) {
  ASSERT_NE(canvas_create(1, 10, 20, 100, 50, CANVAS_CONFINE), 0);
  HWND confining = gadget_lookup(1)->handle;
  SendMessageW(confining, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(gadget_attribute_get(1, CANVAS_CURSOR_CONFINED), 1);
  EXPECT_EQ(GetCapture(), confining);
  RECT clip{};
  GetClipCursor(&clip);
  POINT origin{0, 0};
  ClientToScreen(confining, &origin);
  EXPECT_EQ(clip.left, origin.x);
  EXPECT_EQ(clip.top, origin.y);
  EXPECT_EQ(clip.right - clip.left, 100);
  EXPECT_EQ(clip.bottom - clip.top, 50);
  // A second button does not confine again; releasing the last one frees.
  SendMessageW(confining, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, MAKELPARAM(5, 5));
  SendMessageW(confining, WM_RBUTTONUP, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(gadget_attribute_get(1, CANVAS_CURSOR_CONFINED), 1);
  SendMessageW(confining, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(gadget_attribute_get(1, CANVAS_CURSOR_CONFINED), 0);
  EXPECT_EQ(GetCapture(), nullptr);

  // Disabling the canvas frees a confined cursor.
  SendMessageW(confining, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EnableWindow(confining, FALSE);
  EXPECT_EQ(gadget_attribute_get(1, CANVAS_CURSOR_CONFINED), 0);
}

TEST_F(CanvasTest, AFocusFrameIsDrawnOnlyWhileTheCanvasHasTheFocus) {
  ASSERT_NE(canvas_create(1, 0, 0, 40, 40, CANVAS_FOCUS_FRAME | CANVAS_KEYBOARD), 0);
  HWND framed = gadget_lookup(1)->handle;
  auto* record = reinterpret_cast<CanvasObject*>(gadget_lookup(1));
  SetFocus(canvas);
  canvas_paint(record, nullptr);
  EXPECT_EQ(headless_surface_pixel(window, 2, 20), WHITE);
  SetFocus(framed);
  canvas_paint(record, nullptr);
  // The dotted frame runs 2 pixels inside the edge; somewhere on it a pixel changed.
  int changed = 0;
  for (int y = 2; y < 38; ++y) changed += headless_surface_pixel(window, 2, y) != WHITE;
  EXPECT_GT(changed, 0);
  for (int y = 3; y < 37; ++y) EXPECT_EQ(headless_surface_pixel(window, 20, y), WHITE) << "inside stays";
  const DibView view = dib_view(back_buffer(1));
  EXPECT_EQ(dib_pixel(view, 2, 20), WHITE) << "the frame is not drawn into the picture";
}

TEST_F(CanvasTest, SettingTheBackBufferAttributeCopiesABitmapIn) {
  HBITMAP source = dib_create(2, 2, 24);
  ASSERT_NE(source, nullptr);
  const DibView source_view = dib_view(source);
  dib_set_pixel(source_view, 0, 0, 0x0000FF);
  dib_set_pixel(source_view, 1, 1, 0x00FF00);
  gadget_attribute_set(0, CANVAS_BACK_BUFFER, reinterpret_cast<std::intptr_t>(source));
  const DibView view = dib_view(back_buffer());
  EXPECT_EQ(dib_pixel(view, 0, 0), 0x0000FFu);
  EXPECT_EQ(dib_pixel(view, 1, 1), 0x00FF00u);
  EXPECT_EQ(dib_pixel(view, 1, 0), 0u) << "a new DIB is black";
  EXPECT_EQ(dib_pixel(view, 2, 0), WHITE);
  EXPECT_EQ(headless_surface_pixel(window, 0, 0), 0x0000FFu) << "and shown";
  DeleteObject(source);
}

class CanvasOutputTest : public CanvasTest {};

TEST_F(CanvasOutputTest, ASessionOnThe600CanvasDescribesItsBackBuffer) {
  const DWORD batch_limit = GdiGetBatchLimit();
  DrawingSession* session = canvas_output(0);
  ASSERT_NE(session, nullptr);
  EXPECT_EQ(session->width, 600);
  EXPECT_EQ(session->height, 600);
  EXPECT_EQ(session->row_size, 1800);
  EXPECT_EQ(session->pixel_bytes, 3);
  EXPECT_TRUE(session->bottom_up);
  EXPECT_EQ(session->pixel_format, 0x8010u);
  EXPECT_EQ(session->buffer, dib_view(back_buffer()).bits);
  EXPECT_EQ(GdiGetBatchLimit(), 1u);
  ASSERT_NE(drawing_begin(session), 0);
  drawing_end();
  EXPECT_EQ(GdiGetBatchLimit(), batch_limit);
  EXPECT_EQ(drawing_current(), nullptr);
}

TEST_F(CanvasOutputTest, EndingASessionShowsTheDrawingOnTheWindowAtOnce) {
  ASSERT_NE(drawing_begin(canvas_output(0)), 0);
  draw_box(0, 0, 2, 1, 0x0000FF);
  draw_box(599, 599, 1, 1, 0xFF0000);
  drawing_end();
  EXPECT_EQ(headless_surface_pixel(window, 0, 0), 0x0000FFu);
  EXPECT_EQ(headless_surface_pixel(window, 1, 0), 0x0000FFu);
  EXPECT_EQ(headless_surface_pixel(window, 2, 0), WHITE);
  EXPECT_EQ(headless_surface_pixel(window, 599, 599), 0xFF0000u);
  const DibView view = dib_view(back_buffer());
  EXPECT_EQ(dib_pixel(view, 0, 0), 0x0000FFu);
}

TEST_F(CanvasOutputTest, NoSessionForMissingCanvases) {
  EXPECT_EQ(canvas_output(5), nullptr);
  EXPECT_EQ(canvas_output(AUTO_ID), nullptr);
  EXPECT_EQ(drawing_current(), nullptr);
}

TEST_F(CanvasOutputTest, ACanvasDestroyedDuringASessionIsNotRepainted) {
  ASSERT_NE(canvas_create(1, 0, 0, 50, 50), 0);
  ASSERT_NE(drawing_begin(canvas_output(1)), 0);
  // The bitmap stays valid while the session has it selected; the canvas goes.
  gadget_free(1);
  drawing_end();
  EXPECT_EQ(gadget_lookup(1), nullptr);
}

}  // namespace
