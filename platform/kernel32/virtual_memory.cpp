// VirtualAlloc and VirtualFree over anonymous mappings. Large blocks are
// aligned to 2 MiB and marked for transparent huge pages: a canvas of counts
// scattered over hundreds of megabytes then misses the TLB far less, and
// clearing it costs a fraction of the time.
#include <sys/mman.h>

#include <cstdint>
#include <mutex>
#include <unordered_map>

#include "platform/win32/kernel32.h"

namespace {

constexpr std::size_t LARGE_PAGE = std::size_t{2} << 20;

// Where each block's mapping begins and how long it is, by the address given out.
struct Mapping {
  void* begin;
  std::size_t length;
};

std::mutex& mappings_lock() {
  static std::mutex lock;
  return lock;
}

std::unordered_map<void*, Mapping>& mappings() {
  static std::unordered_map<void*, Mapping> table;
  return table;
}

// Over-maps by one large page and unmaps the ends, so the block starts on a
// 2 MiB boundary.
void* map_aligned(std::size_t size, Mapping& mapping) {
  if (size > SIZE_MAX - LARGE_PAGE) return nullptr;
  const std::size_t length = size + LARGE_PAGE;
  void* raw = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + LARGE_PAGE - 1) & ~(std::uintptr_t{LARGE_PAGE} - 1);
  const std::size_t head = aligned - start;
  if (head > 0) munmap(raw, head);
  const std::size_t tail = length - head - size;
  if (tail > 0) munmap(reinterpret_cast<void*>(aligned + size), tail);
  auto* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
  madvise(block, size, MADV_HUGEPAGE);  // only advice: small pages still work
#endif
  mapping = {block, size};
  return block;
}

void* map_plain(std::size_t size, Mapping& mapping) {
  void* block = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return nullptr;
  mapping = {block, size};
  return block;
}

}  // namespace

LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocation_type, DWORD protect) {
  if (address != nullptr || size == 0 || (allocation_type & MEM_COMMIT) == 0 || protect != PAGE_READWRITE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Mapping mapping{};
  void* block = size >= LARGE_PAGE ? map_aligned(size, mapping) : map_plain(size, mapping);
  if (block == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  try {
    const std::lock_guard<std::mutex> hold(mappings_lock());
    mappings().emplace(block, mapping);
  } catch (...) {
    munmap(mapping.begin, mapping.length);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return block;
}

BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD free_type) {
  if (address == nullptr || size != 0 || free_type != MEM_RELEASE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Mapping mapping{};
  {
    const std::lock_guard<std::mutex> hold(mappings_lock());
    const auto found = mappings().find(address);
    if (found == mappings().end()) {
      SetLastError(ERROR_INVALID_ADDRESS);
      return FALSE;
    }
    mapping = found->second;
    mappings().erase(found);
  }
  return munmap(mapping.begin, mapping.length) == 0 ? TRUE : FALSE;
}
