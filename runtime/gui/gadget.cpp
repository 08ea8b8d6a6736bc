#include "runtime/gui/gadget.h"

#include "platform/win32/commctrl.h"
#include "platform/win32/gdi32.h"
#include "platform/win32/ole32.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_queue.h"
#include "runtime/gui/gadget_list.h"
#include "runtime/gui/window.h"

namespace {

constexpr std::int32_t GADGET_REGISTRY_GROWTH = 50;
constexpr DWORD COMMON_CONTROL_CLASSES = 0xB48;
constexpr LONG_PTR UNBOUND_CONTROL_ID = -1;
// Kinds whose look depends on more than their rectangle after a move.
constexpr std::int32_t KIND_REDRAWN_AFTER_MOVE = 1;
constexpr std::int32_t KIND_INVALIDATED_AFTER_MOVE = 3;
constexpr std::int32_t KIND_FONT_AFTER_MOVE = 13;

ObjectRegistry* registry = nullptr;
HFONT default_font = nullptr;

void release_control(HWND handle, ObjectId number, GadgetObject* record) {
  if (record->kind_table && record->kind_table->destroy) record->kind_table->destroy(record);
  RemovePropW(handle, PROPERTY_GADGET_ID);
  if (RemovePropW(handle, PROPERTY_DROP_ACCEPT)) RevokeDragDrop(handle);
  SetWindowLongW(handle, GWL_ID, UNBOUND_CONTROL_ID);
  event_purge(EVENT_GADGET, number, -1, -1);
  object_release(registry, number);
}

// The control's rectangle in its parent's client coordinates.
RECT rectangle_in_parent(HWND handle) {
  RECT rect{};
  GetWindowRect(handle, &rect);
  MapWindowPoints(nullptr, GetParent(handle), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::int32_t kept_value(GadgetObject* record, int index, std::int32_t from_rectangle) {
  GadgetPositionHook hook = record->kind_table ? record->kind_table->position[index] : nullptr;
  return hook ? hook(record) : from_rectangle;
}

void refresh_after_move(GadgetObject* record) {
  const std::int32_t kind = record->kind_table ? record->kind_table->kind_id : 0;
  if (kind == KIND_REDRAWN_AFTER_MOVE)
    RedrawWindow(record->handle, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_INTERNALPAINT);
  else if (kind == KIND_INVALIDATED_AFTER_MOVE)
    InvalidateRect(record->handle, nullptr, FALSE);
  else if (kind == KIND_FONT_AFTER_MOVE)
    SendMessageW(record->handle, WM_SETFONT, reinterpret_cast<WPARAM>(default_font), TRUE);
}

}  // namespace

void gadget_library_init() {
  default_font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  registry = registry_create(GADGET_RECORD_SIZE, GADGET_REGISTRY_GROWTH, gadget_free);
  gadget_list_init();
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), COMMON_CONTROL_CLASSES};
  InitCommonControlsEx(&controls);
}

ObjectRegistry* gadget_registry() { return registry; }
HFONT gadget_default_font() { return default_font; }

GadgetObject* gadget_lookup(ObjectId number) {
  return registry ? static_cast<GadgetObject*>(object_lookup(registry, number)) : nullptr;
}

void gadget_free(ObjectId number) {
  if (number == AUTO_ID) {
    if (registry) registry_free_all(registry);
    return;
  }
  // The record goes in gadget_subclass_proc when the window is destroyed.
  if (GadgetObject* record = gadget_lookup(number)) DestroyWindow(record->handle);
}

std::intptr_t gadget_register(ObjectId number, GadgetObject* record, HWND handle, const GadgetKindTable* kind_table) {
  const ObjectId id = number == AUTO_ID ? dynamic_id_of(record) : number;
  record->handle = handle;
  record->kind_table = kind_table;
  record->previous_proc =
      reinterpret_cast<WNDPROC>(SetWindowLongW(handle, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(gadget_subclass_proc)));
  SetWindowLongW(handle, GWL_ID, id);
  SetPropW(handle, PROPERTY_GADGET_ID, reinterpret_cast<HANDLE>(id));
  SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(default_font), TRUE);
  return number == AUTO_ID ? id : reinterpret_cast<std::intptr_t>(handle);
}

ObjectId gadget_number(HWND handle) { return GetWindowLongW(handle, GWL_ID); }

LRESULT gadget_subclass_proc(HWND handle, UINT message, WPARAM wparam, LPARAM lparam) {
  const ObjectId number = gadget_number(handle);
  GadgetObject* record = number == UNBOUND_CONTROL_ID ? nullptr : gadget_lookup(number);
  if (!record || record->handle != handle) return DefWindowProcW(handle, message, wparam, lparam);
  const LRESULT result = CallWindowProcW(record->previous_proc, handle, message, wparam, lparam);
  if (message == WM_NCDESTROY) release_control(handle, number, record);
  return result;
}

LRESULT gadget_notify_route(HWND control, HWND parent, UINT message, WPARAM wparam, LPARAM lparam) {
  if (!control) return NOT_HANDLED;
  const ObjectId number = gadget_number(control);
  if (reinterpret_cast<ObjectId>(GetPropW(control, PROPERTY_GADGET_ID)) != number) return NOT_HANDLED;
  GadgetObject* record = gadget_lookup(number);
  // A foreign control with id 0 and no property must not reach control 0.
  if (!record || record->handle != control) return NOT_HANDLED;
  if (!record->kind_table || !record->kind_table->notify) return NOT_HANDLED;
  return record->kind_table->notify(record, parent, message, wparam, lparam);
}

void gadget_resize(GadgetObject* record, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  if (x == COORD_IGNORE || y == COORD_IGNORE || width == COORD_IGNORE || height == COORD_IGNORE) {
    const RECT rect = rectangle_in_parent(record->handle);
    if (x == COORD_IGNORE) x = kept_value(record, 0, rect.left);
    if (y == COORD_IGNORE) y = kept_value(record, 1, rect.top);
    if (width == COORD_IGNORE) width = kept_value(record, 2, rect.right - rect.left);
    if (height == COORD_IGNORE) height = kept_value(record, 3, rect.bottom - rect.top);
  }
  MoveWindow(record->handle, x, y, width, height, TRUE);
  refresh_after_move(record);
}

std::intptr_t gadget_attribute_get(ObjectId number, std::int32_t attribute) {
  GadgetObject* record = gadget_lookup(number);
  if (!record || !record->kind_table || !record->kind_table->get_attribute) return 0;
  return record->kind_table->get_attribute(record, attribute);
}

void gadget_attribute_set(ObjectId number, std::int32_t attribute, std::intptr_t value) {
  GadgetObject* record = gadget_lookup(number);
  if (record && record->kind_table && record->kind_table->set_attribute)
    record->kind_table->set_attribute(record, attribute, value);
}
