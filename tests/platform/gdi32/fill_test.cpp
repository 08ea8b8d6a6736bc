// FillRect, PatBlt and single pixels on memory DCs of every pixel format.
#include <gtest/gtest.h>

#include <vector>

#include "support/dib_in_dc.h"
#include "support/gdi_bitmaps.h"

namespace {

TEST(GdiFill, FillRectCoversLeftTopButNotRightBottomInBottomUpMemory) {
  DibInDc picture(5, 3, 24);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT area{1, 0, 3, 2};
  EXPECT_NE(FillRect(picture.dc, &area, red), 0);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      BYTE* pixel = bottom_up_pixel(picture.bits, 16, 3, x, y, 3);
      bool inside = x >= 1 && x < 3 && y < 2;
      EXPECT_EQ(pixel[0], 0) << x << "," << y;
      EXPECT_EQ(pixel[1], 0) << x << "," << y;
      EXPECT_EQ(pixel[2], inside ? 255 : 0) << x << "," << y;
    }
  }
  // Picture line 0 is the last row in memory.
  EXPECT_EQ(picture.bits[2 * 16 + 3 + 2], 255);
  EXPECT_EQ(picture.bits[0 * 16 + 3 + 2], 0);
  DeleteObject(red);
}

TEST(GdiFill, LargeFillsWriteEveryRowOfTheAreaAndNotTheRowPadding) {
  for (int bits_per_pixel : {24, 32}) {
    DibInDc picture(7, 6, bits_per_pixel);
    const int pixel_bytes = bits_per_pixel / 8;
    const int row_bytes = aligned_row_bytes(7, bits_per_pixel);
    std::fill(picture.bits, picture.bits + row_bytes * 6, BYTE{0x55});
    HBRUSH brush = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
    RECT area{2, 1, 6, 5};
    ASSERT_NE(FillRect(picture.dc, &area, brush), 0);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 7; ++x) {
        const bool inside = x >= 2 && x < 6 && y >= 1 && y < 5;
        const BYTE* pixel = bottom_up_pixel(picture.bits, row_bytes, 6, x, y, pixel_bytes);
        const BYTE expected[4] = {0x56, 0x34, 0x12, 0x00};
        for (int i = 0; i < pixel_bytes; ++i)
          EXPECT_EQ(pixel[i], inside ? expected[i] : 0x55) << bits_per_pixel << " bits at " << x << "," << y;
      }
    for (int row = 0; row < 6; ++row)
      for (int pad = 7 * pixel_bytes; pad < row_bytes; ++pad) EXPECT_EQ(picture.bits[row * row_bytes + pad], 0x55);
    DeleteObject(brush);
  }
}

TEST(GdiFill, FillRectClipsToTheBitmap) {
  DibInDc picture(4, 4, 32);
  std::fill(picture.bits, picture.bits + 64, BYTE{0xAA});
  RECT huge{-100000, -5, 2147483647, 1};
  EXPECT_NE(FillRect(picture.dc, &huge, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
  for (int x = 0; x < 4; ++x) {
    BYTE* top = bottom_up_pixel(picture.bits, 16, 4, x, 0, 4);
    EXPECT_EQ(top[0] | top[1] | top[2] | top[3], 0) << "GDI fills clear the alpha byte too";
    EXPECT_EQ(bottom_up_pixel(picture.bits, 16, 4, x, 1, 4)[0], 0xAA);
  }
  EXPECT_NE(FillRect(picture.dc, &huge, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))), 0);
  EXPECT_EQ(bottom_up_pixel(picture.bits, 16, 4, 0, 0, 4)[0], 0) << "the hollow brush paints nothing";
#ifndef _WIN32
  // A missing rectangle or brush is the caller's error, which Win32 leaves undefined;
  // ours refuses both.
  EXPECT_EQ(FillRect(picture.dc, &huge, nullptr), 0);
  EXPECT_EQ(FillRect(picture.dc, nullptr, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 0);
#endif
}

TEST(GdiFill, IndexedPixelsTakeTheNearestTableColour) {
  RGBQUAD table[4] = {{0, 0, 0, 0}, {0, 0, 200, 0}, {0, 200, 0, 0}, {255, 255, 255, 0}};  // black, red, green, white
  DibInDc picture(9, 2, 4, table, 4);
  HBRUSH reddish = CreateSolidBrush(RGB(180, 20, 10));
  RECT area{0, 0, 3, 1};
  FillRect(picture.dc, &area, reddish);
  // Row stride 8; picture line 0 is memory row 1; two 4-bit indices per byte, first pixel high.
  EXPECT_EQ(picture.bits[8 + 0], 0x11);
  EXPECT_EQ(picture.bits[8 + 1], 0x10);
  EXPECT_EQ(picture.bits[0], 0x00);
  EXPECT_EQ(GetPixel(picture.dc, 2, 0), RGB(200, 0, 0));
  EXPECT_EQ(SetPixel(picture.dc, 8, 1, RGB(250, 250, 250)), RGB(255, 255, 255));
  EXPECT_EQ(picture.bits[4], 0x30);
  DeleteObject(reddish);

  DibInDc mono(10, 1, 1, table + 2, 2);  // green and white
  RECT all{0, 0, 10, 1};
  FillRect(mono.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(mono.bits[0], 0xFF);
  EXPECT_EQ(mono.bits[1], 0xC0);
  EXPECT_EQ(mono.bits[2], 0x00) << "row padding is not written";
}

TEST(GdiFill, PixelsOutsideTheBitmapReadAsInvalid) {
  DibInDc picture(2, 2, 16);
  EXPECT_EQ(SetPixel(picture.dc, 1, 1, RGB(255, 255, 255)), RGB(255, 255, 255));
  EXPECT_EQ(picture.bits[0] | (picture.bits[1] << 8), 0);
  EXPECT_EQ(picture.bits[2] | (picture.bits[3] << 8), 0x7FFF) << "5-5-5 white";
  EXPECT_EQ(GetPixel(picture.dc, 2, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(picture.dc, 0, -1), CLR_INVALID);
  EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);
}

TEST(GdiFill, SetPixelOutsideTheBitmapFails) {
  DibInDc picture(2, 2, 16);
  EXPECT_EQ(SetPixel(picture.dc, -1, 0, 0), CLR_INVALID);
  EXPECT_EQ(SetPixel(picture.dc, 0, 2, RGB(255, 255, 255)), CLR_INVALID);
  EXPECT_EQ(std::vector<BYTE>(picture.bits, picture.bits + 8), std::vector<BYTE>(8, 0)) << "nothing was written";
}

TEST(GdiFill, PatBltCombinesTheBrushWithTheTarget) {
  DibInDc picture(2, 1, 24);
  HBRUSH brush = CreateSolidBrush(RGB(0x0F, 0xF0, 0x55));
  SelectObject(picture.dc, brush);
  EXPECT_TRUE(PatBlt(picture.dc, 0, 0, 2, 1, PATCOPY));
  EXPECT_EQ(GetPixel(picture.dc, 1, 0), RGB(0x0F, 0xF0, 0x55));
  EXPECT_TRUE(PatBlt(picture.dc, 1, 0, 1, 1, PATINVERT));
  EXPECT_EQ(GetPixel(picture.dc, 1, 0), RGB(0, 0, 0));
  EXPECT_TRUE(PatBlt(picture.dc, 0, 0, 2, 1, DSTINVERT));
  EXPECT_EQ(GetPixel(picture.dc, 0, 0), RGB(0xF0, 0x0F, 0xAA));
  EXPECT_EQ(GetPixel(picture.dc, 1, 0), RGB(0xFF, 0xFF, 0xFF));
  EXPECT_TRUE(PatBlt(picture.dc, 0, 0, 2, 1, BLACKNESS));
  EXPECT_EQ(GetPixel(picture.dc, 0, 0), 0u);
  EXPECT_FALSE(PatBlt(picture.dc, 0, 0, 2, 1, SRCCOPY)) << "PatBlt has no source";
  SelectObject(picture.dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(brush);
}

}  // namespace
