#include "fuzz/bmp_reading.h"

namespace {

constexpr std::size_t HEADERS_SIZE = 54;

}  // namespace

bool bmp_decode_24(const std::string& file, DecodedBmp& decoded) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.data());
  if (file.size() < HEADERS_SIZE || file[0] != 'B' || file[1] != 'M') return false;
  if (bmp_le32(bytes + 2) != file.size() || bmp_le32(bytes + 10) != HEADERS_SIZE || bmp_le32(bytes + 14) != 40) return false;
  const auto width = static_cast<std::int32_t>(bmp_le32(bytes + 18));
  const auto height = static_cast<std::int32_t>(bmp_le32(bytes + 22));
  if (width <= 0 || height <= 0 || bmp_le16(bytes + 26) != 1 || bmp_le16(bytes + 28) != 24 || bmp_le32(bytes + 30) != 0)
    return false;
  const std::size_t row_size = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  if (file.size() != HEADERS_SIZE + row_size * static_cast<std::size_t>(height)) return false;
  decoded.width = width;
  decoded.height = height;
  decoded.rows.assign(static_cast<std::size_t>(height), std::vector<std::uint8_t>(static_cast<std::size_t>(width) * 3));
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint8_t* stored = bytes + HEADERS_SIZE + row_size * static_cast<std::size_t>(height - 1 - y);
    for (std::int32_t x = 0; x < width; ++x)
      for (int channel = 0; channel < 3; ++channel) decoded.rows[y][x * 3 + channel] = stored[x * 3 + 2 - channel];
  }
  return true;
}
