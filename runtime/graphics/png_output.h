// Where the PNG encoder's bytes go: a file written safely (temporary file,
// renamed over the target only when complete).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32/types.h"
#include "runtime/graphics/safe_file_writer.h"
#include "runtime/graphics/source_pixels.h"

struct PngOutput {
  SafeFileWriter file;
};

bool png_output_open(PngOutput* output, LPCWSTR file_name, const SourcePixels& source);
bool png_output_write(PngOutput* output, const void* data, std::size_t length);
// 1 once the file is in place, else 0.
std::intptr_t png_output_finish(PngOutput* output);
void png_output_abandon(PngOutput* output);
