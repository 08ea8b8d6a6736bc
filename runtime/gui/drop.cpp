#include "runtime/gui/drop.h"

#include <cstring>

#include "platform/win32/kernel32.h"
#include "platform/win32/shell32.h"
#include "runtime/core/heaps.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_queue.h"
#include "runtime/gui/gadget.h"
#include "runtime/gui/window.h"

namespace {

constexpr std::uint32_t TEXT_FORMATS[] = {CF_TEXT, CF_OEMTEXT, CF_UNICODETEXT};
// Kinds that may sit under buttons without being covered by them.
constexpr std::int32_t KIND_NOT_UNCOVERED = 7;
constexpr LONG_PTR BUTTON_TYPE_BITS = 0x7;
constexpr char16_t LINE_FEED = u'\n';

DropTarget* target_of(HWND handle) { return static_cast<DropTarget*>(GetPropW(handle, PROPERTY_DROP_ACCEPT)); }

DropFormatEntry** list_for(DropTarget* target, std::uint32_t format) {
  return format == DROP_PRIVATE ? &target->private_types : &target->formats;
}

std::uint32_t key_for(std::uint32_t format, std::uint32_t private_type) {
  return format == DROP_PRIVATE ? private_type : format;
}

void unlink_entry(DropFormatEntry** list, DropFormatEntry* entry) {
  if (entry->previous) entry->previous->next = entry->next;
  else *list = entry->next;
  if (entry->next) entry->next->previous = entry->previous;
  HeapFree(main_heap(), 0, entry);
}

void withdraw(HWND handle, std::uint32_t format, std::uint32_t private_type) {
  DropTarget* target = target_of(handle);
  if (!target) return;
  DropFormatEntry** list = list_for(target, format);
  if (DropFormatEntry* entry = drop_format_find(*list, key_for(format, private_type))) unlink_entry(list, entry);
  if (target->formats || target->private_types) return;
  RemovePropW(handle, PROPERTY_DROP_ACCEPT);
  RevokeDragDrop(handle);  // the final Release frees the target
}

// The window's target, registered with OLE on first use; null on failure.
DropTarget* registered_target(ObjectId number, std::int32_t kind, HWND handle) {
  if (DropTarget* target = target_of(handle)) return target;
  DropTarget* target = drop_target_create(kind, number, handle);
  if (!target) return nullptr;
  HRESULT result = RegisterDragDrop(handle, target);
  if (result == DRAGDROP_E_ALREADYREGISTERED) {
    RevokeDragDrop(handle);
    result = RegisterDragDrop(handle, target);
  }
  const bool registered = result == S_OK;
  if (registered) SetPropW(handle, PROPERTY_DROP_ACCEPT, target);
  // OLE holds its own reference from here on; on failure this frees the target.
  target->Release();
  return registered ? target : nullptr;
}

void accept(ObjectId number, std::int32_t kind, HWND handle, std::uint32_t format, std::uint32_t actions,
            std::uint32_t private_type) {
  DropTarget* target = registered_target(number, kind, handle);
  if (!target) return;
  DropFormatEntry** list = list_for(target, format);
  const std::uint32_t key = key_for(format, private_type);
  if (DropFormatEntry* entry = drop_format_find(*list, key)) {
    entry->actions = actions;
    return;
  }
  auto* entry = static_cast<DropFormatEntry*>(HeapAlloc(main_heap(), 0, sizeof(DropFormatEntry)));
  if (!entry) return;
  *entry = DropFormatEntry{*list, nullptr, key, actions};
  if (*list) (*list)->previous = entry;
  *list = entry;
}

bool overlaps(HWND a, HWND b) {
  RECT first{};
  RECT second{};
  RECT common{};
  GetWindowRect(a, &first);
  GetWindowRect(b, &second);
  return IntersectRect(&common, &first, &second) != FALSE;
}

bool is_covering_button(HWND sibling, HWND control) {
  char16_t class_name[16] = {};
  GetClassNameW(sibling, class_name, 16);
  if (std::u16string_view(class_name) != u"Button") return false;
  return (GetWindowLongW(sibling, GWL_STYLE) & BUTTON_TYPE_BITS) && overlaps(sibling, control);
}

// Buttons above the control in z-order that overlap it go below it, so that
// they do not cover the drop area.
void uncover(HWND control) {
  HWND sibling = GetWindow(control, GW_HWNDPREV);
  while (sibling) {
    HWND above = GetWindow(sibling, GW_HWNDPREV);
    if (is_covering_button(sibling, control))
      SetWindowPos(sibling, control, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    sibling = above;
  }
}

std::u16string file_names(HDROP list) {
  const UINT count = DragQueryFileW(list, 0xFFFFFFFF, nullptr, 0);
  std::u16string names;
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(list, i, nullptr, 0);
    std::u16string name(length, u'\0');
    if (length) DragQueryFileW(list, i, name.data(), length + 1);
    if (i) names.push_back(LINE_FEED);
    names += name;
  }
  return names;
}

}  // namespace

void drop_library_init() { OleInitialize(nullptr); }
void drop_library_shutdown() { OleUninitialize(); }

void drop_accept_set(ObjectId number, std::int32_t kind, HWND handle, std::uint32_t format, std::uint32_t actions,
                     std::uint32_t private_type) {
  if (!handle) return;
  if (actions == 0) withdraw(handle, format, private_type);
  else accept(number, kind, handle, format, actions, private_type);
}

void gadget_drop_enable(ObjectId control, std::uint32_t format, std::uint32_t actions) {
  GadgetObject* record = gadget_lookup(control);
  if (!record) return;
  const std::int32_t kind = record->kind_table ? record->kind_table->kind_id : 0;
  if (format == DROP_TEXT) {
    for (std::uint32_t text_format : TEXT_FORMATS) drop_accept_set(control, kind, record->handle, text_format, actions, 0);
  } else if (format != 0) {
    drop_accept_set(control, kind, record->handle, format, actions, 0);
  }
  if (kind != KIND_NOT_UNCOVERED) uncover(record->handle);
}

std::u16string event_dropped_files() {
  // Only a drop event carries a DropRecord; other events' data is not one.
  if (event_current_code() != EVENT_GADGET_DROP) return {};
  const auto* record = static_cast<const DropRecord*>(event_data());
  if (!record || !record->data || record->format != DROP_FILES || record->size == 0) return {};
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, record->size);
  if (!block) return {};
  std::u16string names;
  if (void* bytes = GlobalLock(block)) {
    std::memcpy(bytes, record->data, record->size);
    GlobalUnlock(block);
    names = file_names(static_cast<HDROP>(block));
  }
  GlobalFree(block);
  return names;
}
