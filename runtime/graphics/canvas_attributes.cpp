// The canvas's attributes: its back buffer, the data of the current canvas
// event, and its cursor and cursor confinement.
#include "runtime/graphics/canvas_module.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_queue.h"

namespace {

constexpr std::uint32_t CURSOR_INDEX_MASK = 0xFF;
constexpr int NO_CURSOR_INDEX = 11;

// Cursor indices 0..10 name standard cursors; 11 is "no cursor".
const LPCWSTR STANDARD_CURSORS[NO_CURSOR_INDEX] = {IDC_ARROW,  IDC_CROSS,  IDC_IBEAM,   IDC_HAND,
                                                   IDC_WAIT,   IDC_NO,     IDC_SIZEALL, IDC_SIZEWE,
                                                   IDC_SIZENS, IDC_SIZENWSE, IDC_SIZENESW};

CanvasObject* as_canvas(GadgetObject* gadget) { return reinterpret_cast<CanvasObject*>(gadget); }

// The current event's data, if that event is this control's canvas event.
const CanvasEventData* current_event_data(GadgetObject* gadget) {
  if (event_current_code() != EVENT_GADGET) return nullptr;
  if (event_menu_item() != GetWindowLongW(gadget->handle, GWL_ID)) return nullptr;
  return static_cast<const CanvasEventData*>(event_data());
}

std::intptr_t event_field(GadgetObject* gadget, std::int32_t attribute) {
  const CanvasEventData* data = current_event_data(gadget);
  if (!data) return 0;
  switch (attribute) {
    case CANVAS_EVENT_X: return data->x;
    case CANVAS_EVENT_Y: return data->y;
    case CANVAS_EVENT_BUTTONS: return data->buttons;
    case CANVAS_EVENT_KEY: return data->key;
    case CANVAS_EVENT_MODIFIERS: return data->modifiers;
    case CANVAS_EVENT_WHEEL: return data->wheel;
    case CANVAS_EVENT_CHARACTER: return data->character;
    default: return 0;
  }
}

bool mouse_inside(const CanvasObject* canvas) { return canvas->cursor_state & CANVAS_MOUSE_INSIDE; }

void use_cursor(CanvasObject* canvas, std::uint32_t index, HCURSOR cursor) {
  canvas->cursor_state = (canvas->cursor_state & ~CURSOR_INDEX_MASK) | index;
  canvas->cursor = cursor;
  if (mouse_inside(canvas)) SetCursor(cursor);
}

HCURSOR standard_cursor(int index) {
  if (index == NO_CURSOR_INDEX) return nullptr;
  HCURSOR& cached = canvas_module().cursor_cache[index];
  if (!cached) cached = LoadCursorW(nullptr, STANDARD_CURSORS[index]);
  return cached;
}

void copy_into_back_buffer(CanvasObject* canvas, HBITMAP source_bitmap) {
  BITMAP size{};
  if (!GetObjectW(source_bitmap, sizeof(BITMAP), &size)) return;
  HDC target = CreateCompatibleDC(nullptr);
  HDC source = CreateCompatibleDC(nullptr);
  if (target && source) {
    HGDIOBJ target_previous = SelectObject(target, canvas->back_buffer);
    HGDIOBJ source_previous = SelectObject(source, source_bitmap);
    BitBlt(target, 0, 0, size.bmWidth, size.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, source_previous);
    SelectObject(target, target_previous);
  }
  if (source) DeleteDC(source);
  if (target) DeleteDC(target);
  canvas_paint(canvas, nullptr);
}

void set_confinement(CanvasObject* canvas, bool confine) {
  HWND handle = canvas->gadget.handle;
  if (confine) {
    canvas_confine_cursor(handle);
  } else if (canvas_module().confined == handle) {
    ClipCursor(nullptr);
    if (GetCapture() == handle) ReleaseCapture();
    canvas_module().confined = nullptr;
  }
}

}  // namespace

std::intptr_t canvas_attribute_get(GadgetObject* gadget, std::int32_t attribute) {
  CanvasObject* canvas = as_canvas(gadget);
  const std::uint32_t index = canvas->cursor_state & CURSOR_INDEX_MASK;
  switch (attribute) {
    case CANVAS_BACK_BUFFER:
      return reinterpret_cast<std::intptr_t>(canvas->back_buffer);
    case CANVAS_CURSOR_INDEX:
      return index == CANVAS_CUSTOM_CURSOR_INDEX ? -1 : static_cast<std::intptr_t>(index);
    case CANVAS_CURSOR_CONFINED:
      return canvas_module().confined == gadget->handle ? 1 : 0;
    case CANVAS_CUSTOM_CURSOR:
      return index == CANVAS_CUSTOM_CURSOR_INDEX ? reinterpret_cast<std::intptr_t>(canvas->cursor) : 0;
    default:
      return event_field(gadget, attribute);
  }
}

void canvas_attribute_set(GadgetObject* gadget, std::int32_t attribute, std::intptr_t value) {
  CanvasObject* canvas = as_canvas(gadget);
  switch (attribute) {
    case CANVAS_BACK_BUFFER:
      if (value) copy_into_back_buffer(canvas, reinterpret_cast<HBITMAP>(value));
      break;
    case CANVAS_CURSOR_CONFINED:
      set_confinement(canvas, value != 0);
      break;
    case CANVAS_CURSOR_INDEX:
      if (value >= 0 && value <= NO_CURSOR_INDEX)
        use_cursor(canvas, static_cast<std::uint32_t>(value), standard_cursor(static_cast<int>(value)));
      break;
    case CANVAS_CUSTOM_CURSOR:
      if (value) use_cursor(canvas, CANVAS_CUSTOM_CURSOR_INDEX, reinterpret_cast<HCURSOR>(value));
      break;
    default:
      break;
  }
}
