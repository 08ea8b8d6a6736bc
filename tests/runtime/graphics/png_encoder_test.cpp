// The PNG encoder, read back with libpng's read side and zlib.
#include <gtest/gtest.h>

#include <png.h>

#include <cstdint>
#include <string>

#include "platform/win32/kernel32.h"
#include "runtime/core/heaps.h"
#include "runtime/core/memory.h"
#include "runtime/graphics/encoder_table.h"
#include "runtime/graphics/png_encoder.h"
#include "runtime/graphics/png_output.h"
#include "support/image_readers.h"
#include "support/picture_bytes.h"

namespace {

// Every pixel different, and a picture that compresses in a way that depends
// on the effort spent.
void fill_pattern(Picture* picture) {
  for (int y = 0; y < picture->height; ++y) {
    for (int x = 0; x < picture->width; ++x) {
      std::uint8_t* p = picture->pixel(x, y);
      p[0] = static_cast<std::uint8_t>(x * 3 + y);      // blue
      p[1] = static_cast<std::uint8_t>((x ^ y) * 5);    // green
      p[2] = static_cast<std::uint8_t>(y * 7 + x / 3);  // red
      if (picture->depth == 32) p[3] = static_cast<std::uint8_t>(x * 11 + y * 17);
    }
  }
}

std::intptr_t encode(const std::string& path, const Picture& picture, int depth, int flags = ROWS_BOTTOM_UP,
                     int options = SAVE_OPTIONS_DEFAULT) {
  std::u16string name = to_utf16(path);
  auto entry = picture.depth == 32 ? png_encode_rgba : png_encode_rgb;
  return entry(name.c_str(), picture.bytes.data(), picture.width, picture.height, picture.row_size, flags, options,
               depth);
}

TEST(PngEncoder, TrueColourRowsComeOutTopLineFirstInRgbOrder) {
  ScratchFolder folder;
  Picture picture(37, 23, 24);
  fill_pattern(&picture);
  for (int flags : {ROWS_BOTTOM_UP, 0}) {
    ASSERT_EQ(encode(folder.file("rgb.png"), picture, DEPTH_OF_IMAGE, flags), 1);
    DecodedPng png = decode_png(folder.file("rgb.png"));
    ASSERT_TRUE(png.ok);
    EXPECT_EQ(png.width, 37u);
    EXPECT_EQ(png.height, 23u);
    EXPECT_EQ(png.bit_depth, 8);
    EXPECT_EQ(png.colour_type, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(png.interlace, PNG_INTERLACE_NONE);
    for (int line = 0; line < 23; ++line) {
      int memory_row = flags == ROWS_BOTTOM_UP ? 22 - line : line;
      for (int x = 0; x < 37; ++x) {
        const std::uint8_t* source = picture.pixel(x, memory_row);
        const std::uint8_t* read = &png.rows[line][3 * x];
        ASSERT_EQ(read[0], source[2]) << "red, line " << line << " x " << x;
        ASSERT_EQ(read[1], source[1]);
        ASSERT_EQ(read[2], source[0]);
      }
    }
  }
}

TEST(PngEncoder, ThirtyTwoBitSourcesKeepTheirAlpha) {
  ScratchFolder folder;
  Picture picture(9, 5, 32);
  fill_pattern(&picture);
  for (int depth : {32, DEPTH_OF_IMAGE}) {
    ASSERT_EQ(encode(folder.file("rgba.png"), picture, depth), 1);
    DecodedPng png = decode_png(folder.file("rgba.png"));
    ASSERT_TRUE(png.ok);
    EXPECT_EQ(png.colour_type, PNG_COLOR_TYPE_RGB_ALPHA);
    EXPECT_EQ(png.bit_depth, 8);
    for (int line = 0; line < 5; ++line) {
      for (int x = 0; x < 9; ++x) {
        const std::uint8_t* source = picture.pixel(x, 4 - line);
        const std::uint8_t* read = &png.rows[line][4 * x];
        EXPECT_EQ(read[0], source[2]);
        EXPECT_EQ(read[1], source[1]);
        EXPECT_EQ(read[2], source[0]);
        EXPECT_EQ(read[3], source[3]) << "alpha as stored";
      }
    }
  }
}

TEST(PngEncoder, RowsAreUnfilteredAndDeflatedAtLevelNineWithA32KiBWindow) {
  ScratchFolder folder;
  Picture picture(600, 600, 24);
  fill_pattern(&picture);
  ASSERT_EQ(encode(folder.file("canvas.png"), picture, DEPTH_OF_IMAGE), 1);
  PngImageData data = png_image_data(read_file(folder.file("canvas.png")));
  ASSERT_TRUE(data.ok);
  const std::size_t row_bytes = 1 + 600 * 3;
  ASSERT_EQ(data.inflated.size(), row_bytes * 600);
  for (int row = 0; row < 600; ++row) ASSERT_EQ(data.inflated[row * row_bytes], 0) << "filter byte of row " << row;
  // The stream header (RFC 1950): CMF is deflate (method 8) with CINFO 7, a
  // window of 2^(7 + 8) = 32 KiB; FLG's check bits make CMF * 256 + FLG a
  // multiple of 31 and its level field says "maximum compression".
  const int cmf = data.zlib_stream[0], flg = data.zlib_stream[1];
  EXPECT_EQ(cmf & 0x0F, 8);
  EXPECT_EQ(cmf >> 4, 7) << "window of 2^" << (cmf >> 4) + 8 << " bytes";
  EXPECT_EQ((cmf * 256 + flg) % 31, 0);
  EXPECT_EQ(flg >> 6, 3);
  // Recompressing the same rows at level 9 gives the very same stream, at
  // level 6 it does not.
  EXPECT_EQ(deflate_like(data, 9), data.zlib_stream);
  EXPECT_NE(deflate_like(data, 6), data.zlib_stream);
}

// Stripes of `count` colours over a picture of the given size.
Picture striped_picture(int width, int height, const std::uint8_t (*colours)[3], int count) {
  Picture picture(width, height, 24);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* colour = colours[(x / 2 + y) % count];
      std::copy(colour, colour + 3, picture.pixel(x, y));
    }
  }
  return picture;
}

TEST(PngEncoder, PaletteImagesAtEveryDepthLibpngAccepts) {
  ScratchFolder folder;
  const std::uint8_t colours[4][3] = {{0, 0, 0}, {255, 255, 255}, {30, 200, 90}, {200, 40, 170}};  // B, G, R
  for (int depth : {1, 2, 4, 8}) {
    // Two bits hold four colours, but a network of four neurons learns only
    // a few of them well from a small picture: give it three and more pixels.
    int count = depth == 2 ? 3 : 4;
    int width = depth == 2 ? 64 : 21, height = depth == 2 ? 64 : 9;
    Picture picture = striped_picture(width, height, colours, count);
    ASSERT_EQ(encode(folder.file("indexed.png"), picture, depth), 1) << depth;
    DecodedPng png = decode_png(folder.file("indexed.png"));
    ASSERT_TRUE(png.ok);
    EXPECT_EQ(png.colour_type, PNG_COLOR_TYPE_PALETTE);
    EXPECT_EQ(png.bit_depth, depth);
    ASSERT_EQ(png.palette.size(), 1u << depth);
    for (int line = 0; line < height; ++line) {
      for (int x = 0; x < width; ++x) {
        int index = packed_sample(png.rows[line], x, depth);
        const std::uint8_t* want = colours[(x / 2 + (height - 1 - line)) % count];
        const PngColour& got = png.palette[index];
        if (depth == 1) {
          // Black and white by luminance: only white and green are light.
          int light = want[0] == 255 || want[1] == 200 ? 255 : 0;
          ASSERT_EQ(got.red, light);
          ASSERT_EQ(got.green, light);
          ASSERT_EQ(got.blue, light);
        } else {
          ASSERT_NEAR(got.red, want[2], 12) << depth << " " << x << "," << line;
          ASSERT_NEAR(got.green, want[1], 12);
          ASSERT_NEAR(got.blue, want[0], 12);
        }
      }
    }
  }
}

TEST(PngEncoder, DepthsLibpngRefusesFailWithoutAFile) {
  ScratchFolder folder;
  Picture picture(8, 8, 24);
  for (int depth : {3, 5, 6, 7}) EXPECT_EQ(encode(folder.file("odd.png"), picture, depth), 0) << depth;
  EXPECT_EQ(encode(folder.file("missing/odd.png"), picture, 24), 0);
  std::u16string name = to_utf16(folder.file("bad.png"));
  EXPECT_EQ(png_encode_rgb(name.c_str(), nullptr, 8, 8, 24, ROWS_BOTTOM_UP, 7, 24), 0);
  EXPECT_EQ(png_encode_rgb(name.c_str(), picture.bytes.data(), 8, 8, 23, ROWS_BOTTOM_UP, 7, 24), 0);
  EXPECT_EQ(png_encode_rgb(name.c_str(), picture.bytes.data(), 0, 8, 24, ROWS_BOTTOM_UP, 7, 24), 0);
  EXPECT_TRUE(folder.entries().empty());
}

// The memory target needs the memory heap of the runtime's start-up.
class PngMemoryTarget : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(main_heap_create());
    ASSERT_TRUE(memory_library_init());
  }
  void TearDown() override {
    memory_library_end();
    main_heap_destroy();
  }
};

TEST_F(PngMemoryTarget, WithoutAFileNameTheBlockHoldsExactlyTheFileBytes) {
  ScratchFolder folder;
  Picture picture(31, 17, 32);
  fill_pattern(&picture);
  for (int depth : {DEPTH_OF_IMAGE, 4}) {
    ASSERT_EQ(encode(folder.file("same.png"), picture, depth), 1);
    Bytes file = read_file(folder.file("same.png"));
    std::intptr_t block = png_encode_rgba(nullptr, picture.bytes.data(), 31, 17, picture.row_size, ROWS_BOTTOM_UP,
                                          SAVE_OPTIONS_DEFAULT, depth);
    ASSERT_NE(block, 0);
    auto* bytes = reinterpret_cast<const std::uint8_t*>(block);
    ASSERT_EQ(HeapSize(memory_heap(), 0, bytes), file.size());
    EXPECT_TRUE(std::equal(file.begin(), file.end(), bytes));
    memory_free(reinterpret_cast<void*>(block));
  }
  EXPECT_EQ(png_encode_rgb(u"", picture.bytes.data(), 31, 17, picture.row_size, ROWS_BOTTOM_UP, 7, 3), 0);
}

TEST_F(PngMemoryTarget, TheBlockGrowsInsteadOfOverflowing) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  ASSERT_NE(png, nullptr);
  MemoryTarget target{static_cast<BYTE*>(memory_alloc(10, MEMORY_NO_CLEAR)), 0, 10};
  ASSERT_NE(target.block, nullptr);
  png_set_write_fn(png, &target, png_memory_write, nullptr);
  Bytes expected;
  for (int piece = 0; piece < 6; ++piece) {
    Bytes data(7 + piece * 5);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(piece * 40 + i);
    png_memory_write(png, data.data(), data.size());
    expected.insert(expected.end(), data.begin(), data.end());
  }
  ASSERT_EQ(target.length, static_cast<std::int32_t>(expected.size()));
  EXPECT_GE(target.capacity, target.length);
  EXPECT_GE(HeapSize(memory_heap(), 0, target.block), expected.size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), target.block));
  memory_free(target.block);
  png_destroy_write_struct(&png, nullptr);
}

}  // namespace
