#include "runtime/gui/shortcut.h"

#include "platform/win32/kernel32.h"
#include "runtime/core/heaps.h"
#include "runtime/gui/window.h"

namespace {

constexpr BYTE SHORTCUT_BASE_FLAGS = FVIRTKEY | FNOINVERT;

BYTE accelerator_flags(std::uint32_t shortcut) {
  BYTE flags = SHORTCUT_BASE_FLAGS;
  if (shortcut & SHORTCUT_SHIFT) flags |= FSHIFT;
  if (shortcut & SHORTCUT_CONTROL) flags |= FCONTROL;
  if (shortcut & SHORTCUT_ALT) flags |= FALT;
  return flags;
}

ACCEL* find_entry(WindowObject* window, BYTE flags, WORD key) {
  for (std::int32_t i = 0; i < window->shortcut_count; ++i) {
    ACCEL& entry = window->shortcut_entries[i];
    if (entry.key == key && entry.fVirt == flags) return &entry;
  }
  return nullptr;
}

bool append_entry(WindowObject* window, ACCEL entry) {
  const SIZE_T bytes = sizeof(ACCEL) * (static_cast<SIZE_T>(window->shortcut_count) + 1);
  void* grown = window->shortcut_entries ? HeapReAlloc(main_heap(), 0, window->shortcut_entries, bytes)
                                         : HeapAlloc(main_heap(), 0, bytes);
  if (!grown) return false;
  window->shortcut_entries = static_cast<ACCEL*>(grown);
  window->shortcut_entries[window->shortcut_count++] = entry;
  return true;
}

HACCEL rebuild_table(WindowObject* window) {
  if (window->shortcut_table) DestroyAcceleratorTable(window->shortcut_table);
  window->shortcut_table = CreateAcceleratorTableW(window->shortcut_entries, window->shortcut_count);
  return window->shortcut_table;
}

}  // namespace

WORD shortcut_native_command(std::uint32_t event_id) {
  const WORD command = static_cast<WORD>(event_id & 0xFFFF);
  if (command == 0) return COMMAND_STANDS_FOR_ZERO;
  return command == COMMAND_STANDS_FOR_ZERO ? 0 : command;
}

std::uint32_t shortcut_event_id(WORD native_command) { return shortcut_native_command(native_command); }

HACCEL shortcut_add(ObjectId window_number, std::uint32_t shortcut, std::uint32_t event_id) {
  WindowObject* window = window_lookup(window_number);
  if (!window) return nullptr;
  const BYTE flags = accelerator_flags(shortcut);
  const WORD key = static_cast<WORD>(shortcut & 0xFFFF);
  const WORD command = shortcut_native_command(event_id);
  if (ACCEL* entry = find_entry(window, flags, key)) entry->cmd = command;
  else if (!append_entry(window, ACCEL{flags, key, command})) return window->shortcut_table;
  return rebuild_table(window);
}

bool shortcut_table_init(WindowObject* window) {
  if (!append_entry(window, ACCEL{SHORTCUT_BASE_FLAGS, VK_TAB, COMMAND_FOCUS_NEXT})) return false;
  if (!append_entry(window, ACCEL{SHORTCUT_BASE_FLAGS | FSHIFT, VK_TAB, COMMAND_FOCUS_PREVIOUS})) return false;
  return rebuild_table(window) != nullptr;
}

void shortcut_table_free(WindowObject* window) {
  if (window->shortcut_entries) HeapFree(main_heap(), 0, window->shortcut_entries);
  if (window->shortcut_table) DestroyAcceleratorTable(window->shortcut_table);
  window->shortcut_entries = nullptr;
  window->shortcut_table = nullptr;
  window->shortcut_count = 0;
}
