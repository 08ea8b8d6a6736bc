#include "packaging/icon_backdrop.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Rgba {
  int red, green, blue, alpha;
};

Rgba pixel_at(const std::vector<unsigned char>& icon, int size, int x, int y) {
  const unsigned char* pixel = &icon[(static_cast<std::size_t>(y) * size + x) * 4];
  return {pixel[0], pixel[1], pixel[2], pixel[3]};
}

std::vector<unsigned char> clear_square(int size) { return std::vector<unsigned char>(static_cast<std::size_t>(size) * size * 4, 0); }

void set_pixel(std::vector<unsigned char>& icon, int size, int x, int y, Rgba colour) {
  unsigned char* pixel = &icon[(static_cast<std::size_t>(y) * size + x) * 4];
  pixel[0] = static_cast<unsigned char>(colour.red);
  pixel[1] = static_cast<unsigned char>(colour.green);
  pixel[2] = static_cast<unsigned char>(colour.blue);
  pixel[3] = static_cast<unsigned char>(colour.alpha);
}

TEST(IconOnBackdrop, IsADarkOpaqueSquareWithRoundedSmoothCorners) {
  const int size = 64;
  const int inner = size - 2 * icon_backdrop_inset(size);
  const std::vector<unsigned char> icon = icon_on_backdrop(clear_square(inner), inner, size);
  ASSERT_EQ(icon.size(), static_cast<std::size_t>(size) * size * 4);

  const Rgba centre = pixel_at(icon, size, size / 2, size / 2);
  EXPECT_EQ(centre.alpha, 255);
  EXPECT_LT(0.2126 * centre.red + 0.7152 * centre.green + 0.0722 * centre.blue, 0.2 * 255) << "a dark backdrop";
  for (int corner = 0; corner < 4; ++corner)
    EXPECT_EQ(pixel_at(icon, size, corner % 2 ? size - 1 : 0, corner / 2 ? size - 1 : 0).alpha, 0) << corner;
  // The straight edges are whole to the icon's border.
  EXPECT_EQ(pixel_at(icon, size, 0, size / 2).alpha, 255);
  EXPECT_EQ(pixel_at(icon, size, size / 2, size - 1).alpha, 255);

  // The corner goes from clear to opaque through partly covered pixels, and
  // the shape is the same at every corner.
  int partly_covered = 0;
  for (int y = 0; y < size / 2; ++y)
    for (int x = 0; x < size / 2; ++x) partly_covered += pixel_at(icon, size, x, y).alpha % 255 != 0;
  EXPECT_GT(partly_covered, 4);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const int alpha = pixel_at(icon, size, x, y).alpha;
      ASSERT_EQ(alpha, pixel_at(icon, size, size - 1 - x, y).alpha) << x << "," << y;
      ASSERT_EQ(alpha, pixel_at(icon, size, x, size - 1 - y).alpha) << x << "," << y;
      ASSERT_EQ(alpha, pixel_at(icon, size, y, x).alpha) << x << "," << y;
    }
  }
}

TEST(IconOnBackdrop, TheFractalIsCentredAndLaidOverTheBackdrop) {
  const int size = 20, inner = 16, offset = 2;
  std::vector<unsigned char> fractal = clear_square(inner);
  set_pixel(fractal, inner, 0, 0, {255, 0, 0, 255});
  set_pixel(fractal, inner, 1, 0, {255, 255, 255, 128});
  const std::vector<unsigned char> icon = icon_on_backdrop(fractal, inner, size);

  const Rgba opaque = pixel_at(icon, size, offset, offset);
  EXPECT_EQ(opaque.red, 255);
  EXPECT_EQ(opaque.green, 0);
  EXPECT_EQ(opaque.blue, 0);
  EXPECT_EQ(opaque.alpha, 255);

  // Half white over the backdrop: halfway between the two, opaque.
  const Rgba backdrop = pixel_at(icon, size, size / 2, size / 2);
  const Rgba half = pixel_at(icon, size, offset + 1, offset);
  EXPECT_EQ(half.alpha, 255);
  const int mixed[3] = {half.red, half.green, half.blue};
  const int under[3] = {backdrop.red, backdrop.green, backdrop.blue};
  for (int channel = 0; channel < 3; ++channel)
    EXPECT_NEAR(mixed[channel], (255 * 128 + under[channel] * 127) / 255.0, 1.0) << channel;
}

TEST(IconOnBackdrop, TheFractalsSquareStaysInsideTheRoundedCornersAtEveryThemeSize) {
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const int inset = icon_backdrop_inset(size);
    const int inner = size - 2 * inset;
    ASSERT_GT(inset, 0) << size;
    const std::vector<unsigned char> icon = icon_on_backdrop(clear_square(inner), inner, size);
    for (int corner = 0; corner < 4; ++corner) {
      const int x = corner % 2 ? inset + inner - 1 : inset;
      const int y = corner / 2 ? inset + inner - 1 : inset;
      EXPECT_EQ(pixel_at(icon, size, x, y).alpha, 255) << size << " corner " << corner;
    }
  }
}

}  // namespace
