#include "packaging/icon_shrink.h"

#include <algorithm>

namespace {

// A share of lit pixels this large or more is fully opaque: the points of a
// chaos game leave gaps that would otherwise make small icons look faded.
constexpr int FULL_OPACITY_SHARE_DIVISOR = 3;
// The border around the lit box, as a fraction of its longer side.
constexpr int BORDER_DIVISOR = 32;

bool is_lit(const IconPicture& picture, int x, int y) {
  const unsigned char* pixel = &picture.rgb[(static_cast<std::size_t>(y) * picture.width + x) * 3];
  return pixel[0] != 0 || pixel[1] != 0 || pixel[2] != 0;
}

}  // namespace

IconSquare icon_lit_square(const IconPicture& picture) {
  int left = picture.width, right = -1, top = picture.height, bottom = -1;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (!is_lit(picture, x, y)) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return {0, 0, std::max({picture.width, picture.height, 1})};
  const int width = right - left + 1;
  const int height = bottom - top + 1;
  const int longer = std::max(width, height);
  const int side = longer + 2 * (longer / BORDER_DIVISOR);
  return {left - (side - width) / 2, top - (side - height) / 2, side};
}

std::vector<unsigned char> icon_shrink(const IconPicture& picture, const IconSquare& square, int size) {
  std::vector<unsigned char> rgba(static_cast<std::size_t>(size) * size * 4, 0);
  // Each icon pixel covers at least one picture pixel, also when growing.
  auto span = [&](int index, int& first, int& end) {
    first = static_cast<int>(static_cast<long long>(index) * square.side / size);
    end = std::max(first + 1, static_cast<int>(static_cast<long long>(index + 1) * square.side / size));
  };
  for (int icon_y = 0; icon_y < size; ++icon_y) {
    int first_y, end_y;
    span(icon_y, first_y, end_y);
    for (int icon_x = 0; icon_x < size; ++icon_x) {
      int first_x, end_x;
      span(icon_x, first_x, end_x);
      long long sum[3] = {0, 0, 0};
      long long lit = 0;
      const long long covered = static_cast<long long>(end_x - first_x) * (end_y - first_y);
      for (int y = square.top + first_y; y < square.top + end_y; ++y) {
        if (y < 0 || y >= picture.height) continue;
        for (int x = square.left + first_x; x < square.left + end_x; ++x) {
          if (x < 0 || x >= picture.width || !is_lit(picture, x, y)) continue;
          const unsigned char* pixel = &picture.rgb[(static_cast<std::size_t>(y) * picture.width + x) * 3];
          for (int channel = 0; channel < 3; ++channel) sum[channel] += pixel[channel];
          ++lit;
        }
      }
      if (lit == 0) continue;
      unsigned char* out = &rgba[(static_cast<std::size_t>(icon_y) * size + icon_x) * 4];
      for (int channel = 0; channel < 3; ++channel) out[channel] = static_cast<unsigned char>(sum[channel] / lit);
      out[3] = static_cast<unsigned char>(std::min<long long>(255, 255 * lit * FULL_OPACITY_SHARE_DIVISOR / covered));
    }
  }
  return rgba;
}
