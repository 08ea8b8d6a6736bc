#include "runtime/graphics/canvas.h"

#include <algorithm>

#include "platform/win32/kernel32.h"
#include "runtime/graphics/canvas_module.h"
#include "runtime/graphics/dib.h"
#include "runtime/gui/gadget_list.h"

namespace {

constexpr const char16_t* CANVAS_CLASS = u"LumoCanvas";
constexpr const char16_t* PROPERTY_CANVAS = u"ZQ_Gadget";
constexpr std::int32_t EVENT_POOL_MIN_BLOCKS = 16;
constexpr std::int32_t EVENT_POOL_MAX_BLOCKS = 1024;
constexpr std::int32_t BORDER_SHRINK = 4;
constexpr std::int32_t BACK_BUFFER_DEPTH = 24;
constexpr LONG_PTR UNBOUND_CONTROL_ID = -1;

CanvasModule module{};

HINSTANCE module_instance() { return GetModuleHandleW(nullptr); }

void canvas_destroy_hook(GadgetObject* gadget) {
  auto* canvas = reinterpret_cast<CanvasObject*>(gadget);
  canvas_release_confinement(gadget->handle);
  RemovePropW(gadget->handle, PROPERTY_CANVAS);
  if (canvas->back_buffer) DeleteObject(canvas->back_buffer);
  canvas->back_buffer = nullptr;
}

void canvas_resize_hook(GadgetObject* gadget, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  auto* canvas = reinterpret_cast<CanvasObject*>(gadget);
  gadget_resize(gadget, x, y, width, height);
  RECT frame{};
  GetWindowRect(gadget->handle, &frame);
  canvas_back_buffer_resize(canvas, frame.right - frame.left, frame.bottom - frame.top);
  canvas_paint(canvas, nullptr);
}

void canvas_activate_hook(GadgetObject* gadget) {
  if (reinterpret_cast<CanvasObject*>(gadget)->flags & CANVAS_KEYBOARD) SetFocus(gadget->handle);
}

void register_canvas_class() {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(WNDCLASSEXW);
  window_class.style = CS_DBLCLKS;
  window_class.lpfnWndProc = canvas_window_proc;
  window_class.hInstance = module_instance();
  window_class.lpszClassName = CANVAS_CLASS;
  RegisterClassExW(&window_class);
}

void initialise_module() {
  module = CanvasModule{};
  module.kind_table.kind_id = CANVAS_KIND;
  module.kind_table.table_size = sizeof(GadgetKindTable);
  module.kind_table.destroy = canvas_destroy_hook;
  module.kind_table.resize = canvas_resize_hook;
  module.kind_table.get_attribute = canvas_attribute_get;
  module.kind_table.set_attribute = canvas_attribute_set;
  module.kind_table.activate = canvas_activate_hook;
  module.event_pool = block_pool_create(sizeof(CanvasEventData), EVENT_POOL_MIN_BLOCKS, EVENT_POOL_MAX_BLOCKS, 0);
  module.default_cursor = LoadCursorW(nullptr, IDC_ARROW);
  register_canvas_class();
  module.initialised = true;
}

DWORD window_style(std::uint32_t flags) {
  DWORD style = WS_CHILD | WS_VISIBLE;
  if (flags & CANVAS_KEYBOARD) style |= WS_GROUP | WS_TABSTOP;
  return style;
}

SIZE bitmap_size(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof(BITMAP), &info)) return SIZE{0, 0};
  return SIZE{info.bmWidth, info.bmHeight};
}

// Draws the back buffer (or white when there is none) at (0, 0).
void draw_back_buffer(HDC target, const CanvasObject* canvas, const RECT& client) {
  if (!canvas->back_buffer) {
    FillRect(target, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return;
  }
  const SIZE size = bitmap_size(canvas->back_buffer);
  DrawStateW(target, nullptr, nullptr, reinterpret_cast<LPARAM>(canvas->back_buffer), 0, 0, 0, size.cx, size.cy,
             DST_BITMAP);
}

void paint_with_focus_frame(HDC target, const CanvasObject* canvas, const RECT& client) {
  HDC memory = CreateCompatibleDC(target);
  HBITMAP frame_bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
  if (memory && frame_bitmap) {
    HGDIOBJ previous = SelectObject(memory, frame_bitmap);
    draw_back_buffer(memory, canvas, client);
    RECT frame = client;
    InflateRect(&frame, -2, -2);
    DrawFocusRect(memory, &frame);
    BitBlt(target, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
  }
  if (frame_bitmap) DeleteObject(frame_bitmap);
  if (memory) DeleteDC(memory);
}

}  // namespace

CanvasModule& canvas_module() { return module; }

void canvas_module_shutdown() { module = CanvasModule{}; }

CanvasObject* canvas_of_window(HWND handle) { return static_cast<CanvasObject*>(GetPropW(handle, PROPERTY_CANVAS)); }

CanvasObject* canvas_lookup(ObjectId number) {
  GadgetObject* gadget = gadget_lookup(number);
  if (!gadget || !gadget->kind_table || gadget->kind_table->kind_id != CANVAS_KIND) return nullptr;
  return reinterpret_cast<CanvasObject*>(gadget);
}

std::intptr_t canvas_create(ObjectId number, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                            std::uint32_t flags) {
  if (!module.initialised) initialise_module();
  ObjectRegistry* registry = gadget_registry();
  auto* record = registry ? static_cast<CanvasObject*>(object_allocate(registry, number)) : nullptr;
  if (!record) return 0;
  const ObjectId id = number == AUTO_ID ? dynamic_id_of(record) : number;
  HWND handle = CreateWindowExW((flags & CANVAS_BORDER) ? WS_EX_CLIENTEDGE : 0, CANVAS_CLASS, nullptr,
                                window_style(flags), x, y, width, height, gadget_list_use(nullptr),
                                reinterpret_cast<HMENU>(UNBOUND_CONTROL_ID), module_instance(), nullptr);
  if (handle) {
    SetPropW(handle, PROPERTY_CANVAS, record);
    record->flags = flags;
    record->back_buffer = nullptr;
    record->cursor_state = 0;
    record->cursor = module.default_cursor;
    if (canvas_back_buffer_resize(record, width, height)) {
      const std::intptr_t result = gadget_register(number, &record->gadget, handle, &module.kind_table);
      if (result) return result;
    }
    RemovePropW(handle, PROPERTY_CANVAS);
    if (record->back_buffer) DeleteObject(record->back_buffer);
    DestroyWindow(handle);
  }
  object_release(registry, id);
  return 0;
}

int canvas_back_buffer_resize(CanvasObject* record, std::int32_t width, std::int32_t height) {
  if (record->flags & CANVAS_BORDER) {
    width -= BORDER_SHRINK;
    height -= BORDER_SHRINK;
  }
  width = std::max(width, 1);
  height = std::max(height, 1);
  HDC memory = CreateCompatibleDC(nullptr);
  if (!memory) return 0;
  HBITMAP bitmap = dib_create(width, height, BACK_BUFFER_DEPTH);
  if (!bitmap) {
    DeleteDC(memory);
    return 0;
  }
  HBITMAP old = record->back_buffer;
  record->back_buffer = bitmap;
  HGDIOBJ previous = SelectObject(memory, bitmap);
  const RECT all{0, 0, width, height};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (old) {
    HDC source = CreateCompatibleDC(nullptr);
    if (source) {
      HGDIOBJ source_previous = SelectObject(source, old);
      const SIZE old_size = bitmap_size(old);
      BitBlt(memory, 0, 0, old_size.cx, old_size.cy, source, 0, 0, SRCCOPY);
      SelectObject(source, source_previous);
      DeleteDC(source);
    }
    DeleteObject(old);
  }
  SelectObject(memory, previous);
  DeleteDC(memory);
  return 1;
}

void canvas_paint(CanvasObject* record, HDC dc) {
  HWND handle = record->gadget.handle;
  RECT client{};
  GetClientRect(handle, &client);
  HDC target = dc ? dc : GetDC(handle);
  if (!target) return;
  const bool framed = (record->flags & CANVAS_FOCUS_FRAME) && GetFocus() == handle && !IsRectEmpty(&client);
  if (framed) paint_with_focus_frame(target, record, client);
  else draw_back_buffer(target, record, client);
  if (!dc) ReleaseDC(handle, target);
}
