#include "runtime/graphics/png_output.h"

#include <cstring>

#include "runtime/core/memory.h"

namespace {

constexpr std::int64_t MEMORY_HEADROOM = 32768;

bool open_memory(MemoryTarget* memory, const SourcePixels& source) {
  std::int64_t size = std::int64_t{source.width} * source.height * source.bytes_per_pixel + MEMORY_HEADROOM;
  if (size > INT32_MAX) size = INT32_MAX;
  memory->block = static_cast<BYTE*>(memory_alloc(size, MEMORY_NO_CLEAR));
  memory->length = 0;
  memory->capacity = memory->block != nullptr ? static_cast<std::int32_t>(size) : 0;
  return memory->block != nullptr;
}

// Doubles the block (at least to `needed`); false past 2 GB or when the heap
// is exhausted, the block then unchanged.
bool grow_memory(MemoryTarget* memory, std::int64_t needed) {
  if (needed > INT32_MAX) return false;
  std::int64_t doubled = std::int64_t{memory->capacity} * 2;
  std::int64_t size = doubled > needed ? (doubled > INT32_MAX ? INT32_MAX : doubled) : needed;
  void* grown = memory_realloc(memory->block, size);
  if (grown == nullptr) return false;
  memory->block = static_cast<BYTE*>(grown);
  memory->capacity = static_cast<std::int32_t>(size);
  return true;
}

void write_to_file(png_structp png, png_bytep data, png_size_t length) {
  auto* output = static_cast<PngOutput*>(png_get_io_ptr(png));
  if (!safe_file_write(&output->file, data, length)) png_error(png, "write failed");
}

// Without it libpng would flush the I/O pointer as a stdio FILE.
void flush_nothing(png_structp) {}

}  // namespace

bool png_output_open(PngOutput* output, LPCWSTR file_name, const SourcePixels& source) {
  output->to_memory = file_name == nullptr || file_name[0] == 0;
  output->file.file = INVALID_HANDLE_VALUE;
  output->memory = MemoryTarget{nullptr, 0, 0};
  return output->to_memory ? open_memory(&output->memory, source) : safe_file_open(&output->file, file_name);
}

void png_output_bind(PngOutput* output, png_structp png) {
  if (output->to_memory) {
    png_set_write_fn(png, &output->memory, png_memory_write, flush_nothing);
  } else {
    png_set_write_fn(png, output, write_to_file, flush_nothing);
  }
}

std::intptr_t png_output_finish(PngOutput* output) {
  if (!output->to_memory) return safe_file_commit(&output->file) ? 1 : 0;
  MemoryTarget& memory = output->memory;
  void* shrunk = memory.length > 0 ? memory_realloc(memory.block, memory.length) : nullptr;
  BYTE* block = shrunk != nullptr ? static_cast<BYTE*>(shrunk) : memory.block;
  memory = MemoryTarget{nullptr, 0, 0};
  return reinterpret_cast<std::intptr_t>(block);
}

void png_output_abandon(PngOutput* output) {
  if (!output->to_memory) {
    safe_file_abandon(&output->file);
    return;
  }
  memory_free(output->memory.block);
  output->memory = MemoryTarget{nullptr, 0, 0};
}

void png_memory_write(png_structp png, png_bytep data, png_size_t length) {
  auto* memory = static_cast<MemoryTarget*>(png_get_io_ptr(png));
  if (length > INT32_MAX) png_error(png, "memory target full");
  std::int64_t needed = std::int64_t{memory->length} + static_cast<std::int64_t>(length);
  if (needed > memory->capacity && !grow_memory(memory, needed)) png_error(png, "memory target full");
  std::memcpy(memory->block + memory->length, data, length);
  memory->length = static_cast<std::int32_t>(needed);
}
