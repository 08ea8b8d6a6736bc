#include "poster/sample_buffer.h"

#include <cstring>

#include "platform/win32/kernel32.h"

void PagesDeleter::operator()(void* block) const {
  if (block != nullptr) VirtualFree(block, 0, MEM_RELEASE);
}

bool SampleBuffer::allocate(const SampleCanvas& canvas) {
  const auto bytes = static_cast<std::size_t>(canvas.bytes());
  void* block = bytes > 0 ? VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE) : nullptr;
  if (canvas.mode == SHADE_DENSITY) {
    counts.reset(static_cast<std::uint32_t*>(block));
    return counts != nullptr;
  }
  keys.reset(static_cast<std::uint64_t*>(block));
  return keys != nullptr;
}

void SampleBuffer::clear(const SampleCanvas& canvas) { clear(canvas, 0, canvas.elements()); }

void SampleBuffer::clear(const SampleCanvas& canvas, std::int64_t begin, std::int64_t end) {
  if (end <= begin) return;
  const auto count = static_cast<std::size_t>(end - begin);
  if (canvas.mode == SHADE_DENSITY) {
    std::memset(counts.get() + begin, 0, count * sizeof(std::uint32_t));
  } else {
    std::memset(keys.get() + begin, 0, count * sizeof(std::uint64_t));
  }
}
