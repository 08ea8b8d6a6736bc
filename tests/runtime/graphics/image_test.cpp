#include "runtime/graphics/image.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/main_heap_fixture.h"

namespace {

class ImageTest : public MainHeapTest {
 protected:
  void SetUp() override {
    MainHeapTest::SetUp();
    ASSERT_TRUE(image_library_init());
  }
  void TearDown() override {
    image_free_all();
    MainHeapTest::TearDown();
  }
};

DIBSECTION section_of(HBITMAP bitmap) {
  DIBSECTION section{};
  EXPECT_EQ(GetObjectW(bitmap, sizeof section, &section), static_cast<int>(sizeof(DIBSECTION)));
  return section;
}

const BYTE* bytes_of(const DIBSECTION& section) { return static_cast<const BYTE*>(section.dsBm.bmBits); }

TEST_F(ImageTest, DefaultImageIsBlackBottomUp24BitWithPaddedRows) {
  std::intptr_t handle = image_create(0, 600, 600);
  ASSERT_NE(handle, 0);
  ImageObject* image = image_lookup(0);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(reinterpret_cast<std::intptr_t>(image->bitmap), handle);
  EXPECT_EQ(image->width, 600);
  EXPECT_EQ(image->height, 600);
  EXPECT_EQ(image->depth, 24);
  EXPECT_EQ(image->creation_depth, 24);

  DIBSECTION section = section_of(image->bitmap);
  EXPECT_EQ(section.dsBm.bmWidth, 600);
  EXPECT_EQ(section.dsBm.bmHeight, 600);
  EXPECT_EQ(section.dsBm.bmBitsPixel, 24);
  EXPECT_GT(section.dsBmih.biHeight, 0);  // positive height: bottom-up rows
  EXPECT_EQ(dib_stride(600, 24), 1800);
  EXPECT_EQ(section.dsBm.bmWidthBytes, 1800);
  std::vector<BYTE> black(1800 * 600, 0);
  EXPECT_EQ(std::vector<BYTE>(bytes_of(section), bytes_of(section) + black.size()), black);
}

TEST_F(ImageTest, RowSizesArePaddedToFourBytes) {
  EXPECT_EQ(dib_stride(5, 24), 16);  // 15 pixel bytes and 1 of padding
  // Against the usual DWORD-aligned formula, computed independently in bits.
  for (int depth : {1, 4, 8, 16, 24, 32})
    for (int width = 1; width <= 70; ++width)
      EXPECT_EQ(dib_stride(width, depth), (width * depth + 31) / 32 * 4) << "width " << width << " depth " << depth;
  EXPECT_EQ(dib_stride(3, 15), 8);
  EXPECT_EQ(dib_stride(3, 12), 12);  // unknown depths count 4 bytes per pixel

  ASSERT_NE(image_create(1, 5, 2, 24, 0x0000FF), 0);
  DIBSECTION section = section_of(image_lookup(1)->bitmap);
  const BYTE* bits = bytes_of(section);
  for (int row = 0; row < 2; ++row) {
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(bits[row * 16 + 3 * x], 0x00);      // blue
      EXPECT_EQ(bits[row * 16 + 3 * x + 1], 0x00);  // green
      EXPECT_EQ(bits[row * 16 + 3 * x + 2], 0xFF);  // red
    }
    EXPECT_EQ(bits[row * 16 + 15], 0) << "padding stays zero";
  }
}

TEST_F(ImageTest, DepthsBelow24Give24BitImages) {
  ASSERT_NE(image_create(0, 10, 10, 8), 0);
  EXPECT_EQ(image_lookup(0)->depth, 24);
  EXPECT_EQ(image_lookup(0)->creation_depth, 24);
  EXPECT_EQ(section_of(image_lookup(0)->bitmap).dsBm.bmBitsPixel, 24);
}

TEST_F(ImageTest, ThirtyTwoBitImagesFillOpaqueOrTransparent) {
  ASSERT_NE(image_create(0, 7, 3, 32, 0xFF0000), 0);
  DIBSECTION blue = section_of(image_lookup(0)->bitmap);
  EXPECT_EQ(image_lookup(0)->depth, 32);
  for (int i = 0; i < 7 * 3; ++i) {
    const BYTE* pixel = bytes_of(blue) + 4 * i;
    EXPECT_EQ(pixel[0], 0xFF);
    EXPECT_EQ(pixel[1], 0x00);
    EXPECT_EQ(pixel[2], 0x00);
    EXPECT_EQ(pixel[3], 0xFF);
  }
  ASSERT_NE(image_create(1, 7, 3, 32, 0x123456), 0);
  const BYTE* mixed = bytes_of(section_of(image_lookup(1)->bitmap));
  EXPECT_EQ(mixed[0], 0x12);
  EXPECT_EQ(mixed[1], 0x34);
  EXPECT_EQ(mixed[2], 0x56);
  EXPECT_EQ(mixed[3], 0xFF);

  ASSERT_NE(image_create(2, 7, 3, 32, -1), 0);
  DIBSECTION clear = section_of(image_lookup(2)->bitmap);
  for (int i = 0; i < 7 * 3 * 4; ++i) EXPECT_EQ(bytes_of(clear)[i], 0);
}

TEST_F(ImageTest, RecreatingANumberFreesTheOldBitmap) {
  auto first = reinterpret_cast<HBITMAP>(image_create(0, 4, 4));
  ASSERT_NE(first, nullptr);
  auto second = reinterpret_cast<HBITMAP>(image_create(0, 8, 8));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(GetObjectType(first), 0u) << "the first bitmap was deleted";
  EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_BITMAP));
  EXPECT_EQ(image_lookup(0)->width, 8);
}

TEST_F(ImageTest, AutoIdImagesAreFoundByTheirDynamicId) {
  std::intptr_t id = image_create(AUTO_ID, 3, 2);
  ASSERT_NE(id, 0);
  ImageObject* image = image_lookup(id);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 3);
  HBITMAP bitmap = image->bitmap;
  EXPECT_NE(image_free(id), 0);
  EXPECT_EQ(image_lookup(id), nullptr);
  EXPECT_EQ(GetObjectType(bitmap), 0u);
}

TEST_F(ImageTest, FreeingReportsWhetherAnImageWasThere) {
  EXPECT_EQ(image_free(3), 0);
  ASSERT_NE(image_create(3, 2, 2), 0);
  HBITMAP bitmap = image_lookup(3)->bitmap;
  EXPECT_NE(image_free(3), 0);
  EXPECT_EQ(image_lookup(3), nullptr);
  EXPECT_EQ(GetObjectType(bitmap), 0u);
  EXPECT_EQ(image_free(3), 0);
  EXPECT_EQ(image_free(12345), 0);
}

TEST_F(ImageTest, FreeingMinusOneFreesEveryImage) {
  ASSERT_NE(image_create(0, 2, 2), 0);
  ASSERT_NE(image_create(20, 2, 2), 0);
  std::intptr_t id = image_create(AUTO_ID, 2, 2);
  ASSERT_NE(id, 0);
  std::vector<HBITMAP> bitmaps = {image_lookup(0)->bitmap, image_lookup(20)->bitmap, image_lookup(id)->bitmap};
  EXPECT_EQ(image_free(-1), 0);
  EXPECT_EQ(image_lookup(0), nullptr);
  EXPECT_EQ(image_lookup(20), nullptr);
  EXPECT_EQ(image_lookup(id), nullptr);
  for (HBITMAP bitmap : bitmaps) EXPECT_EQ(GetObjectType(bitmap), 0u);
  registry_iterate_begin(image_registry());
  EXPECT_EQ(registry_iterate_next(image_registry(), nullptr), nullptr) << "no live record is left";
}

TEST_F(ImageTest, FailedCreationLeavesNoImage) {
  auto old = reinterpret_cast<HBITMAP>(image_create(0, 4, 4));
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(image_create(0, 4, 4, 25), 0);  // no such pixel format
  EXPECT_EQ(image_lookup(0), nullptr);
  EXPECT_EQ(GetObjectType(old), 0u) << "the previous image is gone even though creation failed";
  EXPECT_EQ(image_create(0, 0, 4), 0);
  EXPECT_EQ(image_create(0, 4, -4), 0);
  EXPECT_EQ(image_create(0, 40000, 1), 0);  // beyond what the 16-bit size fields hold
  EXPECT_EQ(image_create(AUTO_ID, 0, 0), 0);
  registry_iterate_begin(image_registry());
  EXPECT_EQ(registry_iterate_next(image_registry(), nullptr), nullptr);
}

TEST_F(ImageTest, AnIconImageIsDestroyedAsAnIcon) {
  HBITMAP mask = CreateBitmap(2, 2, 1, 1, nullptr);
  ICONINFO info{TRUE, 0, 0, mask, nullptr};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  ASSERT_NE(icon, nullptr);
  ASSERT_NE(image_create(0, 2, 2), 0);
  DeleteObject(image_lookup(0)->bitmap);
  image_lookup(0)->bitmap = reinterpret_cast<BitmapHandle>(icon);
  EXPECT_NE(image_free(0), 0);
  EXPECT_FALSE(DestroyIcon(icon)) << "image_free destroyed the icon already";
}

}  // namespace
