#include "runtime/gui/drop_target.h"

#include <cstring>
#include <new>

#include "platform/win32/kernel32.h"
#include "platform/win32/user32.h"
#include "runtime/core/heaps.h"
#include "runtime/gui/drop_effect.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_queue.h"
#include "runtime/gui/window.h"

namespace {

// Every format is asked for as global memory holding the whole content.
FORMATETC format_request(std::uint32_t format) {
  return FORMATETC{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

void free_entries(DropFormatEntry* entry) {
  while (entry) {
    DropFormatEntry* next = entry->next;
    HeapFree(main_heap(), 0, entry);
    entry = next;
  }
}

void drop_record_free(void* record) { HeapFree(main_heap(), 0, record); }

DropRecord* drop_record_allocate(std::size_t data_size) {
  return static_cast<DropRecord*>(HeapAlloc(main_heap(), HEAP_ZERO_MEMORY, sizeof(DropRecord) + data_size));
}

// The private type id at the start of a private drag's data, if it can be read.
bool read_private_type(IDataObject* data, std::uint32_t* type) {
  FORMATETC request = format_request(DROP_PRIVATE);
  STGMEDIUM medium{};
  if (data->GetData(&request, &medium) != S_OK) return false;
  bool found = false;
  if (medium.tymed == TYMED_HGLOBAL && GlobalSize(medium.hGlobal) >= sizeof(std::uint32_t)) {
    if (const void* bytes = GlobalLock(medium.hGlobal)) {
      std::memcpy(type, bytes, sizeof(std::uint32_t));
      GlobalUnlock(medium.hGlobal);
      found = true;
    }
  }
  ReleaseStgMedium(&medium);
  return found;
}

}  // namespace

DropTarget::DropTarget(std::int32_t kind_id, ObjectId control_number, HWND control_handle)
    : kind(kind_id), number(control_number), handle(control_handle) {}

DropTarget* drop_target_create(std::int32_t kind, ObjectId number, HWND handle) {
  void* block = HeapAlloc(main_heap(), 0, sizeof(DropTarget));
  return block ? new (block) DropTarget(kind, number, handle) : nullptr;
}

DropFormatEntry* drop_format_find(DropFormatEntry* list, std::uint32_t format) {
  for (DropFormatEntry* entry = list; entry; entry = entry->next)
    if (entry->format == format) return entry;
  return nullptr;
}

HRESULT DropTarget::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_INVALIDARG;
  if (riid == IID_IUnknown || riid == IID_IDropTarget) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG DropTarget::AddRef() { return ++references; }

ULONG DropTarget::Release() {
  if (--references > 0) return references;
  free_entries(formats);
  free_entries(private_types);
  this->~DropTarget();
  HeapFree(main_heap(), 0, this);
  return 0;
}

bool DropTarget::match_standard_format(IDataObject* data, DWORD offered) {
  for (DropFormatEntry* entry = formats; entry; entry = entry->next) {
    if (!(entry->actions & offered)) continue;
    FORMATETC request = format_request(entry->format);
    if (data->QueryGetData(&request) != S_OK) continue;
    match = DROP_MATCH_FORMAT;
    match_format = match_code = entry->format;
    match_actions = entry->actions;
    return true;
  }
  return false;
}

bool DropTarget::match_private_type(IDataObject* data, DWORD offered) {
  std::uint32_t type = 0;
  if (!private_types || !read_private_type(data, &type)) return false;
  DropFormatEntry* entry = drop_format_find(private_types, type);
  if (!entry || !(entry->actions & offered)) return false;
  match = DROP_MATCH_PRIVATE;
  match_format = type;
  match_code = DROP_PRIVATE;
  match_actions = entry->actions;
  return true;
}

DWORD DropTarget::effect_for(DWORD key_state, DWORD offered) const {
  return match != DROP_MATCH_NONE ? drop_choose_effect(key_state, match_actions, offered) : DROPEFFECT_NONE;
}

POINT DropTarget::client_point(POINTL point) const {
  POINT client{point.x, point.y};
  ScreenToClient(handle, &client);
  return client;
}

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  match = DROP_MATCH_NONE;
  match_code = 0;
  if (data && !match_standard_format(data, *effect)) match_private_type(data, *effect);
  *effect = effect_for(key_state, *effect);
  client_point(point);  // only list-like controls highlight an item; the canvas shows none
  return S_OK;
}

HRESULT DropTarget::DragOver(DWORD key_state, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  *effect = effect_for(key_state, *effect);
  return S_OK;
}

HRESULT DropTarget::DragLeave() {
  highlight = -1;
  return S_OK;
}

DropRecord* DropTarget::record_for(IDataObject* data, DWORD effect, POINT at) const {
  if (match == DROP_MATCH_PRIVATE) {
    DropRecord* record = drop_record_allocate(0);
    if (record) *record = DropRecord{DROP_PRIVATE, match_format, effect, at.x, at.y, nullptr, 0};
    return record;
  }
  FORMATETC request = format_request(match_format);
  STGMEDIUM medium{};
  if (!data || data->GetData(&request, &medium) != S_OK) return nullptr;
  DropRecord* record = nullptr;
  if (medium.tymed == TYMED_HGLOBAL) {
    const std::size_t size = GlobalSize(medium.hGlobal);
    const void* bytes = GlobalLock(medium.hGlobal);
    if (bytes && (record = drop_record_allocate(size))) {
      void* copy = record + 1;
      std::memcpy(copy, bytes, size);
      *record = DropRecord{match_format, 0, effect, at.x, at.y, copy, size};
    }
    if (bytes) GlobalUnlock(medium.hGlobal);
  }
  ReleaseStgMedium(&medium);
  return record;
}

HRESULT DropTarget::Drop(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  *effect = effect_for(key_state, *effect);
  const POINT at = client_point(point);
  highlight = -1;
  if (*effect == DROPEFFECT_NONE) return S_OK;
  DropRecord* record = record_for(data, *effect, at);
  if (!record) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  event_push(EVENT_GADGET_DROP, number, window_number_from_handle(window_root_handle(handle)), 0, record,
             drop_record_free);
  return S_OK;
}
