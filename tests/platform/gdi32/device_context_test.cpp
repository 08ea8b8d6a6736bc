// Memory device contexts: what they start with, what SelectObject hands back, and when
// objects may be deleted.
#include <gtest/gtest.h>

#include "support/gdi_bitmaps.h"

namespace {

BITMAP bitmap_info(HGDIOBJ bitmap) {
  BITMAP info{};
  EXPECT_EQ(GetObjectW(bitmap, sizeof info, &info), 32);
  return info;
}

TEST(GdiDeviceContext, NewMemoryDcHoldsTheOneByOneMonochromeStockBitmap) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  HGDIOBJ stock = GetCurrentObject(dc, OBJ_BITMAP);
  BITMAP info = bitmap_info(stock);
  EXPECT_EQ(info.bmWidth, 1);
  EXPECT_EQ(info.bmHeight, 1);
  EXPECT_EQ(info.bmBitsPixel, 1);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));

  HDC other = CreateCompatibleDC(dc);
  EXPECT_EQ(GetCurrentObject(other, OBJ_BITMAP), stock) << "every memory DC shares the stock bitmap";
  DeleteDC(other);
  DeleteDC(dc);
}

TEST(GdiDeviceContext, SelectObjectReturnsThePreviousObjectOfItsKind) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ stock = GetCurrentObject(dc, OBJ_BITMAP);
  HBITMAP first = make_dib(2, 2, 24, nullptr);
  HBITMAP second = make_dib(2, 2, 32, nullptr);
  HBRUSH brush = CreateSolidBrush(RGB(9, 9, 9));

  EXPECT_EQ(SelectObject(dc, first), stock);
  EXPECT_EQ(SelectObject(dc, second), first);
  EXPECT_EQ(SelectObject(dc, second), second);
  EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_BRUSH)), brush);
  EXPECT_EQ(SelectObject(dc, GetStockObject(NULL_PEN)), GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT)), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(SelectObject(dc, stock), second);
  EXPECT_EQ(SelectObject(dc, dc), nullptr) << "a DC cannot be selected";
  EXPECT_EQ(SelectObject(dc, nullptr), nullptr);

  for (HGDIOBJ object : {static_cast<HGDIOBJ>(first), static_cast<HGDIOBJ>(second), static_cast<HGDIOBJ>(brush)})
    EXPECT_TRUE(DeleteObject(object));
  DeleteDC(dc);
}

TEST(GdiDeviceContext, ABitmapSitsInOneDcAtATime) {
  HDC one = CreateCompatibleDC(nullptr);
  HDC two = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = make_dib(2, 2, 24, nullptr);
  HGDIOBJ stock = SelectObject(one, bitmap);
  EXPECT_EQ(SelectObject(two, bitmap), nullptr);
  EXPECT_EQ(GetCurrentObject(two, OBJ_BITMAP), stock) << "the failed selection changed nothing";
  SelectObject(one, stock);
  EXPECT_EQ(SelectObject(two, bitmap), stock);
  DeleteDC(two);  // deleting a DC lets go of its bitmap
  EXPECT_EQ(SelectObject(one, bitmap), stock);
  DeleteDC(one);
  EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(GdiDeviceContext, SelectedObjectsCannotBeDeleted) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = make_dib(2, 2, 24, nullptr);
  HBRUSH brush = CreateSolidBrush(0);
  HGDIOBJ stock = SelectObject(dc, bitmap);
  HGDIOBJ white = SelectObject(dc, brush);
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_FALSE(DeleteObject(brush));
  EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
  RECT all{0, 0, 2, 2};
  EXPECT_NE(FillRect(dc, &all, brush), 0) << "both are still usable";
  SelectObject(dc, stock);
  SelectObject(dc, white);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_EQ(SelectObject(dc, bitmap), nullptr) << "a deleted bitmap cannot be selected";
  DeleteDC(dc);
}

TEST(GdiDeviceContext, CompatibleBitmapsFollowTheSelectedBitmap) {
  HDC dc = CreateCompatibleDC(nullptr);
  // The classic trap: a fresh memory DC holds a monochrome bitmap, so that is what it is compatible with.
  HBITMAP mono = CreateCompatibleBitmap(dc, 8, 8);
  EXPECT_EQ(bitmap_info(mono).bmBitsPixel, 1);
  HBITMAP dib = make_dib(4, 4, 24, nullptr);
  HGDIOBJ stock = SelectObject(dc, dib);
  HBITMAP like_dib = CreateCompatibleBitmap(dc, 6, 5);
  DIBSECTION section{};
  EXPECT_EQ(GetObjectW(like_dib, sizeof section, &section), static_cast<int>(sizeof section))
      << "a DIB section like the selected one";
  EXPECT_EQ(section.dsBm.bmWidth, 6);
  EXPECT_EQ(section.dsBm.bmHeight, 5);
  EXPECT_EQ(section.dsBm.bmBitsPixel, 24);
  EXPECT_EQ(CreateCompatibleBitmap(dc, 0, 5), stock) << "an empty size gives the stock bitmap";
  EXPECT_EQ(CreateCompatibleBitmap(dc, -1, 5), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 4, 4), nullptr);
  SelectObject(dc, stock);
  for (HBITMAP bitmap : {mono, dib, like_dib}) EXPECT_TRUE(DeleteObject(bitmap));
  DeleteDC(dc);
}

TEST(GdiDeviceContext, InvalidDibSectionsAreRefused) {
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 4, 4, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = &info;
  auto refused = [&](BITMAPINFO changed, UINT usage = DIB_RGB_COLORS) {
    bits = &info;
    HBITMAP bitmap = CreateDIBSection(nullptr, &changed, usage, &bits, nullptr, 0);
    bool ok = bitmap == nullptr && bits == nullptr;
    if (bitmap) DeleteObject(bitmap);
    return ok;
  };
  BITMAPINFO changed = info;
  changed.bmiHeader.biPlanes = 2;
  EXPECT_TRUE(refused(changed));
  changed = info;
  changed.bmiHeader.biCompression = 3;
  EXPECT_TRUE(refused(changed));
  changed = info;
  changed.bmiHeader.biBitCount = 12;
  EXPECT_TRUE(refused(changed));
  changed = info;
  changed.bmiHeader.biWidth = 0;
  EXPECT_TRUE(refused(changed));
  changed = info;
  changed.bmiHeader.biHeight = 0;
  EXPECT_TRUE(refused(changed));
  changed = info;
  changed.bmiHeader.biWidth = 0x10000;
  changed.bmiHeader.biHeight = 0x10000;  // 12 GiB of pixels
  EXPECT_TRUE(refused(changed));
  EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  // Without a colour table palette indices are never read: either usage makes the section.
  EXPECT_FALSE(refused(info, DIB_PAL_COLORS));
#ifndef _WIN32
  // A header claiming to be larger than any Win32 defines is the caller's error, which Win32
  // leaves undefined; ours refuses it rather than look for a colour table 2 GiB away.
  changed = info;
  changed.bmiHeader.biSize = 0x7FFFFFFF;
  EXPECT_TRUE(refused(changed));
#endif
}

TEST(GdiDeviceContext, BatchLimitIsKeptAsWin32KeepsIt) {
  DWORD original = GdiGetBatchLimit();
  EXPECT_EQ(original, 20u);
  EXPECT_EQ(GdiSetBatchLimit(1), 20u);
  EXPECT_EQ(GdiGetBatchLimit(), 1u);
  EXPECT_EQ(GdiSetBatchLimit(0), 1u);
  EXPECT_EQ(GdiGetBatchLimit(), 20u) << "0 restores the default";
}

}  // namespace
