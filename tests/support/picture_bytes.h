// Pixel bytes laid out as images hold them, for feeding the encoders.
#pragma once

#include <cstdint>
#include <vector>

// Bottom-up rows; 24-bit rows padded to 4 bytes, 32-bit rows need none.
struct Picture {
  int width, height, depth, row_size;
  std::vector<std::uint8_t> bytes;
  Picture(int w, int h, int d)
      : width(w), height(h), depth(d), row_size(d == 24 ? (3 * w + 3) / 4 * 4 : 4 * w), bytes(row_size * h, 0) {}
  std::uint8_t* pixel(int x, int y) { return &bytes[y * row_size + depth / 8 * x]; }
};
