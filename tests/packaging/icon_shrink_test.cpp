#include "packaging/icon_shrink.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Rgb {
  unsigned char red, green, blue;
};

IconPicture black_picture(int width, int height) {
  return {width, height, std::vector<unsigned char>(static_cast<std::size_t>(width) * height * 3, 0)};
}

void paint(IconPicture& picture, int left, int top, int width, int height, Rgb colour) {
  for (int y = top; y < top + height; ++y) {
    for (int x = left; x < left + width; ++x) {
      unsigned char* pixel = &picture.rgb[(static_cast<std::size_t>(y) * picture.width + x) * 3];
      pixel[0] = colour.red;
      pixel[1] = colour.green;
      pixel[2] = colour.blue;
    }
  }
}

struct Rgba {
  int red, green, blue, alpha;
  bool operator==(const Rgba&) const = default;
};

Rgba icon_pixel(const std::vector<unsigned char>& icon, int size, int x, int y) {
  const unsigned char* pixel = &icon[(static_cast<std::size_t>(y) * size + x) * 4];
  return {pixel[0], pixel[1], pixel[2], pixel[3]};
}

TEST(IconLitSquare, IsASquareCentredOnTheLitPixelsWithRoomAroundThem) {
  IconPicture picture = black_picture(100, 60);
  paint(picture, 10, 20, 20, 40, {200, 100, 50});  // 20 wide, 40 tall, touching the bottom
  const IconSquare square = icon_lit_square(picture);
  EXPECT_GE(square.side, 40);
  EXPECT_LE(square.side, 44);
  // Contains the lit box.
  EXPECT_LE(square.left, 10);
  EXPECT_GE(square.left + square.side, 30);
  EXPECT_LE(square.top, 20);
  EXPECT_GE(square.top + square.side, 60);
  // Centred on it, to the pixel.
  EXPECT_LE(std::abs((square.left + square.left + square.side) - (10 + 30)), 1);
  EXPECT_LE(std::abs((square.top + square.top + square.side) - (20 + 60)), 1);

  const IconSquare whole = icon_lit_square(black_picture(30, 50));
  EXPECT_EQ(whole.left, 0);
  EXPECT_EQ(whole.top, 0);
  EXPECT_EQ(whole.side, 50);
}

TEST(IconShrink, LitPixelsKeepTheirColourAndBlackBecomesTransparent) {
  IconPicture picture = black_picture(64, 64);
  paint(picture, 0, 0, 32, 64, {255, 190, 255});  // left half lit
  const std::vector<unsigned char> icon = icon_shrink(picture, {0, 0, 64}, 4);
  ASSERT_EQ(icon.size(), 4u * 4 * 4);
  for (int y = 0; y < 4; ++y) {
    EXPECT_EQ(icon_pixel(icon, 4, 0, y), (Rgba{255, 190, 255, 255})) << y;
    EXPECT_EQ(icon_pixel(icon, 4, 1, y), (Rgba{255, 190, 255, 255})) << y;
    EXPECT_EQ(icon_pixel(icon, 4, 2, y).alpha, 0) << y;
    EXPECT_EQ(icon_pixel(icon, 4, 3, y).alpha, 0) << y;
  }
}

TEST(IconShrink, SparsePointsAreNotDimmedButShowThroughPartly) {
  IconPicture picture = black_picture(20, 20);
  // Two points of different colours in the first 10 x 10 block: 2 % of it.
  paint(picture, 2, 3, 1, 1, {200, 100, 0});
  paint(picture, 7, 8, 1, 1, {100, 200, 50});
  // A dense block: a third of the second block lit.
  paint(picture, 10, 0, 10, 4, {190, 255, 255});
  const std::vector<unsigned char> icon = icon_shrink(picture, {0, 0, 20}, 2);
  const Rgba sparse = icon_pixel(icon, 2, 0, 0);
  EXPECT_EQ(sparse.red, 150);  // the mean of the lit points, not of the block
  EXPECT_EQ(sparse.green, 150);
  EXPECT_EQ(sparse.blue, 25);
  EXPECT_GT(sparse.alpha, 0);
  EXPECT_LT(sparse.alpha, 64);
  EXPECT_EQ(icon_pixel(icon, 2, 1, 0), (Rgba{190, 255, 255, 255}));
  EXPECT_EQ(icon_pixel(icon, 2, 0, 1).alpha, 0);
}

TEST(IconShrink, GrowsSmallPicturesAndLeavesOutsideThePictureTransparent) {
  IconPicture dot = black_picture(1, 1);
  paint(dot, 0, 0, 1, 1, {10, 20, 30});
  const std::vector<unsigned char> grown = icon_shrink(dot, {0, 0, 1}, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(icon_pixel(grown, 3, x, y), (Rgba{10, 20, 30, 255})) << x << "," << y;

  // A square reaching left of and above a fully lit picture.
  IconPicture lit = black_picture(4, 4);
  paint(lit, 0, 0, 4, 4, {255, 255, 255});
  const std::vector<unsigned char> shifted = icon_shrink(lit, {-4, -4, 8}, 2);
  EXPECT_EQ(icon_pixel(shifted, 2, 0, 0).alpha, 0);
  EXPECT_EQ(icon_pixel(shifted, 2, 1, 0).alpha, 0);
  EXPECT_EQ(icon_pixel(shifted, 2, 0, 1).alpha, 0);
  EXPECT_EQ(icon_pixel(shifted, 2, 1, 1), (Rgba{255, 255, 255, 255}));
}

}  // namespace
