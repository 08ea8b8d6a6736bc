// Where the PNG encoder's bytes go: a file written safely (a temporary file
// renamed over the target only when complete), or, without a file name, a
// block from the memory heap.
#pragma once

#include <png.h>

#include <cstdint>

#include "platform/win32/types.h"
#include "runtime/graphics/safe_file_writer.h"
#include "runtime/graphics/source_pixels.h"

struct MemoryTarget {
  BYTE* block;            // from the memory heap
  std::int32_t length;    // bytes written so far
  std::int32_t capacity;  // bytes the block holds; it grows rather than overflow
};

struct PngOutput {
  bool to_memory;
  SafeFileWriter file;
  MemoryTarget memory;
};

// A null or empty file name chooses the memory target, sized for the raw
// pixels and 32 KB more. False when neither can be made.
bool png_output_open(PngOutput* output, LPCWSTR file_name, const SourcePixels& source);
// Makes libpng write into the output.
void png_output_bind(PngOutput* output, png_structp png);
// A file: 1 once it is in place, else 0. Memory: the block, shrunk to the
// bytes written.
std::intptr_t png_output_finish(PngOutput* output);
// Removes the temporary file or frees the block.
void png_output_abandon(PngOutput* output);

// libpng's write callback for the memory target; a block that cannot grow
// ends the encode through libpng's error path.
void png_memory_write(png_structp png, png_bytep data, png_size_t length);
