// PNG files read back with libpng's read side, as an independent reader of
// what the encoders write.
#pragma once

#include <png.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct DecodedPng {
  png_uint_32 width = 0, height = 0;
  int colour_type = -1, bit_depth = 0;
  // Top line first; a palette expanded to R, G, B; 16-bit samples most
  // significant byte first, as the file stores them.
  std::vector<std::vector<std::uint8_t>> rows;
  std::map<std::string, std::string> texts;  // tEXt chunks by keyword
};

// False when libpng refuses the file.
bool png_decode(const std::uint8_t* data, std::size_t size, DecodedPng& decoded);
