// Numbered records live in a slot array and never move; dynamic records sit
// behind a two-pointer link header on a list, newest first.
#include "runtime/core/registry.h"

#include <cstring>

#include "platform/call_watch.h"
#include "platform/win32/kernel32.h"
#include "runtime/core/heaps.h"

struct DynamicLink {
  DynamicLink* older;
  DynamicLink* newer;
};

namespace {

void* record_of(DynamicLink* link) { return link + 1; }

DynamicLink* link_of(void* record) { return static_cast<DynamicLink*>(record) - 1; }

bool is_number(const ObjectRegistry* registry, ObjectId id) { return id >= 0 && id < registry->slot_count; }

bool holds_live_object(const void* record) {
  std::uintptr_t handle;
  std::memcpy(&handle, record, sizeof(handle));
  return handle != 0;
}

// The dynamic record with this id, or null for anything that is not one.
DynamicLink* live_link(ObjectRegistry* registry, ObjectId id) {
  void* record = reinterpret_cast<void*>(id);
  return pointer_set_contains(&registry->live_dynamic, record) ? link_of(record) : nullptr;
}

void* allocate_dynamic(ObjectRegistry* registry) {
  auto* link = static_cast<DynamicLink*>(
      HeapAlloc(main_heap(), HEAP_ZERO_MEMORY, sizeof(DynamicLink) + static_cast<SIZE_T>(registry->record_size)));
  if (!link) return nullptr;
  if (!pointer_set_insert(&registry->live_dynamic, record_of(link))) {
    HeapFree(main_heap(), 0, link);
    return nullptr;
  }
  link->older = registry->dynamic_head;
  if (registry->dynamic_head) registry->dynamic_head->newer = link;
  registry->dynamic_head = link;
  return record_of(link);
}

void unlink_dynamic(ObjectRegistry* registry, DynamicLink* link) {
  if (registry->dynamic_head == link) registry->dynamic_head = link->older;
  if (link->newer) link->newer->older = link->older;
  if (link->older) link->older->newer = link->newer;
  // A walk that was about to return this record moves on to the next newer one.
  if (registry->walk_dynamic == link) registry->walk_dynamic = link->newer;
}

bool grow_slots(ObjectRegistry* registry, ObjectId number) {
  std::int64_t wanted = static_cast<std::int64_t>(number) + registry->growth;
  if (wanted > INT32_MAX) return false;
  auto** slots = static_cast<void**>(HeapReAlloc(main_heap(), HEAP_ZERO_MEMORY, registry->slots,
                                                 static_cast<SIZE_T>(wanted) * sizeof(void*)));
  if (!slots) return false;
  registry->slots = slots;
  registry->slot_count = static_cast<std::int32_t>(wanted);
  return true;
}

}  // namespace

ObjectRegistry* registry_create(std::int32_t record_size, std::int32_t growth, ObjectFreeCallback free_callback) {
  if (record_size < static_cast<std::int32_t>(sizeof(void*)) || growth < 1) return nullptr;
  auto* registry = static_cast<ObjectRegistry*>(HeapAlloc(main_heap(), HEAP_ZERO_MEMORY, sizeof(ObjectRegistry)));
  if (!registry) return nullptr;
  registry->slots = static_cast<void**>(
      HeapAlloc(main_heap(), HEAP_ZERO_MEMORY, static_cast<SIZE_T>(growth) * sizeof(void*)));
  if (!registry->slots) {
    HeapFree(main_heap(), 0, registry);
    return nullptr;
  }
  registry->record_size = record_size;
  registry->growth = growth;
  registry->slot_count = growth;
  registry->free_callback = free_callback;
  call_noted(registry, "registry_create growth", growth);
  return registry;
}

void* object_allocate(ObjectRegistry* registry, ObjectId number) {
  if (!registry || number < AUTO_ID || number > OBJECT_NUMBER_LIMIT) return nullptr;
  if (number == AUTO_ID) return allocate_dynamic(registry);
  if (number >= registry->slot_count && !grow_slots(registry, number)) return nullptr;
  if (void* record = registry->slots[number]) {
    if (registry->free_callback) registry->free_callback(number);
    // The callback normally releases the record; a clean record is promised either way.
    std::memset(record, 0, static_cast<std::size_t>(registry->record_size));
    return record;
  }
  void* record = HeapAlloc(main_heap(), HEAP_ZERO_MEMORY, static_cast<SIZE_T>(registry->record_size));
  registry->slots[number] = record;
  return record;
}

void* object_lookup(ObjectRegistry* registry, ObjectId id) {
  if (!registry) return nullptr;
  void* candidate = nullptr;
  if (is_number(registry, id)) {
    candidate = registry->slots[id];
  } else if (DynamicLink* link = live_link(registry, id)) {
    candidate = record_of(link);
  }
  return candidate && holds_live_object(candidate) ? candidate : nullptr;
}

void object_release(ObjectRegistry* registry, ObjectId id) {
  if (!registry) return;
  if (is_number(registry, id)) {
    if (registry->slots[id]) std::memset(registry->slots[id], 0, static_cast<std::size_t>(registry->record_size));
    return;
  }
  DynamicLink* link = live_link(registry, id);
  if (!link) return;
  unlink_dynamic(registry, link);
  pointer_set_erase(&registry->live_dynamic, record_of(link));
  HeapFree(main_heap(), 0, link);
}

void registry_iterate_begin(ObjectRegistry* registry) {
  if (!registry) return;
  registry->walk_position = 0;
  DynamicLink* oldest = registry->dynamic_head;
  while (oldest && oldest->older) oldest = oldest->older;
  registry->walk_dynamic = oldest;
}

void* registry_iterate_next(ObjectRegistry* registry, ObjectId* id) {
  if (!registry) return nullptr;
  // The walk moves past each record before returning it, so the caller may release it.
  while (registry->walk_position < registry->slot_count) {
    std::int32_t number = registry->walk_position++;
    void* record = registry->slots[number];
    if (record && holds_live_object(record)) {
      if (id) *id = number;
      return record;
    }
  }
  DynamicLink* link = registry->walk_dynamic;
  if (!link) return nullptr;
  registry->walk_dynamic = link->newer;
  if (id) *id = dynamic_id_of(record_of(link));
  return record_of(link);
}

void registry_free_all(ObjectRegistry* registry) {
  if (!registry || !registry->free_callback) return;
  registry_iterate_begin(registry);
  ObjectId id = 0;
  while (registry_iterate_next(registry, &id)) registry->free_callback(id);
}
