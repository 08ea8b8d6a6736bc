#include "runtime/graphics/bmp_encoder.h"

#include <cstdlib>
#include <cstring>

#include "runtime/graphics/encoder_table.h"
#include "runtime/graphics/palette.h"
#include "runtime/graphics/safe_file_writer.h"
#include "runtime/graphics/source_pixels.h"

namespace {

constexpr std::uint16_t BMP_SIGNATURE = 0x4D42;  // "BM"
constexpr std::uint32_t BI_RGB_COMPRESSION = 0;

std::int64_t round_up_to_4(std::int64_t value) { return (value + 3) / 4 * 4; }

std::int64_t packed_row_bytes(std::int64_t width, int depth) {
  switch (depth) {
    case 1: return (width + 7) / 8;
    case 4: return (width + 1) / 2;
    case 8: return width;
    default: return depth / 8 * width;
  }
}

bool supported_depth(int depth) { return depth == 1 || depth == 4 || depth == 8 || depth == 24 || depth == 32; }

void put_u16(BYTE* at, std::uint32_t value) {
  at[0] = static_cast<BYTE>(value);
  at[1] = static_cast<BYTE>(value >> 8);
}

void put_u32(BYTE* at, std::uint32_t value) {
  put_u16(at, value);
  put_u16(at + 2, value >> 16);
}

void fill_headers(BYTE headers[BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE], const BmpLayout& layout, int width,
                  int height, int depth) {
  std::memset(headers, 0, BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE);
  put_u16(headers + 0, BMP_SIGNATURE);
  put_u32(headers + 2, layout.file_size);
  put_u32(headers + 10, layout.data_offset);
  BYTE* info = headers + BMP_FILE_HEADER_SIZE;
  put_u32(info + 0, BMP_INFO_HEADER_SIZE);
  put_u32(info + 4, static_cast<std::uint32_t>(width));
  put_u32(info + 8, static_cast<std::uint32_t>(height));  // positive: bottom line first
  put_u16(info + 12, 1);                                   // planes
  put_u16(info + 14, static_cast<std::uint32_t>(depth));
  put_u32(info + 16, BI_RGB_COMPRESSION);
  put_u32(info + 20, layout.image_size);
  // Resolution and colour counts stay 0.
}

bool write_headers(SafeFileWriter* file, const BmpLayout& layout, int width, int height, int depth) {
  BYTE headers[BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE];
  fill_headers(headers, layout, width, height, depth);
  return safe_file_write(file, headers, sizeof headers);
}

// Stored row i is the picture's line i from the bottom.
int source_row_for(int stored_row, int height, int row_flags) {
  return (row_flags & ROWS_BOTTOM_UP) != 0 ? stored_row : height - 1 - stored_row;
}

void convert_row(const SourcePixels& source, int row, int depth, BYTE* out) {
  const BYTE* in = source_row(source, row);
  int out_bytes = depth / 8;
  for (int x = 0; x < source.width; ++x, in += source.bytes_per_pixel, out += out_bytes) {
    if (source.bytes_per_pixel == 4 && depth == 32) {
      std::memcpy(out, in, 4);  // the stored alpha is kept, as in the one-piece copy
    } else if (source.bytes_per_pixel == 4) {
      for (int c = 0; c < 3; ++c) out[c] = composite_over_white(in[c], in[3]);
    } else {
      std::memcpy(out, in, 3);
      if (depth == 32) out[3] = 0;
    }
  }
}

bool write_true_colour(SafeFileWriter* file, const SourcePixels& source, const BmpLayout& layout, int depth,
                       int row_flags) {
  bool same_layout = source.bytes_per_pixel * 8 == depth && (row_flags & ROWS_BOTTOM_UP) != 0 &&
                     static_cast<std::uint32_t>(source.row_size) == layout.file_row_size;
  if (same_layout) return safe_file_write(file, source.rows, layout.image_size);
  BYTE* row = static_cast<BYTE*>(std::calloc(layout.file_row_size, 1));
  if (row == nullptr) return false;
  bool ok = true;
  for (int i = 0; ok && i < source.height; ++i) {
    convert_row(source, source_row_for(i, source.height, row_flags), depth, row);
    ok = safe_file_write(file, row, layout.file_row_size);
  }
  std::free(row);
  return ok;
}

bool write_palette_image(SafeFileWriter* file, const PaletteImage& image, int row_flags) {
  BYTE entries[256][4];
  for (int j = 0; j < image.colour_count; ++j) {
    entries[j][0] = image.colours[j][0];
    entries[j][1] = image.colours[j][1];
    entries[j][2] = image.colours[j][2];
    entries[j][3] = 0;  // reserved in a BMP palette
  }
  if (!safe_file_write(file, entries, 4 * static_cast<std::size_t>(image.colour_count))) return false;
  for (int i = 0; i < image.height; ++i) {
    if (!safe_file_write(file, palette_index_row(image, source_row_for(i, image.height, row_flags)),
                         image.row_size)) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool bmp_layout(BmpLayout* layout, int width, int height, int depth) {
  if (!supported_depth(depth) || width < 1 || height < 1) return false;
  std::int64_t entries = depth <= 8 ? std::int64_t{1} << depth : 0;
  std::int64_t data_offset = BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE + 4 * entries;
  std::int64_t row = round_up_to_4(packed_row_bytes(width, depth));
  std::int64_t image_size = row * height;
  if (data_offset + image_size > UINT32_MAX) return false;
  *layout = BmpLayout{static_cast<std::uint32_t>(entries), static_cast<std::uint32_t>(data_offset),
                      static_cast<std::uint32_t>(row), static_cast<std::uint32_t>(image_size),
                      static_cast<std::uint32_t>(data_offset + image_size)};
  return true;
}

int bmp_write_file(LPCWSTR file_name, const void* pixels, int row_size, int width, int height, int source_depth,
                   int row_flags, int options, int depth) {
  BmpLayout layout;
  SourcePixels source;
  if (file_name == nullptr || file_name[0] == 0) return 0;
  if (!bmp_layout(&layout, width, height, depth)) return 0;
  if (!source_pixels_make(&source, pixels, width, height, row_size, source_depth)) return 0;
  // Reduce colours before any file exists: a failure here leaves nothing behind.
  PaletteImage palette{};
  if (depth <= 8 && !palette_build(&palette, pixels, width, height, source_depth, row_size, depth, options)) {
    return 0;
  }
  SafeFileWriter file;
  bool ok = safe_file_open(&file, file_name) && write_headers(&file, layout, width, height, depth) &&
            (depth <= 8 ? write_palette_image(&file, palette, row_flags)
                        : write_true_colour(&file, source, layout, depth, row_flags));
  palette_free(&palette);
  if (!ok) {
    safe_file_abandon(&file);
    return 0;
  }
  return safe_file_commit(&file) ? 1 : 0;
}
