#include "runtime/graphics/draw_box.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

#include "support/drawing_fixture.h"
#include "support/gdi_bitmaps.h"

namespace {

class DrawBoxTest : public DrawingTest {
 protected:
  // Image 0 of the given size in a begun session; its memory is `bits`.
  DrawingSession* open(int width, int lines, int depth = 24, std::int32_t background = 0) {
    EXPECT_NE(image_create(0, width, lines, depth, background), 0);
    bits = image_bits(0);
    row_bytes = aligned_row_bytes(width, depth);
    height = lines;
    pixel_bytes = depth / 8;
    DrawingSession* session = image_output(0);
    EXPECT_NE(drawing_begin(session), 0);
    return session;
  }
  BYTE* at(int x, int y) { return bottom_up_pixel(bits, row_bytes, height, x, y, pixel_bytes); }
  std::vector<BYTE> memory() { return std::vector<BYTE>(bits, bits + row_bytes * height); }

  BYTE* bits = nullptr;
  int row_bytes = 0;
  int height = 0;
  int pixel_bytes = 3;
};

TEST_F(DrawBoxTest, ABlackBoxOverTheWholeSessionClearsEveryPixel) {
  open(600, 600, 24, 0xFFFFFF);
  ASSERT_EQ(bits[0], 0xFF);
  draw_box(0, 0, 600, 600, 0);
  EXPECT_EQ(memory(), std::vector<BYTE>(1800 * 600, 0));
}

TEST_F(DrawBoxTest, OneByOneBoxesAroundTheEdgesOfA600Session) {
  open(600, 600);
  std::vector<BYTE> before = memory();
  for (auto [x, y] : {std::pair{-1, 5}, {600, 5}, {5, -1}, {5, 600}, {INT_MIN, 5}, {INT_MAX, 5}, {5, INT_MIN},
                      {5, INT_MAX}}) {
    draw_box(x, y, 1, 1, 0xFFFFFF);
    EXPECT_EQ(memory(), before) << "box at " << x << "," << y << " is outside";
  }
  draw_box(599, 599, 1, 1, 0x123456);  // bottom-right corner: last pixel of memory row 0
  EXPECT_EQ(bits[599 * 3 + 0], 0x12);
  EXPECT_EQ(bits[599 * 3 + 1], 0x34);
  EXPECT_EQ(bits[599 * 3 + 2], 0x56);
  draw_box(0, 0, 1, 1, 0xFFBEFF);  // top-left corner: first pixel of the last memory row
  EXPECT_EQ(bits[599 * 1800 + 0], 0xFF);
  EXPECT_EQ(bits[599 * 1800 + 1], 0xBE);
  EXPECT_EQ(bits[599 * 1800 + 2], 0xFF);
  std::vector<BYTE> expected(1800 * 600, 0);
  expected[599 * 3] = 0x12, expected[599 * 3 + 1] = 0x34, expected[599 * 3 + 2] = 0x56;
  expected[599 * 1800] = 0xFF, expected[599 * 1800 + 1] = 0xBE, expected[599 * 1800 + 2] = 0xFF;
  EXPECT_EQ(memory(), expected) << "nothing else was written";
}

TEST_F(DrawBoxTest, NegativeAndEmptySizes) {
  open(12, 12);
  std::vector<BYTE> before = memory();
  draw_box(3, 3, 0, 4, 0xFFFFFF);
  draw_box(3, 3, 4, 0, 0xFFFFFF);
  EXPECT_EQ(memory(), before);

  draw_box(3, 5, -2, 1, 0xFFFFFF);  // columns 1 and 2
  draw_box(10, 10, 1, -3, 0x0000FF);  // rows 7, 8, 9
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      bool white = y == 5 && (x == 1 || x == 2);
      bool red = x == 10 && y >= 7 && y <= 9;
      EXPECT_EQ(at(x, y)[0], white ? 0xFF : 0) << x << "," << y;
      EXPECT_EQ(at(x, y)[2], white || red ? 0xFF : 0) << x << "," << y;
    }
}

TEST_F(DrawBoxTest, ExtremeCoordinatesAreClippedWithoutOverflow) {
  open(8, 8);
  std::vector<BYTE> before = memory();
  draw_box(INT_MAX, 0, INT_MAX, 1, 0xFFFFFF);
  draw_box(INT_MIN, INT_MIN, -5, -5, 0xFFFFFF);
  draw_box(0, INT_MAX - 1, 5, 10, 0xFFFFFF);
  EXPECT_EQ(memory(), before);
  draw_box(INT_MIN, 2, INT_MAX, 1, 0xFFFFFF);  // ends at -1: still nothing
  EXPECT_EQ(memory(), before);
  draw_box(-1000, 7, 2000, 1, 0xFFFFFF);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(at(x, 7)[1], 0xFF);
}

TEST_F(DrawBoxTest, GreyWhiteAndColouredBoxesFillExactlyTheirPixelsInPaddedRows) {
  open(5, 6);  // rows of 15 pixel bytes and 1 padding byte
  std::fill(bits, bits + row_bytes * height, BYTE{0x11});
  draw_box(1, 1, 3, 2, 0x808080);
  draw_box(2, 4, 3, 2, 0xFFFFFF);  // up to the right edge
  draw_box(0, 3, 2, 1, 0x563412);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 5; ++x) {
      BYTE expected[3] = {0x11, 0x11, 0x11};
      if (x >= 1 && x <= 3 && y >= 1 && y <= 2) expected[0] = expected[1] = expected[2] = 0x80;
      if (x >= 2 && y >= 4) expected[0] = expected[1] = expected[2] = 0xFF;
      if (x <= 1 && y == 3) expected[0] = 0x56, expected[1] = 0x34, expected[2] = 0x12;
      for (int i = 0; i < 3; ++i) EXPECT_EQ(at(x, y)[i], expected[i]) << x << "," << y << " byte " << i;
    }
  for (int row = 0; row < 6; ++row) EXPECT_EQ(bits[row * row_bytes + 15], 0x11) << "padding of row " << row;
}

TEST_F(DrawBoxTest, TwoBoxesOfOneColourConvertTheColourOnce) {
  for (int size : {1, 2}) {  // the point plotter's boxes and any other
    DrawingSession* session = open(4, 2);
    draw_box(0, 0, size, 1, 0x0000FF);
    EXPECT_EQ(at(0, 0)[2], 0xFF);
    EXPECT_EQ(session->front.red, 0xFF);
    // Had the second box converted its colour again, this mark would be gone.
    session->front.red = 0x07;
    draw_box(2, 1, size, 1, 0x0000FF);
    EXPECT_EQ(session->front.red, 0x07) << "the same colour is not converted again";
    draw_box(0, 1, size, 1, 0x00FF00);
    EXPECT_EQ(session->front.red, 0x00) << "a changed colour is converted";
    EXPECT_EQ(session->front.green, 0xFF);
    EXPECT_EQ(session->front_colour, 0x00FF00u);
    EXPECT_EQ(at(0, 1)[1], 0xFF);
    drawing_end();
  }
}

TEST_F(DrawBoxTest, ThirtyTwoBitStoreLeavesAlphaAlone) {
  // Opaque and fully transparent pictures: the alpha byte is whatever it was.
  for (std::int32_t background : {0x000000, -1}) {
    open(3, 2, 32, background);
    draw_box(0, 0, 3, 2, 0xC0204080);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(at(x, y)[0], 0x20);
        EXPECT_EQ(at(x, y)[1], 0x40);
        EXPECT_EQ(at(x, y)[2], 0x80);
        EXPECT_EQ(at(x, y)[3], background == -1 ? 0x00 : 0xFF);
      }
    draw_box(1, 1, 1, 1, 0xC00A0B0C);  // a single point takes the same rule
    EXPECT_EQ(at(1, 1)[0], 0x0A);
    EXPECT_EQ(at(1, 1)[1], 0x0B);
    EXPECT_EQ(at(1, 1)[2], 0x0C);
    EXPECT_EQ(at(1, 1)[3], background == -1 ? 0x00 : 0xFF);
    EXPECT_EQ(at(2, 1)[0], 0x20) << "and only that pixel";
    drawing_end();
  }
}

TEST_F(DrawBoxTest, TheSessionOriginShiftsBoxes) {
  DrawingSession* session = open(6, 6);
  drawing_origin_set(session, 2, 3);
  draw_box(0, 0, 1, 1, 0xFFFFFF);
  EXPECT_EQ(at(2, 3)[0], 0xFF);
  EXPECT_EQ(at(0, 0)[0], 0);

  drawing_origin_set(session, -1, 0);  // points now clip one column further right
  std::vector<BYTE> before = memory();
  draw_box(0, 5, 1, 1, 0x0000FF);
  EXPECT_EQ(memory(), before) << "column -1 is outside";
  draw_box(1, 5, 1, 1, 0x0000FF);
  EXPECT_EQ(at(0, 5)[2], 0xFF);

  drawing_origin_set(session, 0, 0);  // and back: points are where they are asked for
  draw_box(5, 0, 1, 1, 0x00FF00);
  EXPECT_EQ(at(5, 0)[1], 0xFF);
}

TEST_F(DrawBoxTest, PointsLandOnEveryPixelOfRowsWithPadding) {
  // 5 pixels of 3 bytes make 15 bytes, padded to 16: a row step taken from the width would show.
  for (int depth : {24, 32}) {
    open(5, 3, depth);
    std::vector<BYTE> expected = memory();
    for (int y = -1; y <= 3; ++y)
      for (int x = -1; x <= 5; ++x) {
        const std::uint32_t colour = 0x800000 | (y + 2) << 8 | (x + 2);
        draw_box(x, y, 1, 1, colour);
        if (x < 0 || x >= 5 || y < 0 || y >= 3) continue;
        BYTE* pixel = bottom_up_pixel(expected.data(), row_bytes, height, x, y, pixel_bytes);
        pixel[0] = 0x80, pixel[1] = static_cast<BYTE>(y + 2), pixel[2] = static_cast<BYTE>(x + 2);
      }
    EXPECT_EQ(memory(), expected) << depth << " bits per pixel";
    drawing_end();
  }
}

TEST_F(DrawBoxTest, APreparedSessionDrawsBeforeItIsBegun) {
  ASSERT_NE(image_create(0, 2, 2), 0);
  bits = image_bits(0);
  row_bytes = aligned_row_bytes(2, 24);
  height = 2;
  ASSERT_NE(image_output(0), nullptr);
  draw_box(1, 0, 1, 1, 0x0000FF);
  EXPECT_EQ(at(1, 0)[2], 0xFF);
}

TEST_F(DrawBoxTest, OutlinedBoxesDrawOnlyTheBorderClipped) {
  DrawingSession* session = open(6, 5);
  drawing_mode_set(session, DRAWING_MODE_OUTLINED);
  draw_box(1, 1, 4, 3, 0xFFFFFF);
  draw_box(4, -1, 5, 3, 0x0000FF);  // top row off the picture, right column off the picture
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) {
      bool first = (y == 1 || y == 3) ? (x >= 1 && x <= 4) : (y == 2 && (x == 1 || x == 4));
      bool second = (y == 1 && x >= 4) || (x == 4 && y == 0);
      BYTE blue = first && !second ? 0xFF : 0;
      EXPECT_EQ(at(x, y)[0], blue) << x << "," << y;
      EXPECT_EQ(at(x, y)[2], first || second ? 0xFF : 0) << x << "," << y;
    }
}

// The outline is four pieces: top row y and bottom row y + h - 1 over columns x ... x + w - 1, then
// columns x and x + w - 1 over rows y + 1 ... y + h - 2. An empty width or height leaves the other
// pieces standing. Drawn with exclusive-or, so a pixel written twice shows as unwritten.
TEST_F(DrawBoxTest, OutlinesOfZeroWidthOrHeightKeepTheirOtherSides) {
  struct Case {
    int x, y, width, height;
    std::vector<std::pair<int, int>> pixels;
  };
  const Case cases[] = {
      {5, 2, 0, 5, {{5, 3}, {5, 4}, {5, 5}, {4, 3}, {4, 4}, {4, 5}}},  // columns 5 and 4, rows 3 ... 5
      {2, 6, 4, 0, {{2, 6}, {3, 6}, {4, 6}, {5, 6}, {2, 5}, {3, 5}, {4, 5}, {5, 5}}},  // rows 6 and 5
      {5, 7, 0, -5, {{5, 3}, {5, 4}, {5, 5}, {4, 3}, {4, 4}, {4, 5}}},  // the first box, flipped upwards
      {0, 4, 0, 3, {{0, 5}}},       // the column at x - 1 = -1 is off the picture
      {3, 3, 0, 2, {}},             // no rows between top and bottom
      {3, 3, 0, 0, {}},             // nothing at all
      {3, 0, 2, 0, {{3, 0}, {4, 0}}},  // the bottom row lands at y - 1 = -1, off the picture
      {3, 3, 1, 1, {}},             // top and bottom row are one pixel, drawn twice
  };
  for (const Case& box : cases) {
    DrawingSession* session = open(8, 8);
    drawing_mode_set(session, DRAWING_MODE_XOR | DRAWING_MODE_OUTLINED);
    draw_box(box.x, box.y, box.width, box.height, 0xFFFFFF);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        bool drawn = std::find(box.pixels.begin(), box.pixels.end(), std::pair{x, y}) != box.pixels.end();
        EXPECT_EQ(at(x, y)[1], drawn ? 0xFF : 0)
            << "box " << box.x << "," << box.y << " " << box.width << "x" << box.height << " at " << x << "," << y;
      }
  }
}

TEST_F(DrawBoxTest, ExclusiveOrOnBothPixelSizes) {
  for (int depth : {24, 32}) {
    DrawingSession* session = open(2, 1, depth, 0x336699);
    drawing_mode_set(session, DRAWING_MODE_XOR);
    draw_box(0, 0, 1, 1, 0x0F0FF0);
    EXPECT_EQ(at(0, 0)[0], 0x33 ^ 0x0F);
    EXPECT_EQ(at(0, 0)[1], 0x66 ^ 0x0F);
    EXPECT_EQ(at(0, 0)[2], 0x99 ^ 0xF0);
    if (depth == 32) {
      EXPECT_EQ(at(0, 0)[3], 0xFF) << "alpha untouched";
    }
    EXPECT_EQ(at(1, 0)[2], 0x99);
    drawing_end();
  }
}

// The blend formulas, evaluated here from their definition for a colour (r, g, b, a).
int blend3(int d, int c, int a) { return (d * (255 - a) + c * a) / 255; }
int blend4(int d, int c, int a, int da) {
  if (a == 0) return d;
  if (da == 0) return c * a / a;
  return (d * (255 - a) * da + c * a * 255) / (a * 255 + (255 - a) * da);
}

TEST_F(DrawBoxTest, BlendOnThreeBytesPerPixel) {
  DrawingSession* session = open(1, 1, 24, 0x10C0F0);  // bytes B 0x10, G 0xC0, R 0xF0
  drawing_mode_set(session, DRAWING_MODE_ALPHA_BLEND);
  draw_box(0, 0, 1, 1, 0x80FF4020);  // r 0x20, g 0x40, b 0xFF, alpha 0x80
  EXPECT_EQ(at(0, 0)[2], blend3(0xF0, 0x20, 0x80));
  EXPECT_EQ(at(0, 0)[1], blend3(0xC0, 0x40, 0x80));
  EXPECT_EQ(at(0, 0)[0], blend3(0x10, 0xFF, 0x80));
  EXPECT_EQ(at(0, 0)[2], (0xF0 * 127 + 0x20 * 128) / 255);  // 135

  drawing_mode_set(session, DRAWING_MODE_ALPHA_CLIP);
  draw_box(0, 0, 1, 1, 0x00FFFFFF);  // alpha 0: nothing changes
  EXPECT_EQ(at(0, 0)[2], 135);
}

TEST_F(DrawBoxTest, BlendOnFourBytesPerPixel) {
  DrawingSession* session = open(3, 1, 32, 0x10C0F0);
  at(1, 0)[3] = 0;    // a fully transparent pixel takes the colour itself
  at(2, 0)[3] = 200;  // a partly transparent one mixes by both alphas
  drawing_mode_set(session, DRAWING_MODE_ALPHA_BLEND);
  const int a = 0x60;
  draw_box(0, 0, 3, 1, 0x60FF4020);
  for (int x = 0; x < 3; ++x) {
    int da = x == 0 ? 255 : x == 1 ? 0 : 200;
    EXPECT_EQ(at(x, 0)[2], blend4(0xF0, 0x20, a, da)) << x;
    EXPECT_EQ(at(x, 0)[1], blend4(0xC0, 0x40, a, da)) << x;
    EXPECT_EQ(at(x, 0)[0], blend4(0x10, 0xFF, a, da)) << x;
    EXPECT_EQ(at(x, 0)[3], (da * (255 - a) + a * 255) / 255) << x;
  }
  EXPECT_EQ(at(1, 0)[2], 0x20);
  EXPECT_EQ(at(1, 0)[3], 0x60);

  draw_box(0, 0, 1, 1, 0x00000000);  // alpha 0 keeps the colour bytes; alpha stays da
  EXPECT_EQ(at(0, 0)[2], blend4(0xF0, 0x20, a, 255));
  EXPECT_EQ(at(0, 0)[3], 255);
}

TEST_F(DrawBoxTest, AlphaChannelAndAllChannelModes) {
  DrawingSession* session = open(2, 1, 32, 0x112233);
  drawing_mode_set(session, DRAWING_MODE_ALPHA_CHANNEL);
  draw_box(0, 0, 1, 1, 0x40FFFFFF);
  EXPECT_EQ(at(0, 0)[3], 0x40);
  EXPECT_EQ(at(0, 0)[0], 0x11) << "colour bytes untouched";
  drawing_mode_set(session, DRAWING_MODE_ALL_CHANNELS);
  draw_box(1, 0, 1, 1, 0x40ABCDEF);
  EXPECT_EQ(at(1, 0)[0], 0xAB);
  EXPECT_EQ(at(1, 0)[1], 0xCD);
  EXPECT_EQ(at(1, 0)[2], 0xEF);
  EXPECT_EQ(at(1, 0)[3], 0x40);
  drawing_end();

  session = open(1, 1, 24, 0x112233);
  drawing_mode_set(session, DRAWING_MODE_ALPHA_CHANNEL);
  draw_box(0, 0, 1, 1, 0x40FFFFFF);
  EXPECT_EQ(at(0, 0)[0], 0x11) << "no alpha byte to set at 3 bytes per pixel";
  EXPECT_EQ(at(0, 0)[2], 0x33);
}

TEST_F(DrawBoxTest, SinglePixelRoutinesFollowTheMode) {
  DrawingSession* session = open(3, 3, 32, 0x010203);
  session->operations.set_front_colour(session, 0x0000FF);
  session->operations.plot(session, 0, 0);
  session->operations.plot_colour(session, 1, 0, 0x00FF00);
  session->operations.plot(session, 3, 0);  // outside: ignored
  EXPECT_EQ(session->operations.read_pixel(session, 0, 0), 0x0000FFu);
  EXPECT_EQ(session->operations.read_pixel(session, 1, 0), 0x00FF00u);
  EXPECT_EQ(session->operations.read_pixel(session, 2, 2), 0x010203u);
  drawing_mode_set(session, DRAWING_MODE_ALPHA_BLEND);
  EXPECT_EQ(session->operations.read_pixel(session, 2, 2), 0xFF010203u) << "alpha modes read alpha too";
}

TEST(DrawBoxWithoutSession, DoesNothing) {
  ASSERT_EQ(drawing_current(), nullptr);
  draw_box(0, 0, 10, 10, 0xFFFFFF);
}

}  // namespace
