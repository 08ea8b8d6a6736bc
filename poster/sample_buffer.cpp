#include "poster/sample_buffer.h"

#include <cstring>

bool SampleBuffer::allocate(const SampleCanvas& canvas) {
  const auto bytes = static_cast<std::size_t>(canvas.bytes());
  if (canvas.mode == SHADE_DENSITY) {
    counts.reset(static_cast<std::uint32_t*>(std::malloc(bytes)));
    return counts != nullptr;
  }
  keys.reset(static_cast<std::uint64_t*>(std::malloc(bytes)));
  return keys != nullptr;
}

void SampleBuffer::clear(const SampleCanvas& canvas) {
  void* block = canvas.mode == SHADE_DENSITY ? static_cast<void*>(counts.get()) : static_cast<void*>(keys.get());
  std::memset(block, 0, static_cast<std::size_t>(canvas.bytes()));
}
