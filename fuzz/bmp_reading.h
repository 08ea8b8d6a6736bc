// BMP files read back by a reader written from the format's description, as
// an independent check of what the encoders write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline std::uint32_t bmp_le32(const std::uint8_t* at) {
  return at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}
inline std::uint16_t bmp_le16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | at[1] << 8); }

// A 24-bit BMP's pixels as R, G, B, top line first.
struct DecodedBmp {
  std::int32_t width = 0, height = 0;
  std::vector<std::vector<std::uint8_t>> rows;
};

// False unless the file is a whole, uncompressed 24-bit BMP stored bottom line first.
bool bmp_decode_24(const std::string& file, DecodedBmp& decoded);
