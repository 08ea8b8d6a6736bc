// A set of addresses (open addressing, linear probing) whose table lives in
// the main heap. The registry keeps its live dynamic records in one, so that
// a dynamic id can be checked without dereferencing it.
#pragma once

#include <cstdint>

struct PointerSet {
  void** entries;  // null until the first insert
  std::int32_t capacity;
  std::int32_t count;
};

// False when the table cannot grow (the set is then unchanged).
bool pointer_set_insert(PointerSet* set, void* pointer);
bool pointer_set_contains(const PointerSet* set, const void* pointer);
void pointer_set_erase(PointerSet* set, const void* pointer);
