// Writes an RGB or RGBA PNG of 8 or 16 bits per channel row by row, so that no whole
// picture needs to be held, with text chunks that say how it was made. The
// file is written safely: an older file of the name survives any failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Fills row y (top line first) of width · 3 samples (4 with alpha),
// big-endian at 16 bits.
using RowProducer = void (*)(void* context, std::int64_t y, std::uint8_t* row);

struct PngText {
  std::string keyword;  // Latin-1 letters, 1 to 79 of them
  std::string text;     // UTF-8; written as iTXt when it is not plain ASCII
};

struct PngRowsJob {
  std::u16string file_name;
  std::int64_t width = 0;
  std::int64_t height = 0;
  int depth = 8;
  bool alpha = false;  // R, G, B, A per pixel instead of R, G, B
  std::vector<PngText> texts;
  RowProducer produce = nullptr;
  void* context = nullptr;
};

bool png_rows_write(const PngRowsJob& job);
