// Global memory blocks, as clipboard and drag-and-drop data travel in.
// A GMEM_FIXED block's handle is its pointer; a GMEM_MOVEABLE block has a
// handle of its own that GlobalLock turns into the pointer.
#include <cstdlib>
#include <map>
#include <mutex>
#include <new>

#include "platform/win32/kernel32.h"

namespace {

struct GlobalBlock {
  void* memory = nullptr;
  SIZE_T size = 0;
  bool moveable = false;
  unsigned lock_count = 0;
};

// A moveable handle is the address of a small cell of its own, so it can
// never equal the address of a fixed block that is alive at the same time.
struct MoveableCell {
  char unused;
};

struct GlobalTable {
  std::mutex lock;
  std::map<HGLOBAL, GlobalBlock> blocks;
};

GlobalTable& table() {
  static GlobalTable* instance = new GlobalTable;
  return *instance;
}

GlobalBlock* find_block(GlobalTable& globals, HGLOBAL memory) {
  auto found = globals.blocks.find(memory);
  if (found != globals.blocks.end()) return &found->second;
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

HGLOBAL register_block(GlobalBlock block) {
  HGLOBAL handle = block.memory;
  if (block.moveable) handle = new (std::nothrow) MoveableCell;
  if (!handle) return nullptr;
  GlobalTable& globals = table();
  std::lock_guard guard(globals.lock);
  try {
    globals.blocks.emplace(handle, block);
  } catch (const std::bad_alloc&) {
    if (block.moveable) delete static_cast<MoveableCell*>(handle);
    return nullptr;
  }
  return handle;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  GlobalBlock block;
  block.size = bytes;
  block.moveable = flags & GMEM_MOVEABLE;
  // Never zero bytes: every block needs an address of its own.
  block.memory = (flags & GMEM_ZEROINIT) ? std::calloc(1, bytes ? bytes : 1) : std::malloc(bytes ? bytes : 1);
  HGLOBAL handle = block.memory ? register_block(block) : nullptr;
  if (!handle) {
    std::free(block.memory);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  }
  return handle;
}

LPVOID GlobalLock(HGLOBAL memory) {
  GlobalTable& globals = table();
  std::lock_guard guard(globals.lock);
  GlobalBlock* block = find_block(globals, memory);
  if (!block) return nullptr;
  if (block->moveable) ++block->lock_count;
  return block->memory;
}

// Nonzero while the block stays locked; FALSE with ERROR_SUCCESS when this
// call unlocked it, FALSE with ERROR_NOT_LOCKED when it was not locked.
BOOL GlobalUnlock(HGLOBAL memory) {
  GlobalTable& globals = table();
  std::lock_guard guard(globals.lock);
  GlobalBlock* block = find_block(globals, memory);
  if (!block) return FALSE;
  if (!block->moveable) return TRUE;  // fixed blocks have no lock count
  if (block->lock_count == 0) {
    SetLastError(ERROR_NOT_LOCKED);
    return FALSE;
  }
  if (--block->lock_count > 0) return TRUE;
  SetLastError(ERROR_SUCCESS);
  return FALSE;
}

SIZE_T GlobalSize(HGLOBAL memory) {
  GlobalTable& globals = table();
  std::lock_guard guard(globals.lock);
  GlobalBlock* block = find_block(globals, memory);
  return block ? block->size : 0;
}

// Null on success; the handle itself when it names no block.
HGLOBAL GlobalFree(HGLOBAL memory) {
  if (!memory) return nullptr;
  GlobalTable& globals = table();
  std::lock_guard guard(globals.lock);
  auto found = globals.blocks.find(memory);
  if (found == globals.blocks.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return memory;
  }
  std::free(found->second.memory);
  if (found->second.moveable) delete static_cast<MoveableCell*>(memory);
  globals.blocks.erase(found);
  return nullptr;
}
