// The process's table of kernel handles (open files, searches). Handle
// values count upwards and are never handed out twice, so a stale handle
// kept after CloseHandle cannot reach an object opened later.
#pragma once

#include <functional>
#include <memory>
#include <new>

#include "platform/win32/kernel32.h"

struct KernelObject {
  virtual ~KernelObject() = default;
};

using KernelObjectTest = bool (*)(const KernelObject&);

// Null (with ERROR_NOT_ENOUGH_MEMORY) only if the table cannot grow.
HANDLE handle_table_insert(std::shared_ptr<KernelObject> object);
// Both return null, with ERROR_INVALID_HANDLE, when the handle names no
// object that passes the test.
std::shared_ptr<KernelObject> handle_table_find(HANDLE handle, KernelObjectTest test);
std::shared_ptr<KernelObject> handle_table_remove(HANDLE handle, KernelObjectTest test);
// The first object the test accepts, or null; the test runs under the table's lock.
std::shared_ptr<KernelObject> handle_table_search(const std::function<bool(const KernelObject&)>& test);

// A new object of kind T, or null (with ERROR_NOT_ENOUGH_MEMORY).
template <typename T>
std::shared_ptr<T> kernel_object_create() {
  try {
    return std::make_shared<T>();
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

template <typename T>
bool kernel_object_is(const KernelObject& object) {
  return dynamic_cast<const T*>(&object) != nullptr;
}

template <typename T>
std::shared_ptr<T> handle_table_find_as(HANDLE handle) {
  return std::static_pointer_cast<T>(handle_table_find(handle, kernel_object_is<T>));
}

// Takes the object out of the table; it is destroyed with its last user.
template <typename T>
std::shared_ptr<T> handle_table_remove_as(HANDLE handle) {
  return std::static_pointer_cast<T>(handle_table_remove(handle, kernel_object_is<T>));
}
