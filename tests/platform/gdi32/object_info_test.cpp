// What GetObjectW and GetObjectType report, and how handles are validated.
#include <gtest/gtest.h>

#include "support/gdi_bitmaps.h"

namespace {

TEST(GdiObjectInfo, DibSectionReportsDibsectionOrBitmapByBufferSize) {
  BYTE* bits = nullptr;
  HBITMAP dib = make_dib(5, 3, 24, &bits);
  ASSERT_NE(dib, nullptr);
  ASSERT_NE(bits, nullptr);

  EXPECT_EQ(GetObjectW(dib, 0, nullptr), 32) << "without a buffer, the size of a BITMAP";
  DIBSECTION section{};
  ASSERT_EQ(GetObjectW(dib, sizeof section, &section), 104);
  EXPECT_EQ(section.dsBm.bmType, 0);
  EXPECT_EQ(section.dsBm.bmWidth, 5);
  EXPECT_EQ(section.dsBm.bmHeight, 3);
  EXPECT_EQ(section.dsBm.bmWidthBytes, 16);
  EXPECT_EQ(section.dsBm.bmPlanes, 1);
  EXPECT_EQ(section.dsBm.bmBitsPixel, 24);
  EXPECT_EQ(section.dsBm.bmBits, bits);
  EXPECT_EQ(section.dsBmih.biSize, 40u);
  EXPECT_EQ(section.dsBmih.biWidth, 5);
  EXPECT_EQ(section.dsBmih.biHeight, 3);
  EXPECT_EQ(section.dsBmih.biBitCount, 24);
  EXPECT_EQ(section.dsBmih.biSizeImage, 48u);
  EXPECT_EQ(section.dshSection, nullptr);

  BITMAP plain{};
  EXPECT_EQ(GetObjectW(dib, sizeof plain, &plain), 32);
  EXPECT_EQ(plain.bmBits, bits);
  EXPECT_EQ(plain.bmWidth, 5);
  EXPECT_EQ(GetObjectW(dib, sizeof plain - 1, &plain), 0);
  EXPECT_TRUE(DeleteObject(dib));
}

TEST(GdiObjectInfo, TopDownDibKeepsItsNegativeHeightOnlyInTheHeader) {
  HBITMAP dib = make_dib(4, -2, 32, nullptr);
  DIBSECTION section{};
  ASSERT_EQ(GetObjectW(dib, sizeof section, &section), 104);
  EXPECT_EQ(section.dsBm.bmHeight, 2);
  EXPECT_EQ(section.dsBmih.biHeight, -2);
  DeleteObject(dib);
}

TEST(GdiObjectInfo, DeviceDependentBitmapsHideTheirPixelsAndPadRowsToWords) {
  HDC screen = CreateCompatibleDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP dib = make_dib(3, 3, 24, nullptr);
  SelectObject(memory, dib);
  DeleteDC(memory);

  HBITMAP colour = CreateBitmap(7, 2, 1, 32, nullptr);
  EXPECT_EQ(GetObjectW(colour, 0, nullptr), 32);
  DIBSECTION section{};
  EXPECT_EQ(GetObjectW(colour, sizeof section, &section), 32) << "not a DIB section: only a BITMAP";
  EXPECT_EQ(section.dsBm.bmBits, nullptr);
  EXPECT_EQ(section.dsBm.bmWidthBytes, 28);
  EXPECT_EQ(section.dsBm.bmBitsPixel, 32);

  HBITMAP mono = CreateBitmap(17, 2, 1, 1, nullptr);
  BITMAP info{};
  ASSERT_EQ(GetObjectW(mono, sizeof info, &info), 32);
  EXPECT_EQ(info.bmWidthBytes, 4);  // 17 bits, padded to a 16-bit word
  HBITMAP narrow = CreateBitmap(9, 1, 1, 1, nullptr);
  ASSERT_EQ(GetObjectW(narrow, sizeof info, &info), 32);
  EXPECT_EQ(info.bmWidthBytes, 2);

  for (HBITMAP bitmap : {dib, colour, mono, narrow}) EXPECT_TRUE(DeleteObject(bitmap));
  DeleteDC(screen);
}

TEST(GdiObjectInfo, BrushesPensAndFontsDescribeThemselves) {
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  LOGBRUSH logical{};
  EXPECT_EQ(GetObjectW(brush, 0, nullptr), static_cast<int>(sizeof(LOGBRUSH)));
  EXPECT_EQ(GetObjectW(brush, sizeof logical, &logical), static_cast<int>(sizeof(LOGBRUSH)));
  EXPECT_EQ(logical.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(logical.lbColor, RGB(1, 2, 3));
  DeleteObject(brush);

  ASSERT_EQ(GetObjectW(GetStockObject(NULL_BRUSH), sizeof logical, &logical), static_cast<int>(sizeof(LOGBRUSH)));
  EXPECT_EQ(logical.lbStyle, static_cast<UINT>(BS_NULL));
  ASSERT_EQ(GetObjectW(GetStockObject(WHITE_BRUSH), sizeof logical, &logical), static_cast<int>(sizeof(LOGBRUSH)));
  EXPECT_EQ(logical.lbColor, RGB(255, 255, 255));

  LOGPEN pen{};
  EXPECT_EQ(GetObjectW(GetStockObject(BLACK_PEN), sizeof pen, &pen), static_cast<int>(sizeof(LOGPEN)));
  LOGFONTW font{};
  EXPECT_EQ(GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font), static_cast<int>(sizeof(LOGFONTW)));
  EXPECT_NE(font.lfFaceName[0], 0);
}

TEST(GdiObjectInfo, ObjectTypesAndStaleOrBogusHandles) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = make_dib(2, 2, 24, nullptr);
  HBRUSH brush = CreateSolidBrush(0);
  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
  EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
  EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_PEN));
  EXPECT_EQ(GetObjectType(GetStockObject(SYSTEM_FONT)), static_cast<DWORD>(OBJ_FONT));

  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_TRUE(DeleteDC(dc));
  for (HGDIOBJ stale : {static_cast<HGDIOBJ>(bitmap), static_cast<HGDIOBJ>(brush), static_cast<HGDIOBJ>(pen),
                        static_cast<HGDIOBJ>(dc)}) {
    EXPECT_EQ(GetObjectType(stale), 0u);
    EXPECT_EQ(GetObjectW(stale, 0, nullptr), 0);
    EXPECT_FALSE(DeleteObject(stale));
  }
  EXPECT_FALSE(DeleteDC(dc));

  int not_an_object[64] = {};
  HGDIOBJ bogus = not_an_object;
  EXPECT_EQ(GetObjectType(bogus), 0u);
  EXPECT_EQ(GetObjectType(nullptr), 0u);
  EXPECT_FALSE(DeleteObject(bogus));
  EXPECT_EQ(GetObjectW(bogus, sizeof not_an_object, not_an_object), 0);
  EXPECT_EQ(SelectObject(static_cast<HDC>(bogus), GetStockObject(WHITE_BRUSH)), nullptr);
  EXPECT_EQ(GetStockObject(-1), nullptr);
  EXPECT_EQ(GetStockObject(9), nullptr);  // a gap in the stock numbering
}

TEST(GdiObjectInfo, StockObjectsSurviveDeletion) {
  HGDIOBJ white = GetStockObject(WHITE_BRUSH);
  EXPECT_TRUE(DeleteObject(white));
  EXPECT_EQ(GetObjectType(white), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(GetStockObject(WHITE_BRUSH), white);
}

}  // namespace
