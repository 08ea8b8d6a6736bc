#include "runtime/graphics/png_output.h"

bool png_output_open(PngOutput* output, LPCWSTR file_name, const SourcePixels& source) {
  return safe_file_open(&output->file, file_name);
}

bool png_output_write(PngOutput* output, const void* data, std::size_t length) {
  return safe_file_write(&output->file, data, length);
}

std::intptr_t png_output_finish(PngOutput* output) { return safe_file_commit(&output->file) ? 1 : 0; }

void png_output_abandon(PngOutput* output) { safe_file_abandon(&output->file); }
