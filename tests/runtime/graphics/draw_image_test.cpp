#include "runtime/graphics/draw_image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "support/drawing_fixture.h"
#include "support/gdi_bitmaps.h"

namespace {

class DrawImageTest : public DrawingTest {
 protected:
  // Image `number` with every byte of its pixel memory set from a simple generator.
  BYTE* patterned_image(ObjectId number, int width, int lines, int depth) {
    EXPECT_NE(image_create(number, width, lines, depth), 0);
    BYTE* bits = image_bits(number);
    unsigned state = 12345;
    for (int i = 0; i < aligned_row_bytes(width, depth) * lines; ++i) {
      state = state * 1103515245u + 12345u;
      bits[i] = static_cast<BYTE>(state >> 16);
    }
    return bits;
  }
  DrawingSession* open_image(ObjectId number) {
    DrawingSession* session = image_output(number);
    EXPECT_NE(drawing_begin(session), 0);
    return session;
  }
  static std::intptr_t handle_of(ObjectId number) { return reinterpret_cast<std::intptr_t>(image_lookup(number)->bitmap); }
};

TEST_F(DrawImageTest, A600By600BufferCopiesEveryRowByteForByte) {
  BYTE* source = patterned_image(1, 600, 600, 24);
  ASSERT_NE(image_create(0, 600, 600), 0);
  BYTE* target = image_bits(0);
  open_image(0);
  draw_image(handle_of(1), 0, 0);
  drawing_end();
  for (int row = 0; row < 600; ++row)
    ASSERT_EQ(std::vector<BYTE>(target + row * 1800, target + row * 1800 + 1800),
              std::vector<BYTE>(source + row * 1800, source + row * 1800 + 1800))
        << "row " << row;
}

TEST_F(DrawImageTest, ClippedPlacementAtMinusTenTwenty) {
  BYTE* source = patterned_image(1, 100, 100, 24);
  ASSERT_NE(image_create(0, 50, 50, 24, 0x777777), 0);
  BYTE* target = image_bits(0);
  open_image(0);
  draw_image(handle_of(1), -10, 20);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) {
      const BYTE* out = bottom_up_pixel(target, 152, 50, x, y, 3);
      for (int i = 0; i < 3; ++i) {
        // Source column x + 10 and source row y - 20 land here, for target rows 20 ... 49.
        BYTE expected = y < 20 ? 0x77 : bottom_up_pixel(source, 300, 100, x + 10, y - 20, 3)[i];
        ASSERT_EQ(out[i], expected) << x << "," << y;
      }
    }
}

TEST_F(DrawImageTest, NothingIsDrawnForMissingOrForeignHandles) {
  ASSERT_NE(image_create(0, 4, 4, 24, 0x010101), 0);
  BYTE* target = image_bits(0);
  std::vector<BYTE> before(target, target + 48);
  open_image(0);
  draw_image(0, 0, 0);
  int not_a_bitmap = 0;
  draw_image(reinterpret_cast<std::intptr_t>(&not_a_bitmap), 0, 0);
  draw_image(reinterpret_cast<std::intptr_t>(GetStockObject(WHITE_BRUSH)), 0, 0);
  ASSERT_NE(image_create(1, 4, 4, 24, 0xFFFFFF), 0);
  draw_image(handle_of(1), 4, 0);     // just off the right edge
  draw_image(handle_of(1), 0, -4);    // just off the top
  draw_image(handle_of(1), INT32_MAX, INT32_MAX);
  EXPECT_EQ(std::vector<BYTE>(target, target + 48), before);
  drawing_end();
  draw_image(handle_of(1), 0, 0);  // no session
  EXPECT_EQ(std::vector<BYTE>(target, target + 48), before);
}

TEST_F(DrawImageTest, PixelSizesConvertAndKeepTheTargetAlpha) {
  BYTE* rgb = patterned_image(1, 3, 2, 24);
  BYTE* rgba = patterned_image(2, 3, 2, 32);

  ASSERT_NE(image_create(0, 3, 2, 32, 0x000000), 0);
  BYTE* wide = image_bits(0);
  open_image(0);
  draw_image(handle_of(1), 0, 0);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      for (int i = 0; i < 3; ++i) EXPECT_EQ(bottom_up_pixel(wide, 12, 2, x, y, 4)[i], bottom_up_pixel(rgb, 12, 2, x, y, 3)[i]);
      EXPECT_EQ(bottom_up_pixel(wide, 12, 2, x, y, 4)[3], 0xFF) << "target alpha left as it was";
    }
  draw_image(handle_of(2), 0, 0);
  for (int i = 0; i < 24; ++i) EXPECT_EQ(wide[i], i % 4 == 3 ? 0xFF : rgba[i]) << i;
  drawing_end();

  ASSERT_NE(image_create(3, 3, 2, 24), 0);
  BYTE* narrow = image_bits(3);
  open_image(3);
  draw_image(handle_of(2), 0, 0);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      for (int i = 0; i < 3; ++i)
        EXPECT_EQ(bottom_up_pixel(narrow, 12, 2, x, y, 3)[i], bottom_up_pixel(rgba, 12, 2, x, y, 4)[i]);
}

TEST_F(DrawImageTest, OtherBitmapsGoThroughATemporaryCopy) {
  ASSERT_NE(image_create(0, 10, 3, 24), 0);
  BYTE* target = image_bits(0);

  RGBQUAD table[2] = {{0x10, 0x20, 0x30, 0}, {0xA0, 0xB0, 0xC0, 0}};
  BYTE* mono_bits = nullptr;
  HBITMAP mono = make_dib(10, 1, 1, &mono_bits, table, 2);
  mono_bits[0] = 0x81;  // pixels 0 and 7 use entry 1

  BYTE* top_down_bits = nullptr;
  HBITMAP top_down = make_dib(2, -2, 24, &top_down_bits);
  top_down_bits[0] = 0x55;  // first row in memory is the top line here

  HBITMAP device = CreateBitmap(2, 1, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ stock = SelectObject(dc, device);
  SetPixel(dc, 1, 0, RGB(9, 8, 7));
  SelectObject(dc, stock);
  DeleteDC(dc);

  open_image(0);
  draw_image(reinterpret_cast<std::intptr_t>(mono), 0, 0);
  draw_image(reinterpret_cast<std::intptr_t>(top_down), 0, 1);
  draw_image(reinterpret_cast<std::intptr_t>(device), 4, 1);
  drawing_end();
  for (int x = 0; x < 10; ++x) {
    const RGBQUAD& entry = table[x == 0 || x == 7 ? 1 : 0];
    const BYTE* pixel = bottom_up_pixel(target, 32, 3, x, 0, 3);
    EXPECT_EQ(pixel[0], entry.rgbBlue) << x;
    EXPECT_EQ(pixel[2], entry.rgbRed) << x;
  }
  EXPECT_EQ(bottom_up_pixel(target, 32, 3, 0, 1, 3)[0], 0x55) << "top line drawn on top";
  EXPECT_EQ(bottom_up_pixel(target, 32, 3, 0, 2, 3)[0], 0x00);
  const BYTE* device_pixel = bottom_up_pixel(target, 32, 3, 5, 1, 3);
  EXPECT_EQ(device_pixel[0], 7);
  EXPECT_EQ(device_pixel[1], 8);
  EXPECT_EQ(device_pixel[2], 9);
  for (HBITMAP bitmap : {mono, top_down, device}) EXPECT_TRUE(DeleteObject(bitmap)) << "no copy kept them selected";
}

TEST_F(DrawImageTest, AnImageDrawnOntoItselfReadsTheOriginal) {
  BYTE* bits = patterned_image(0, 4, 4, 24);
  std::vector<BYTE> original(bits, bits + 48);
  open_image(0);
  draw_image(handle_of(0), 1, 1);
  drawing_end();
  for (int y = 1; y < 4; ++y)
    for (int x = 1; x < 4; ++x)
      for (int i = 0; i < 3; ++i)
        EXPECT_EQ(bottom_up_pixel(bits, 12, 4, x, y, 3)[i], bottom_up_pixel(original.data(), 12, 4, x - 1, y - 1, 3)[i]);
}

TEST_F(DrawImageTest, BlitsWithConstantOrOwnAlphaBlend) {
  ASSERT_NE(image_create(0, 2, 1, 24, 0x202020), 0);
  BYTE* target = image_bits(0);
  DrawingSession* session = open_image(0);
  BYTE source[8] = {0xF0, 0x80, 0x10, 0xF0, 0x80, 0x10, 0, 0};
  blit_rgb24(session, source, 8, 0, 0, 1, 1, 128);
  EXPECT_EQ(target[0], (0x20 * 127 + 0xF0 * 128) / 255);
  EXPECT_EQ(target[1], (0x20 * 127 + 0x80 * 128) / 255);
  EXPECT_EQ(target[2], (0x20 * 127 + 0x10 * 128) / 255);
  blit_rgb24(session, source, 8, 1, 0, 1, 1, 0);
  EXPECT_EQ(target[3], 0x20) << "alpha 0 draws nothing";

  BYTE with_alpha[4] = {0xF0, 0x80, 0x10, 64};
  blit_rgba32(session, with_alpha, 4, 1, 0, 1, 1, 255, true);
  EXPECT_EQ(target[3], (0x20 * 191 + 0xF0 * 64) / 255);
  blit_rgba32(session, with_alpha, 4, 1, 0, 1, 1, 255, false);
  EXPECT_EQ(target[3], 0xF0) << "without use_alpha the pixel is copied";
}

TEST_F(DrawImageTest, ExclusiveOrDrawing) {
  ASSERT_NE(image_create(0, 1, 1, 32, 0x0F0F0F), 0);
  BYTE* target = image_bits(0);
  DrawingSession* session = open_image(0);
  drawing_mode_set(session, DRAWING_MODE_XOR);
  BYTE source[4] = {0xFF, 0x00, 0xF0, 0x00};
  blit_rgb24(session, source, 4, 0, 0, 1, 1, 255);
  EXPECT_EQ(target[0], 0xF0);
  EXPECT_EQ(target[1], 0x0F);
  EXPECT_EQ(target[2], 0xFF);
  EXPECT_EQ(target[3], 0xFF);
}

}  // namespace
