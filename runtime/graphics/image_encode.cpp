// The format dispatcher behind image_save.
#include <cstdlib>

#include "runtime/graphics/bmp_encoder.h"
#include "runtime/graphics/image_save.h"
#include "runtime/graphics/source_pixels.h"

namespace {

// The 24-bit copy of a 32-bit picture, composited over white; null when the
// memory cannot be had.
BYTE* flatten_over_white(const SourcePixels& source, int* flat_row_size) {
  std::int64_t row_size = (3 * std::int64_t{source.width} + 3) / 4 * 4;
  std::int64_t total = row_size * source.height;
  if (row_size > INT32_MAX || total > PTRDIFF_MAX) return nullptr;
  BYTE* flat = static_cast<BYTE*>(std::calloc(static_cast<std::size_t>(total), 1));
  if (flat == nullptr) return nullptr;
  for (int y = 0; y < source.height; ++y) {
    const BYTE* in = source_row(source, y);
    BYTE* out = flat + y * row_size;
    for (int x = 0; x < source.width; ++x, in += 4, out += 3) {
      for (int c = 0; c < 3; ++c) out[c] = composite_over_white(in[c], in[3]);
    }
  }
  *flat_row_size = static_cast<int>(row_size);
  return flat;
}

int encode_flattened(const ImageEncoder& encoder, LPCWSTR file_name, const SourcePixels& source, int row_flags,
                     int options, int depth) {
  int flat_row_size = 0;
  BYTE* flat = flatten_over_white(source, &flat_row_size);
  if (flat == nullptr) return 0;
  std::intptr_t result =
      encoder.encode_rgb(file_name, flat, source.width, source.height, flat_row_size, row_flags, options, depth);
  std::free(flat);
  return result != 0 ? 1 : 0;
}

}  // namespace

int image_encode_file(LPCWSTR file_name, const void* pixels, std::uint32_t format_id, int width, int height,
                      int row_size, int source_depth, int row_flags, int options, int depth) {
  // Without a name an encoder may answer with a memory block the caller here
  // could never free.
  if (file_name == nullptr || file_name[0] == 0) return 0;
  if (format_id == FORMAT_BMP) {
    return bmp_write_file(file_name, pixels, row_size, width, height, source_depth, row_flags, options, depth);
  }
  const ImageEncoder* encoder = image_encoder_find(format_id);
  SourcePixels source;
  if (format_id == 0 || encoder == nullptr) return 0;
  if (!source_pixels_make(&source, pixels, width, height, row_size, source_depth)) return 0;
  std::intptr_t result = 0;
  if (source_depth == 24) {
    result = encoder->encode_rgb(file_name, pixels, width, height, row_size, row_flags, options, depth);
  } else if (encoder->encode_rgba != nullptr && (depth == 32 || depth == DEPTH_OF_IMAGE)) {
    result = encoder->encode_rgba(file_name, pixels, width, height, row_size, row_flags, options, depth);
  } else {
    return encode_flattened(*encoder, file_name, source, row_flags, options, depth);
  }
  return result != 0 ? 1 : 0;
}
