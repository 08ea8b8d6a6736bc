// Window DCs over client surfaces: origin, clip, and drawing from memory DCs.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi32/surface_dc.h"
#include "support/gdi_bitmaps.h"

namespace {

constexpr LONG SURFACE_WIDTH = 10;
constexpr LONG SURFACE_HEIGHT = 8;
constexpr LONG SURFACE_STRIDE = 48;  // 8 bytes of padding after each row

struct Surface {
  Surface() : bytes(SURFACE_STRIDE * SURFACE_HEIGHT, 0x11) {
    pixels = PixelSurface{bytes.data(), SURFACE_WIDTH, SURFACE_HEIGHT, SURFACE_STRIDE};
  }
  // Top-down rows, B, G, R, X.
  BYTE* at(int x, int y) { return bytes.data() + y * SURFACE_STRIDE + x * 4; }
  std::vector<BYTE> bytes;
  PixelSurface pixels;
};

TEST(GdiSurfaceDc, FillRectDrawsOnlyInsideTheClipAroundTheOrigin) {
  Surface surface;
  HDC dc = gdi_create_surface_dc(&surface.pixels, POINT{2, 3}, RECT{2, 3, 6, 6});
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
  HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
  RECT everything{-50, -50, 500, 500};
  EXPECT_NE(FillRect(dc, &everything, green), 0);
  for (int y = 0; y < SURFACE_HEIGHT; ++y)
    for (int x = 0; x < SURFACE_WIDTH; ++x) {
      bool inside = x >= 2 && x < 6 && y >= 3 && y < 6;
      EXPECT_EQ(surface.at(x, y)[1], inside ? 200 : 0x11) << x << "," << y;
    }
  for (int y = 0; y < SURFACE_HEIGHT; ++y)
    for (int i = SURFACE_WIDTH * 4; i < SURFACE_STRIDE; ++i) EXPECT_EQ(surface.bytes[y * SURFACE_STRIDE + i], 0x11);

  RECT corner{0, 0, 1, 1};  // logical (0, 0) is the origin
  FillRect(dc, &corner, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(surface.at(2, 3)[0], 255);
  EXPECT_EQ(surface.at(3, 3)[0], 0);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, -1, 0), CLR_INVALID) << "outside the clip";
  gdi_release_surface_dc(dc);
  DeleteObject(green);
}

TEST(GdiSurfaceDc, BitBltFromABottomUpDibLandsTopDownAtTheOrigin) {
  Surface surface;
  BYTE* bits = nullptr;
  HBITMAP dib = make_dib(3, 2, 24, &bits);
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ stock = SelectObject(memory, dib);
  bottom_up_pixel(bits, 12, 2, 0, 0, 3)[2] = 0xAB;  // top-left red
  bottom_up_pixel(bits, 12, 2, 2, 1, 3)[0] = 0xCD;  // bottom-right blue

  HDC window = gdi_create_surface_dc(&surface.pixels, POINT{4, 1}, RECT{0, 0, SURFACE_WIDTH, SURFACE_HEIGHT});
  ASSERT_TRUE(BitBlt(window, 0, 0, 3, 2, memory, 0, 0, SRCCOPY));
  EXPECT_EQ(surface.at(4, 1)[2], 0xAB);
  EXPECT_EQ(surface.at(6, 2)[0], 0xCD);
  EXPECT_EQ(surface.at(5, 1)[0], 0);
  EXPECT_EQ(surface.at(3, 1)[0], 0x11);

  // And back: a window DC can be a source too.
  Surface other;
  HDC reader = gdi_create_surface_dc(&other.pixels, POINT{0, 0}, RECT{0, 0, SURFACE_WIDTH, SURFACE_HEIGHT});
  ASSERT_TRUE(BitBlt(reader, 0, 0, SURFACE_WIDTH, SURFACE_HEIGHT, window, -4, -1, SRCCOPY));
  EXPECT_EQ(other.at(4, 1)[2], 0xAB) << "logical (-4, -1) of the window DC is surface (0, 0)";
  EXPECT_EQ(SelectObject(window, dib), nullptr) << "window DCs hold no bitmap";
  gdi_release_surface_dc(reader);
  gdi_release_surface_dc(window);
  SelectObject(memory, stock);
  DeleteDC(memory);
  DeleteObject(dib);
}

TEST(GdiSurfaceDc, ClipBeyondTheSurfaceIsCutAndBadSurfacesAreRefused) {
  Surface surface;
  HDC dc = gdi_create_surface_dc(&surface.pixels, POINT{-3, -3}, RECT{-100, -100, 100, 100});
  ASSERT_NE(dc, nullptr);
  RECT everything{-1000, -1000, 1000, 1000};
  FillRect(dc, &everything, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(surface.at(0, 0)[0], 0);
  EXPECT_EQ(surface.at(9, 7)[0], 0);
  EXPECT_EQ(surface.bytes[SURFACE_STRIDE - 1], 0x11);
  gdi_release_surface_dc(dc);
  EXPECT_EQ(GetObjectType(dc), 0u);
  gdi_release_surface_dc(dc);  // a second release is harmless

  PixelSurface narrow{surface.bytes.data(), SURFACE_WIDTH, SURFACE_HEIGHT, SURFACE_WIDTH * 4 - 1};
  EXPECT_EQ(gdi_create_surface_dc(&narrow, POINT{0, 0}, RECT{0, 0, 1, 1}), nullptr);
  PixelSurface empty{nullptr, SURFACE_WIDTH, SURFACE_HEIGHT, SURFACE_STRIDE};
  EXPECT_EQ(gdi_create_surface_dc(&empty, POINT{0, 0}, RECT{0, 0, 1, 1}), nullptr);
  EXPECT_EQ(gdi_create_surface_dc(nullptr, POINT{0, 0}, RECT{0, 0, 1, 1}), nullptr);

  HDC memory = CreateCompatibleDC(nullptr);
  gdi_release_surface_dc(memory);
  EXPECT_EQ(GetObjectType(memory), static_cast<DWORD>(OBJ_MEMDC)) << "only window DCs are released here";
  DeleteDC(memory);
}

TEST(GdiSurfaceDc, CompatibleDcsAndBitmapsOfAWindowDcAreScreenLike) {
  Surface surface;
  HDC window = gdi_create_surface_dc(&surface.pixels, POINT{0, 0}, RECT{0, 0, 4, 4});
  HDC memory = CreateCompatibleDC(window);
  ASSERT_NE(memory, nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(window, 4, 4);
  BITMAP info{};
  ASSERT_EQ(GetObjectW(bitmap, sizeof info, &info), 32);
  EXPECT_EQ(info.bmBitsPixel, 32);
  DeleteObject(bitmap);
  DeleteDC(memory);
  gdi_release_surface_dc(window);
}

}  // namespace

namespace {

TEST(GdiSurfaceDc, ASurfaceThatShrankIsNotDrawnBeyond) {
  std::vector<BYTE> bytes(16 * 4, 0x11);
  PixelSurface surface{bytes.data(), 4, 4, 16};
  HDC dc = gdi_create_surface_dc(&surface, POINT{0, 0}, RECT{0, 0, 4, 4});
  surface.width = 2;
  surface.height = 1;
  surface.stride = 8;
  RECT everything{0, 0, 4, 4};
  FillRect(dc, &everything, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  for (int i = 0; i < 64; ++i) EXPECT_EQ(bytes[i], i < 8 ? 0 : 0x11) << i;
  gdi_release_surface_dc(dc);
}

}  // namespace
