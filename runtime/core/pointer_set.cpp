#include "runtime/core/pointer_set.h"

#include <cstddef>

#include "platform/win32/kernel32.h"
#include "runtime/core/heaps.h"

namespace {

constexpr std::int32_t INITIAL_CAPACITY = 16;

std::size_t home_of(const void* pointer, std::int32_t capacity) {
  // Records are heap blocks: the low bits carry no information.
  auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(pointer)) >> 4;
  return static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ull) >> 32) & static_cast<std::size_t>(capacity - 1);
}

std::size_t next_of(std::size_t index, std::int32_t capacity) {
  return (index + 1) & static_cast<std::size_t>(capacity - 1);
}

void place(void** entries, std::int32_t capacity, void* pointer) {
  std::size_t index = home_of(pointer, capacity);
  while (entries[index]) index = next_of(index, capacity);
  entries[index] = pointer;
}

bool grow(PointerSet* set) {
  if (set->capacity > (INT32_MAX / 2)) return false;
  std::int32_t capacity = set->capacity ? set->capacity * 2 : INITIAL_CAPACITY;
  auto** entries = static_cast<void**>(
      HeapAlloc(main_heap(), HEAP_ZERO_MEMORY, static_cast<SIZE_T>(capacity) * sizeof(void*)));
  if (!entries) return false;
  for (std::int32_t i = 0; i < set->capacity; ++i)
    if (set->entries[i]) place(entries, capacity, set->entries[i]);
  if (set->entries) HeapFree(main_heap(), 0, set->entries);
  set->entries = entries;
  set->capacity = capacity;
  return true;
}

// Index of pointer in the table, or -1.
std::ptrdiff_t find(const PointerSet* set, const void* pointer) {
  if (!set->entries || !pointer) return -1;
  for (std::size_t index = home_of(pointer, set->capacity); set->entries[index];
       index = next_of(index, set->capacity))
    if (set->entries[index] == pointer) return static_cast<std::ptrdiff_t>(index);
  return -1;
}

}  // namespace

bool pointer_set_insert(PointerSet* set, void* pointer) {
  if (!pointer) return false;
  if (find(set, pointer) >= 0) return true;
  // Keep the table at most half full so that probes stay short.
  if ((set->count + 1) * 2 > set->capacity && !grow(set)) return false;
  place(set->entries, set->capacity, pointer);
  ++set->count;
  return true;
}

bool pointer_set_contains(const PointerSet* set, const void* pointer) { return find(set, pointer) >= 0; }

void pointer_set_erase(PointerSet* set, const void* pointer) {
  std::ptrdiff_t found = find(set, pointer);
  if (found < 0) return;
  // Backward-shift deletion: move later members of the probe run into the hole
  // when their home does not lie cyclically between the hole and themselves.
  auto hole = static_cast<std::size_t>(found);
  set->entries[hole] = nullptr;
  for (std::size_t index = next_of(hole, set->capacity); set->entries[index]; index = next_of(index, set->capacity)) {
    std::size_t home = home_of(set->entries[index], set->capacity);
    bool home_between = hole <= index ? (hole < home && home <= index) : (hole < home || home <= index);
    if (home_between) continue;
    set->entries[hole] = set->entries[index];
    set->entries[index] = nullptr;
    hole = index;
  }
  --set->count;
}
