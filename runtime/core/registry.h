// Numbered objects: every kind of runtime object (windows, gadgets, images,
// files, menus) lives in an ObjectRegistry that maps the caller's number, or a
// dynamic id chosen by the runtime, to a fixed-size record owned by the runtime.
#pragma once

#include <cstdint>

#include "runtime/core/pointer_set.h"

// An object number (0, 1, ...) or a dynamic id (the record's address).
using ObjectId = std::intptr_t;

inline constexpr ObjectId AUTO_ID = -1;
// Numbers above this are refused by object_allocate.
inline constexpr ObjectId OBJECT_NUMBER_LIMIT = 1'000'000;

// Destroys the platform side of one object, then calls object_release.
using ObjectFreeCallback = void (*)(ObjectId id);

// Every record begins with the object's primary handle (pointer-sized);
// a record whose first field is zero holds no live object.
struct DynamicLink;

struct ObjectRegistry {
  std::int32_t record_size;
  std::int32_t growth;
  std::int32_t slot_count;
  void** slots;
  DynamicLink* dynamic_head;
  ObjectFreeCallback free_callback;
  std::int32_t walk_position;
  DynamicLink* walk_dynamic;
  // Every live dynamic record, so that lookups of stale or made-up ids never
  // touch memory that is not a record.
  PointerSet live_dynamic;
};

// Null when record_size cannot hold the handle field, growth < 1 or the heap is exhausted.
ObjectRegistry* registry_create(std::int32_t record_size, std::int32_t growth, ObjectFreeCallback free_callback);
// Record for number (the live object under it freed first) or a new dynamic
// record for AUTO_ID; null on failure or for an invalid number.
void* object_allocate(ObjectRegistry* registry, ObjectId number);
// Live record or null (unknown id, released number, first field zero).
void* object_lookup(ObjectRegistry* registry, ObjectId id);
void object_release(ObjectRegistry* registry, ObjectId id);
void registry_free_all(ObjectRegistry* registry);
void registry_iterate_begin(ObjectRegistry* registry);
void* registry_iterate_next(ObjectRegistry* registry, ObjectId* id);

// The id a create operation returns for a record made with AUTO_ID.
inline ObjectId dynamic_id_of(void* record) { return reinterpret_cast<ObjectId>(record); }
