// Icons own copies of their bitmaps and are not GDI objects.
#include <gtest/gtest.h>

#include "support/gdi_bitmaps.h"

namespace {

TEST(GdiIcon, AnIconKeepsItsOwnBitmapsUntilDestroyed) {
  HBITMAP mask = CreateBitmap(4, 4, 1, 1, nullptr);
  HBITMAP colour = make_dib(4, 4, 32, nullptr);
  ICONINFO info{TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&info);
  ASSERT_NE(icon, nullptr);
  EXPECT_TRUE(DeleteObject(mask)) << "the icon took copies";
  EXPECT_TRUE(DeleteObject(colour));
  EXPECT_EQ(GetObjectType(icon), 0u) << "icons are not GDI objects";
  EXPECT_FALSE(DeleteObject(icon));

  ICONINFO read{};
  ASSERT_TRUE(GetIconInfo(icon, &read));
  EXPECT_TRUE(read.fIcon);
  BITMAP bitmap{};
  ASSERT_EQ(GetObjectW(read.hbmColor, sizeof bitmap, &bitmap), 32);
  EXPECT_EQ(bitmap.bmBitsPixel, 32);
  ASSERT_EQ(GetObjectW(read.hbmMask, sizeof bitmap, &bitmap), 32);
  EXPECT_EQ(bitmap.bmBitsPixel, 1);
  DeleteObject(read.hbmColor);
  DeleteObject(read.hbmMask);

  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon));
  EXPECT_FALSE(GetIconInfo(icon, &read));
}

TEST(GdiIcon, AnIconNeedsAValidMask) {
  ICONINFO info{FALSE, 1, 1, nullptr, nullptr};
  EXPECT_EQ(CreateIconIndirect(&info), nullptr);
  HBITMAP mask = CreateBitmap(2, 2, 1, 1, nullptr);
  info.hbmMask = mask;
#ifndef _WIN32
  // A colour bitmap that is no bitmap is the caller's error, which Win32 leaves undefined;
  // ours refuses the icon rather than copy from it.
  info.hbmColor = reinterpret_cast<HBITMAP>(&info);
  EXPECT_EQ(CreateIconIndirect(&info), nullptr);
  info.hbmColor = nullptr;
#endif
  HCURSOR cursor = CreateIconIndirect(&info);
  ASSERT_NE(cursor, nullptr);
  EXPECT_TRUE(DestroyCursor(cursor));
  DeleteObject(mask);
}

}  // namespace
