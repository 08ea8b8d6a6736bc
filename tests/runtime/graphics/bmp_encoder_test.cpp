// The BMP writer, checked field by field against the file layout of a Windows
// bitmap (written out here, independently of the writer).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "runtime/graphics/bmp_encoder.h"
#include "runtime/graphics/encoder_table.h"
#include "support/image_readers.h"
#include "support/picture_bytes.h"

namespace {

// Fills every pixel with a value made from its place, padding left as is.
void fill_pattern(Picture* picture) {
  for (int y = 0; y < picture->height; ++y) {
    for (int x = 0; x < picture->width; ++x) {
      std::uint8_t* p = picture->pixel(x, y);
      for (int c = 0; c < picture->depth / 8; ++c) p[c] = static_cast<std::uint8_t>(x * 7 + y * 13 + c * 50);
    }
  }
}

int write_bmp(const std::string& path, const Picture& picture, int depth, int flags = ROWS_BOTTOM_UP,
              int options = SAVE_OPTIONS_DEFAULT) {
  std::u16string name = to_utf16(path);
  return bmp_write_file(name.c_str(), picture.bytes.data(), picture.row_size, picture.width, picture.height,
                        picture.depth, flags, options, depth);
}

// The header a Windows bitmap of this size must have, from the format's
// table: 14-byte file header, 40-byte BITMAPINFOHEADER, 4-byte palette
// entries for depths up to 8, rows padded to 4 bytes.
struct ExpectedHeader {
  std::uint32_t file_size, data_offset, row_bytes, image_size, palette_entries;
};

ExpectedHeader expected_header(std::uint32_t width, std::uint32_t height, int depth) {
  std::uint32_t bits_per_row = width * depth;
  std::uint32_t row_bytes = (bits_per_row + 31) / 32 * 4;
  std::uint32_t entries = depth <= 8 ? 1u << depth : 0;
  std::uint32_t offset = 14 + 40 + 4 * entries;
  return {offset + row_bytes * height, offset, row_bytes, row_bytes * height, entries};
}

void expect_header_fields(const Bytes& file, std::uint32_t width, std::uint32_t height, int depth) {
  ExpectedHeader want = expected_header(width, height, depth);
  ASSERT_EQ(file.size(), want.file_size);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(read_le32(file, 2), want.file_size);
  EXPECT_EQ(read_le16(file, 6), 0);
  EXPECT_EQ(read_le16(file, 8), 0);
  EXPECT_EQ(read_le32(file, 10), want.data_offset);
  EXPECT_EQ(read_le32(file, 14), 40u);
  EXPECT_EQ(read_le32(file, 18), width);
  EXPECT_EQ(read_le32(file, 22), height);
  EXPECT_EQ(read_le16(file, 26), 1);
  EXPECT_EQ(read_le16(file, 28), depth);
  EXPECT_EQ(read_le32(file, 30), 0u);
  EXPECT_EQ(read_le32(file, 34), want.image_size);
  for (std::size_t offset : {38u, 42u, 46u, 50u}) EXPECT_EQ(read_le32(file, offset), 0u) << offset;
}

TEST(BmpWriter, CanvasPictureIsTheImageMemoryBehindTheHeaders) {
  ScratchFolder folder;
  Picture picture(600, 600, 24);
  fill_pattern(&picture);
  ASSERT_EQ(write_bmp(folder.file("canvas.bmp"), picture, 24), 1);
  Bytes file = read_file(folder.file("canvas.bmp"));
  EXPECT_EQ(file.size(), 1080054u);
  expect_header_fields(file, 600, 600, 24);
  EXPECT_EQ(read_le32(file, 10), 54u);
  ASSERT_EQ(file.size(), 54 + picture.bytes.size());
  EXPECT_TRUE(std::equal(picture.bytes.begin(), picture.bytes.end(), file.begin() + 54));
}

TEST(BmpWriter, NarrowRowsArePaddedWithZerosInEitherRowOrder) {
  ScratchFolder folder;
  Picture picture(5, 2, 24);
  fill_pattern(&picture);
  for (int flags : {ROWS_BOTTOM_UP, 0}) {
    ASSERT_EQ(write_bmp(folder.file("small.bmp"), picture, 24, flags), 1);
    Bytes file = read_file(folder.file("small.bmp"));
    EXPECT_EQ(file.size(), 86u);
    expect_header_fields(file, 5, 2, 24);
    // The file's first row is the bottom line: memory row 0 only when bottom-up.
    for (int stored = 0; stored < 2; ++stored) {
      int source = flags == ROWS_BOTTOM_UP ? stored : 1 - stored;
      const std::uint8_t* row = &file[54 + 16 * stored];
      EXPECT_TRUE(std::equal(row, row + 15, picture.pixel(0, source))) << stored;
      EXPECT_EQ(row[15], 0) << stored;
    }
  }
  // Rows converted one by one get zero padding whatever the source holds.
  picture.bytes[15] = 0xAB;
  picture.bytes[31] = 0xCD;
  ASSERT_EQ(write_bmp(folder.file("small.bmp"), picture, 24, 0), 1);
  Bytes file = read_file(folder.file("small.bmp"));
  EXPECT_EQ(file[54 + 15], 0);
  EXPECT_EQ(file[54 + 31], 0);
}

TEST(BmpWriter, DepthThirtyTwoFromBothSourceDepths) {
  ScratchFolder folder;
  Picture rgb(3, 2, 24);
  fill_pattern(&rgb);
  ASSERT_EQ(write_bmp(folder.file("from24.bmp"), rgb, 32), 1);
  Bytes file = read_file(folder.file("from24.bmp"));
  expect_header_fields(file, 3, 2, 32);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      const std::uint8_t* out = &file[54 + 12 * y + 4 * x];
      EXPECT_TRUE(std::equal(out, out + 3, rgb.pixel(x, y)));
      EXPECT_EQ(out[3], 0);
    }
  }

  Picture rgba(3, 2, 32);
  fill_pattern(&rgba);
  for (int flags : {ROWS_BOTTOM_UP, 0}) {
    ASSERT_EQ(write_bmp(folder.file("from32.bmp"), rgba, 32, flags), 1);
    Bytes same = read_file(folder.file("from32.bmp"));
    expect_header_fields(same, 3, 2, 32);
    for (int stored = 0; stored < 2; ++stored) {
      int source = flags == ROWS_BOTTOM_UP ? stored : 1 - stored;
      EXPECT_TRUE(std::equal(rgba.pixel(0, source), rgba.pixel(0, source) + 12, same.begin() + 54 + 12 * stored))
          << "alpha bytes included, flags " << flags;
    }
  }
}

TEST(BmpWriter, TranslucentPixelsAreLaidOverWhiteForTwentyFourBits) {
  ScratchFolder folder;
  Picture picture(4, 1, 32);
  const std::uint8_t pixels[4][4] = {{10, 20, 30, 0}, {10, 20, 30, 255}, {0, 0, 0, 128}, {200, 100, 50, 64}};
  for (int x = 0; x < 4; ++x) std::copy(pixels[x], pixels[x] + 4, picture.pixel(x, 0));
  ASSERT_EQ(write_bmp(folder.file("flat.bmp"), picture, 24), 1);
  Bytes file = read_file(folder.file("flat.bmp"));
  expect_header_fields(file, 4, 1, 24);
  const std::uint8_t expected[4][3] = {
      {255, 255, 255},  // transparent: the white behind
      {10, 20, 30},     // opaque: its own colour
      {127, 127, 127},  // (128 * -255 + 65025) / 255
      // 64 of 255 of the colour, the rest white: (64 * (C - 255) + 65025) / 255
      {(64 * (200 - 255) + 65025) / 255, (64 * (100 - 255) + 65025) / 255, (64 * (50 - 255) + 65025) / 255}};
  for (int x = 0; x < 4; ++x) {
    for (int c = 0; c < 3; ++c) EXPECT_EQ(file[54 + 3 * x + c], expected[x][c]) << x << "/" << c;
  }
}

TEST(BmpWriter, EightBitsHaveAPaletteAndOneBytePerPixel) {
  ScratchFolder folder;
  Picture picture(7, 3, 24);
  const std::uint8_t colours[3][3] = {{0, 0, 0}, {40, 220, 90}, {250, 30, 160}};
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 7; ++x) std::copy(colours[(x + y) % 3], colours[(x + y) % 3] + 3, picture.pixel(x, y));
  }
  ASSERT_EQ(write_bmp(folder.file("indexed.bmp"), picture, 8), 1);
  Bytes file = read_file(folder.file("indexed.bmp"));
  expect_header_fields(file, 7, 3, 8);
  EXPECT_EQ(read_le32(file, 10), 1078u);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 7; ++x) {
      int index = file[1078 + 8 * y + x];
      const std::uint8_t* entry = &file[54 + 4 * index];
      const std::uint8_t* want = colours[(x + y) % 3];
      for (int c = 0; c < 3; ++c) EXPECT_NEAR(entry[c], want[c], 12) << x << "," << y;
      EXPECT_EQ(entry[3], 0);
    }
  }
}

TEST(BmpWriter, OneAndFourBitRowsArePackedHighBitsFirst) {
  ScratchFolder folder;
  // Row 0 (bottom): white, black, black, white, ... ; row 1 all black.
  Picture picture(11, 2, 24);
  for (int x = 0; x < 11; ++x) {
    std::uint8_t level = x % 3 == 0 ? 255 : 0;
    std::fill(picture.pixel(x, 0), picture.pixel(x, 0) + 3, level);
  }
  ASSERT_EQ(write_bmp(folder.file("mono.bmp"), picture, 1), 1);
  Bytes mono = read_file(folder.file("mono.bmp"));
  expect_header_fields(mono, 11, 2, 1);
  EXPECT_EQ(read_le32(mono, 10), 62u);
  const std::uint8_t black_and_white[8] = {0, 0, 0, 0, 255, 255, 255, 0};
  EXPECT_TRUE(std::equal(black_and_white, black_and_white + 8, mono.begin() + 54));
  EXPECT_EQ(mono[62], 0x92);  // 1001 0010
  EXPECT_EQ(mono[63] & 0xE0, 0x40);  // 010
  EXPECT_EQ(mono[66], 0);  // second row

  ASSERT_EQ(write_bmp(folder.file("sixteen.bmp"), picture, 4), 1);
  Bytes sixteen = read_file(folder.file("sixteen.bmp"));
  expect_header_fields(sixteen, 11, 2, 4);
  EXPECT_EQ(read_le32(sixteen, 10), 118u);
  auto colour_of = [&](int x, int y) {
    int byte = sixteen[118 + 8 * y + x / 2];
    int index = x % 2 == 0 ? byte >> 4 : byte & 15;
    return sixteen[54 + 4 * index];  // blue of the entry; grey levels here
  };
  for (int x = 0; x < 11; ++x) {
    EXPECT_NEAR(colour_of(x, 0), x % 3 == 0 ? 255 : 0, 12) << x;
    EXPECT_NEAR(colour_of(x, 1), 0, 12) << x;
  }
}

TEST(BmpWriter, RefusesBadArgumentsWithoutCreatingAFile) {
  ScratchFolder folder;
  Picture picture(4, 4, 24);
  for (int depth : {0, 2, 3, 15, 16, 31, 48, -1}) {
    EXPECT_EQ(write_bmp(folder.file("no.bmp"), picture, depth), 0) << depth;
  }
  std::u16string name = to_utf16(folder.file("no.bmp"));
  EXPECT_EQ(bmp_write_file(name.c_str(), nullptr, 12, 4, 4, 24, ROWS_BOTTOM_UP, 7, 24), 0);
  EXPECT_EQ(bmp_write_file(name.c_str(), picture.bytes.data(), 12, 0, 4, 24, ROWS_BOTTOM_UP, 7, 24), 0);
  EXPECT_EQ(bmp_write_file(name.c_str(), picture.bytes.data(), 12, 4, -4, 24, ROWS_BOTTOM_UP, 7, 24), 0);
  EXPECT_EQ(bmp_write_file(name.c_str(), picture.bytes.data(), 12, 4, 4, 16, ROWS_BOTTOM_UP, 7, 24), 0);
  EXPECT_EQ(bmp_write_file(name.c_str(), picture.bytes.data(), 11, 4, 4, 24, ROWS_BOTTOM_UP, 7, 24), 0);
  EXPECT_EQ(bmp_write_file(u"", picture.bytes.data(), 12, 4, 4, 24, ROWS_BOTTOM_UP, 7, 24), 0);
  EXPECT_EQ(bmp_write_file(nullptr, picture.bytes.data(), 12, 4, 4, 24, ROWS_BOTTOM_UP, 7, 24), 0);
  EXPECT_TRUE(folder.entries().empty());
}

}  // namespace
