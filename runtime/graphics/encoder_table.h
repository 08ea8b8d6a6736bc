// Image formats beyond the built-in BMP writer: encoders register a static
// record at start-up and the saver picks the first one that answers to a
// format id.
#pragma once

#include <cstdint>

#include "platform/win32/types.h"

// A format id's bytes in memory spell the format's name and a zero byte.
inline constexpr std::uint32_t FORMAT_BMP = 0x504D42;  // "BMP"
inline constexpr std::uint32_t FORMAT_PNG = 0x474E50;  // "PNG"

// Row-order flag: pixel row 0 in memory is the bottom line of the picture.
inline constexpr int ROWS_BOTTOM_UP = 2;

// Options handed through to the writers unchanged.
inline constexpr int SAVE_OPTIONS_DEFAULT = 7;
// Diffuse the quantisation error while reducing colours for palette depths.
inline constexpr int SAVE_OPTION_ERROR_DIFFUSION = 0x100;

// Output depth that means "the image's own depth".
inline constexpr int DEPTH_OF_IMAGE = -1;

// (file name, pixel rows, width, height, row size, row-order flags, options,
// output depth) -> 1 on success, 0 on failure. An encoder may give a null file
// name a meaning of its own and return something else (the PNG memory target).
using ImageEncodeEntry = std::intptr_t (*)(LPCWSTR file_name, const void* pixels, int width, int height,
                                           int row_size, int row_flags, int options, int depth);

struct ImageEncoder {
  std::uint32_t format_id;
  ImageEncodeEntry encode_rgb;   // rows of B, G, R
  ImageEncodeEntry encode_rgba;  // rows of B, G, R, A; null when the encoder has none
};

inline constexpr int ENCODER_TABLE_CAPACITY = 30;

// Appends the record (owned by the encoder) in registration order; false when
// the table is full or the record is null.
bool image_encoder_register(const ImageEncoder* encoder);
// First registered encoder answering to format_id, or null.
const ImageEncoder* image_encoder_find(std::uint32_t format_id);
