// BitBlt between memory DCs of different formats, with clipping and overlap, and GetDIBits.
#include <gtest/gtest.h>

#include <vector>

#include "support/dib_in_dc.h"
#include "support/gdi_bitmaps.h"

namespace {

struct Picture : DibInDc {
  Picture(int w, int h, int bits_per_pixel, const RGBQUAD* colours = nullptr, int colour_count = 0)
      : DibInDc(w, h, bits_per_pixel, colours, colour_count),
        width(w),
        height(h),
        pixel_bytes(bits_per_pixel / 8),
        row_bytes(aligned_row_bytes(w, bits_per_pixel)) {}
  BYTE* at(int x, int y) { return bottom_up_pixel(bits, row_bytes, height, x, y, pixel_bytes); }
  // A distinct colour per point, so that misplaced copies show.
  void paint_pattern() {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        for (int i = 0; i < pixel_bytes; ++i) at(x, y)[i] = static_cast<BYTE>(x * 16 + y + i * 100);
  }
  int width, height, pixel_bytes, row_bytes;
};

TEST(GdiBitBlt, CopiesTheRequestedBlockByteForByte) {
  Picture source(6, 5, 24);
  Picture target(6, 5, 24);
  source.paint_pattern();
  EXPECT_TRUE(BitBlt(target.dc, 1, 2, 3, 2, source.dc, 2, 1, SRCCOPY));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) {
      bool inside = x >= 1 && x < 4 && y >= 2 && y < 4;
      for (int i = 0; i < 3; ++i) {
        BYTE expected = inside ? source.at(x + 1, y - 1)[i] : 0;
        EXPECT_EQ(target.at(x, y)[i], expected) << x << "," << y;
      }
    }
}

TEST(GdiBitBlt, ClipsAtTheSourceAndTargetEdges) {
  Picture source(4, 4, 32);
  Picture target(4, 4, 32);
  source.paint_pattern();
  // Source starts left of and above its bitmap; target block runs past the right and bottom.
  EXPECT_TRUE(BitBlt(target.dc, 2, 1, 10, 10, source.dc, -1, -2, SRCCOPY));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      int sx = x - 2 - 1, sy = y - 1 - 2;
      bool copied = sx >= 0 && sy >= 0 && x >= 2 && y >= 1;
      EXPECT_EQ(target.at(x, y)[0], copied ? source.at(sx, sy)[0] : 0) << x << "," << y;
    }
  EXPECT_TRUE(BitBlt(target.dc, 0, 0, 0, 4, source.dc, 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(target.dc, 2147483600, 0, 100, 4, source.dc, 0, 0, SRCCOPY)) << "no overflow";
}

TEST(GdiBitBlt, ConvertsBetweenPixelFormats) {
  Picture rgb(3, 2, 24);
  rgb.paint_pattern();
  Picture bgra(3, 2, 32);
  std::fill(bgra.bits, bgra.bits + 24, BYTE{0x77});
  ASSERT_TRUE(BitBlt(bgra.dc, 0, 0, 3, 2, rgb.dc, 0, 0, SRCCOPY));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      for (int i = 0; i < 3; ++i) EXPECT_EQ(bgra.at(x, y)[i], rgb.at(x, y)[i]);
      EXPECT_EQ(bgra.at(x, y)[3], 0) << "a 24-bit source brings no alpha";
    }
  Picture back(3, 2, 24);
  ASSERT_TRUE(BitBlt(back.dc, 0, 0, 3, 2, bgra.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(std::vector<BYTE>(back.bits, back.bits + 24), std::vector<BYTE>(rgb.bits, rgb.bits + 24));

  RGBQUAD table[2] = {{0x10, 0x20, 0x30, 0}, {0xA0, 0xB0, 0xC0, 0}};
  Picture mono(10, 1, 1, table, 2);
  mono.bits[0] = 0x81;  // pixels 0 and 7 set
  mono.bits[1] = 0x40;  // pixel 9 set
  Picture wide(10, 1, 24);
  ASSERT_TRUE(BitBlt(wide.dc, 0, 0, 10, 1, mono.dc, 0, 0, SRCCOPY));
  for (int x = 0; x < 10; ++x) {
    const RGBQUAD& entry = table[(x == 0 || x == 7 || x == 9) ? 1 : 0];
    EXPECT_EQ(wide.at(x, 0)[0], entry.rgbBlue) << x;
    EXPECT_EQ(wide.at(x, 0)[1], entry.rgbGreen) << x;
    EXPECT_EQ(wide.at(x, 0)[2], entry.rgbRed) << x;
  }
}

TEST(GdiBitBlt, WideningRowsOf24BitPixelsMovesEveryPixelAndTouchesNothingElse) {
  // Odd widths and offsets, so that pixels are widened in groups and one by one.
  Picture rgb(23, 4, 24);
  rgb.paint_pattern();
  for (int width : {1, 4, 5, 7, 13, 21}) {
    Picture bgra(24, 4, 32);
    std::fill(bgra.bits, bgra.bits + bgra.row_bytes * 4, BYTE{0x77});
    ASSERT_TRUE(BitBlt(bgra.dc, 3, 1, width, 3, rgb.dc, 2, 0, SRCCOPY));
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 24; ++x) {
        const bool inside = x >= 3 && x < 3 + width && y >= 1;
        for (int i = 0; i < 4; ++i) {
          const BYTE expected = !inside ? BYTE{0x77} : i == 3 ? BYTE{0} : rgb.at(x - 1, y - 1)[i];
          ASSERT_EQ(bgra.at(x, y)[i], expected) << "width " << width << " at " << x << "," << y << " byte " << i;
        }
      }
  }
}

TEST(GdiBitBlt, OverlappingCopiesWithinOneBitmapReadTheOriginal) {
  Picture picture(5, 3, 24);
  picture.paint_pattern();
  std::vector<BYTE> original(picture.bits, picture.bits + picture.row_bytes * 3);
  auto original_at = [&](int x, int y) { return bottom_up_pixel(original.data(), picture.row_bytes, 3, x, y, 3); };
  ASSERT_TRUE(BitBlt(picture.dc, 1, 1, 4, 2, picture.dc, 0, 0, SRCCOPY));
  for (int y = 1; y < 3; ++y)
    for (int x = 1; x < 5; ++x) EXPECT_EQ(picture.at(x, y)[0], original_at(x - 1, y - 1)[0]) << x << "," << y;
  EXPECT_EQ(picture.at(0, 0)[0], original_at(0, 0)[0]);
}

TEST(GdiBitBlt, RasterOperationsCombineSourceAndTarget) {
  Picture source(1, 1, 24);
  Picture target(1, 1, 24);
  SetPixel(source.dc, 0, 0, RGB(0xF0, 0x0F, 0x33));
  SetPixel(target.dc, 0, 0, RGB(0xFF, 0x00, 0x0F));
  ASSERT_TRUE(BitBlt(target.dc, 0, 0, 1, 1, source.dc, 0, 0, SRCINVERT));
  EXPECT_EQ(GetPixel(target.dc, 0, 0), RGB(0x0F, 0x0F, 0x3C));
  ASSERT_TRUE(BitBlt(target.dc, 0, 0, 1, 1, source.dc, 0, 0, SRCAND));
  EXPECT_EQ(GetPixel(target.dc, 0, 0), RGB(0x00, 0x0F, 0x30));
  ASSERT_TRUE(BitBlt(target.dc, 0, 0, 1, 1, source.dc, 0, 0, SRCPAINT));
  EXPECT_EQ(GetPixel(target.dc, 0, 0), RGB(0xF0, 0x0F, 0x33));
  ASSERT_TRUE(BitBlt(target.dc, 0, 0, 1, 1, source.dc, 0, 0, NOTSRCCOPY));
  EXPECT_EQ(GetPixel(target.dc, 0, 0), RGB(0x0F, 0xF0, 0xCC));
  ASSERT_TRUE(BitBlt(target.dc, 0, 0, 1, 1, nullptr, 0, 0, WHITENESS)) << "no source needed";
  EXPECT_EQ(GetPixel(target.dc, 0, 0), RGB(255, 255, 255));
  EXPECT_FALSE(BitBlt(target.dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
  EXPECT_FALSE(BitBlt(nullptr, 0, 0, 1, 1, source.dc, 0, 0, SRCCOPY));
}

TEST(GdiBitBlt, DeviceDependentBitmapsCopyThroughDcs) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP screen_like = CreateBitmap(3, 2, 1, 32, nullptr);
  HGDIOBJ stock = SelectObject(dc, screen_like);
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  RECT bottom{0, 1, 3, 2};
  FillRect(dc, &bottom, blue);
  Picture copy(3, 2, 24);
  ASSERT_TRUE(BitBlt(copy.dc, 0, 0, 3, 2, dc, 0, 0, SRCCOPY));
  EXPECT_EQ(copy.at(2, 1)[0], 255);
  EXPECT_EQ(copy.at(2, 0)[0], 0);
  SelectObject(dc, stock);
  DeleteObject(blue);
  DeleteObject(screen_like);
  DeleteDC(dc);
}

TEST(GdiGetDIBits, ReadsABitmapBottomUpOrTopDown) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(5, 3, 1, 32, nullptr);
  HGDIOBJ stock = SelectObject(dc, bitmap);
  SetPixel(dc, 0, 0, RGB(1, 2, 3));    // top-left
  SetPixel(dc, 4, 2, RGB(7, 8, 9));    // bottom-right
  SelectObject(dc, stock);

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  ASSERT_NE(GetDIBits(dc, bitmap, 0, 0, nullptr, &info, DIB_RGB_COLORS), 0);
  EXPECT_EQ(info.bmiHeader.biWidth, 5);
  EXPECT_EQ(info.bmiHeader.biHeight, 3);
  EXPECT_EQ(info.bmiHeader.biBitCount, 32);

  // The answer may describe the bitmap's own layout (bit fields for 32 bits): ask for plain RGB.
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<BYTE> rows(16 * 3, 0xEE);
  ASSERT_EQ(GetDIBits(dc, bitmap, 0, 3, rows.data(), &info, DIB_RGB_COLORS), 3);
  EXPECT_EQ(info.bmiHeader.biSizeImage, 48u);
  EXPECT_EQ(rows[2 * 16 + 0], 3);  // top-left is in the last row
  EXPECT_EQ(rows[2 * 16 + 2], 1);
  EXPECT_EQ(rows[4 * 3 + 0], 9);  // bottom-right is in the first row
  EXPECT_EQ(rows[15], 0) << "padding is written as zero";

  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biHeight = -3;
  std::vector<BYTE> top_down(20 * 3, 0xEE);
  ASSERT_EQ(GetDIBits(dc, bitmap, 0, 3, top_down.data(), &info, DIB_RGB_COLORS), 3);
  EXPECT_EQ(top_down[0], 3);  // top-left is in the first row
  EXPECT_EQ(top_down[2], 1);
  EXPECT_EQ(top_down[2 * 20 + 16], 9);  // bottom-right is in the last row
  EXPECT_EQ(top_down[2 * 20 + 19], 0);
  EXPECT_EQ(GetDIBits(dc, nullptr, 0, 3, rows.data(), &info, DIB_RGB_COLORS), 0);
#ifndef _WIN32
  // Where a top-down read starts is not documented, so only ours is held to its reading:
  // scan lines count from the top. Ours reads no indexed formats (the runtime needs none)
  // and says so; Win32 would write a colour table larger than this BITMAPINFO holds.
  ASSERT_EQ(GetDIBits(dc, bitmap, 1, 5, top_down.data(), &info, DIB_RGB_COLORS), 2) << "lines 1 and 2";
  EXPECT_EQ(top_down[20 + 16], 9);
  info.bmiHeader.biBitCount = 8;
  EXPECT_EQ(GetDIBits(dc, bitmap, 0, 3, rows.data(), &info, DIB_RGB_COLORS), 0);
#endif
  DeleteObject(bitmap);
  DeleteDC(dc);
}

}  // namespace
