// The generic half of every child control ("gadget"): the control registry,
// the per-kind operation table, binding a native control to its record,
// routing notifications to the kind, moving and sizing, and the clean-up when
// the control's window goes.
#pragma once

#include <cstdint>

#include "platform/win32/user32.h"
#include "runtime/core/registry.h"

struct GadgetObject;

using GadgetNotifyHandler = LRESULT (*)(GadgetObject* gadget, HWND parent, UINT message, WPARAM wparam,
                                        LPARAM lparam);
using GadgetHook = void (*)(GadgetObject* gadget);
using GadgetResizeHook = void (*)(GadgetObject* gadget, std::int32_t x, std::int32_t y, std::int32_t width,
                                  std::int32_t height);
using GadgetGetAttributeHook = std::intptr_t (*)(GadgetObject* gadget, std::int32_t attribute);
using GadgetSetAttributeHook = void (*)(GadgetObject* gadget, std::int32_t attribute, std::intptr_t value);
using GadgetPositionHook = std::int32_t (*)(GadgetObject* gadget);

// One static table per control kind.
struct GadgetKindTable {
  std::int32_t kind_id;
  std::int32_t table_size;
  GadgetNotifyHandler notify;
  GadgetHook destroy;
  GadgetResizeHook resize;
  GadgetGetAttributeHook get_attribute;
  GadgetSetAttributeHook set_attribute;
  GadgetHook activate;
  // Where gadget_resize takes a kept value from, when a kind knows better
  // than the window rectangle (x, y, width, height).
  GadgetPositionHook position[4];
};

// Generic head of every control record; the kind's own fields follow it.
struct GadgetObject {
  HWND handle;
  const GadgetKindTable* kind_table;
  WNDPROC previous_proc;
};

// Room for the largest kind's record.
inline constexpr std::int32_t GADGET_RECORD_SIZE = 96;

void gadget_library_init();
ObjectRegistry* gadget_registry();
GadgetObject* gadget_lookup(ObjectId number);
// The registry's free callback: destroys the control's window (-1: all).
void gadget_free(ObjectId number);

// Binds a freshly created native control to its record: the record for
// AUTO_ID, else the native handle.
std::intptr_t gadget_register(ObjectId number, GadgetObject* record, HWND handle, const GadgetKindTable* kind_table);
// The number a control was registered under (its control id).
ObjectId gadget_number(HWND handle);
// Moves and sizes a control in its parent's client coordinates; COORD_IGNORE
// keeps a value.
void gadget_resize(GadgetObject* record, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
LRESULT gadget_notify_route(HWND control, HWND parent, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT gadget_subclass_proc(HWND handle, UINT message, WPARAM wparam, LPARAM lparam);

// The kind's attribute value; 0 for a missing control or hook.
std::intptr_t gadget_attribute_get(ObjectId number, std::int32_t attribute);
void gadget_attribute_set(ObjectId number, std::int32_t attribute, std::intptr_t value);

// The default GUI font every control receives.
HFONT gadget_default_font();
