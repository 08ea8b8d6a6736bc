// The built-in BMP writer: uncompressed Windows bitmaps at 1, 4, 8, 24 or 32
// bits per pixel, rows stored bottom line first.
#pragma once

#include <cstdint>

#include "platform/win32/types.h"

inline constexpr std::uint32_t BMP_FILE_HEADER_SIZE = 14;
inline constexpr std::uint32_t BMP_INFO_HEADER_SIZE = 40;

// Sizes of the file for one picture at output depth D (1, 4, 8, 24 or 32).
struct BmpLayout {
  std::uint32_t palette_entries;  // 2^D up to depth 8, else 0
  std::uint32_t data_offset;      // headers and palette
  std::uint32_t file_row_size;    // bytes per stored row, a multiple of 4
  std::uint32_t image_size;       // file_row_size * height
  std::uint32_t file_size;
};

// False for an unsupported depth or a picture too big for the format.
bool bmp_layout(BmpLayout* layout, int width, int height, int depth);

// Writes the pixel rows (24- or 32-bit, row_size bytes apart) as a BMP file of
// the given output depth. 1 on success; 0 with no file created for a bad
// argument, and 0 with any older file of that name left as it was when the
// write fails. Options bit SAVE_OPTION_ERROR_DIFFUSION dithers palette depths.
int bmp_write_file(LPCWSTR file_name, const void* pixels, int row_size, int width, int height, int source_depth,
                   int row_flags, int options, int depth);
