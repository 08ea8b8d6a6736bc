// The file registry, opening and closing.
#include "platform/win32/kernel32.h"
#include "runtime/core/heaps.h"
#include "runtime/file/file.h"
#include "runtime/file/file_object.h"

namespace {

constexpr std::int32_t FILE_REGISTRY_GROWTH = 16;

ObjectRegistry* registry = nullptr;
std::int32_t buffer_size_setting = 4096;

HANDLE open_existing(const char16_t* name) {
  if (!name || !*name) return INVALID_HANDLE_VALUE;
  return CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A file whose buffer cannot be allocated works unbuffered.
void attach_buffer(FileObject* file) {
  if (buffer_size_setting <= 0) return;
  file->buffer = static_cast<BYTE*>(HeapAlloc(main_heap(), 0, static_cast<SIZE_T>(buffer_size_setting)));
  if (file->buffer) file->buffer_size = buffer_size_setting;
}

}  // namespace

ObjectRegistry* file_registry() { return registry; }

FileObject* file_lookup(ObjectId number) { return static_cast<FileObject*>(object_lookup(registry, number)); }

bool file_library_init() {
  registry = registry_create(sizeof(FileObject), FILE_REGISTRY_GROWTH, file_close);
  return registry != nullptr;
}

void file_library_free() { file_close(AUTO_ID); }

void file_buffer_size_set(std::int32_t bytes) { buffer_size_setting = bytes > 0 ? bytes : 0; }

ObjectId file_open_read(ObjectId number, const char16_t* name) {
  auto* file = static_cast<FileObject*>(object_allocate(registry, number));
  if (!file) return 0;
  const HANDLE handle = open_existing(name);
  if (handle == INVALID_HANDLE_VALUE || !handle) {
    if (number == AUTO_ID) object_release(registry, dynamic_id_of(file));
    return 0;
  }
  file->handle = handle;
  attach_buffer(file);
  file->pending = 0;
  file->filled = 0;
  file->reading = 1;
  return number == AUTO_ID ? dynamic_id_of(file) : reinterpret_cast<ObjectId>(handle);
}

void file_close(ObjectId number) {
  if (number == AUTO_ID) {
    registry_free_all(registry);
    return;
  }
  FileObject* file = file_lookup(number);
  if (!file) return;
  // Nothing is ever written through these files, so there is nothing to flush.
  if (file->buffer) HeapFree(main_heap(), 0, file->buffer);
  CloseHandle(file->handle);
  object_release(registry, number);
}
