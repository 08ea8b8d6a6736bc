// The drop target of a control: decides during a drag whether and how a drop
// is accepted, and turns an accepted drop into an EVENT_GADGET_DROP carrying a
// copy of the dropped data.
#pragma once

#include <cstdint>

#include "platform/win32/ole32.h"
#include "runtime/core/registry.h"

inline constexpr std::uint32_t DROP_TEXT = 1;
inline constexpr std::uint32_t DROP_FILES = 15;
inline constexpr std::uint32_t DROP_PRIVATE = 0x200;

// One accepted format (or private type id) with the actions allowed for it.
struct DropFormatEntry {
  DropFormatEntry* next;
  DropFormatEntry* previous;
  std::uint32_t format;
  std::uint32_t actions;
};

// The data attached to a drop event; the dropped block follows the record in
// the same heap block, so one free releases both.
struct DropRecord {
  std::uint32_t format;        // data-transfer format, or DROP_PRIVATE
  std::uint32_t private_type;  // 0 for standard formats
  std::uint32_t action;        // the effect chosen
  std::int32_t x;
  std::int32_t y;
  void* data;                  // null for private types
  std::size_t size;
};

enum DropMatch : std::int32_t { DROP_MATCH_NONE = 0, DROP_MATCH_FORMAT = 1, DROP_MATCH_PRIVATE = 2 };

class DropTarget final : public IDropTarget {
 public:
  DropTarget(std::int32_t kind, ObjectId number, HWND handle);

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT DragEnter(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) override;
  HRESULT DragOver(DWORD key_state, POINTL point, DWORD* effect) override;
  HRESULT DragLeave() override;
  HRESULT Drop(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) override;

  ULONG references = 1;
  std::int32_t kind;
  ObjectId number;
  HWND handle;
  std::int32_t highlight = -1;
  DropFormatEntry* formats = nullptr;        // newest first
  DropFormatEntry* private_types = nullptr;  // newest first
  DropMatch match = DROP_MATCH_NONE;
  std::uint32_t match_format = 0;
  std::uint32_t match_code = 0;
  std::uint32_t match_actions = 0;

 private:
  ~DropTarget() = default;
  bool match_standard_format(IDataObject* data, DWORD offered);
  bool match_private_type(IDataObject* data, DWORD offered);
  DWORD effect_for(DWORD key_state, DWORD offered) const;
  POINT client_point(POINTL point) const;
  DropRecord* record_for(IDataObject* data, DWORD effect, POINT at) const;
};

// A new target with one reference, from the main heap; null when out of memory.
DropTarget* drop_target_create(std::int32_t kind, ObjectId number, HWND handle);
// The entry for format in list, or null.
DropFormatEntry* drop_format_find(DropFormatEntry* list, std::uint32_t format);
