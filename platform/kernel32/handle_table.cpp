// Kernel handle table: a map from ever-increasing handle values to objects.
#include "platform/kernel32/handle_table.h"

#include <mutex>
#include <new>
#include <unordered_map>

namespace {

// Multiples of 4 as on Win32; starting high keeps them clear of small
// integers and of INVALID_HANDLE_VALUE.
constexpr std::uintptr_t FIRST_HANDLE_VALUE = 0x1000;
constexpr std::uintptr_t HANDLE_STEP = 4;

struct HandleTable {
  std::mutex lock;
  std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> objects;
  std::uintptr_t next_value = FIRST_HANDLE_VALUE;
};

// Never destroyed: handles may still be closed by static destructors.
HandleTable& table() {
  static HandleTable* instance = new HandleTable;
  return *instance;
}

std::uintptr_t value_of(HANDLE handle) { return reinterpret_cast<std::uintptr_t>(handle); }

// The entry of an object that passes the test, or end() with the error set. Caller holds the lock.
auto find_entry(HandleTable& handles, HANDLE handle, KernelObjectTest test) {
  auto found = handles.objects.find(value_of(handle));
  if (found != handles.objects.end() && test(*found->second)) return found;
  SetLastError(ERROR_INVALID_HANDLE);
  return handles.objects.end();
}

}  // namespace

HANDLE handle_table_insert(std::shared_ptr<KernelObject> object) {
  HandleTable& handles = table();
  std::lock_guard guard(handles.lock);
  std::uintptr_t value = handles.next_value;
  try {
    handles.objects.emplace(value, std::move(object));
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  handles.next_value += HANDLE_STEP;
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> handle_table_find(HANDLE handle, KernelObjectTest test) {
  HandleTable& handles = table();
  std::lock_guard guard(handles.lock);
  auto found = find_entry(handles, handle, test);
  if (found == handles.objects.end()) return nullptr;
  return found->second;
}

std::shared_ptr<KernelObject> handle_table_remove(HANDLE handle, KernelObjectTest test) {
  HandleTable& handles = table();
  std::lock_guard guard(handles.lock);
  auto found = find_entry(handles, handle, test);
  if (found == handles.objects.end()) return nullptr;
  std::shared_ptr<KernelObject> object = std::move(found->second);
  handles.objects.erase(found);
  return object;
}

std::shared_ptr<KernelObject> handle_table_search(const std::function<bool(const KernelObject&)>& test) {
  HandleTable& handles = table();
  std::lock_guard guard(handles.lock);
  for (const auto& [value, object] : handles.objects)
    if (test(*object)) return object;
  return nullptr;
}
