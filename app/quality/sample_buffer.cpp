#include "app/quality/sample_buffer.h"

bool SampleBuffer::allocate(const SampleCanvas& canvas) {
  const auto elements = static_cast<std::size_t>(canvas.elements());
  if (canvas.mode == SHADE_DENSITY) {
    counts.reset(static_cast<std::uint32_t*>(std::calloc(elements, sizeof(std::uint32_t))));
    return counts != nullptr;
  }
  keys.reset(static_cast<std::uint64_t*>(std::calloc(elements, sizeof(std::uint64_t))));
  return keys != nullptr;
}
