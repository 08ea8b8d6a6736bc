// Saving images: the format dispatcher, image_save over real images, and
// saves that fail without destroying anything.
#include "runtime/graphics/image_save.h"

#include <gtest/gtest.h>
#include <png.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/gdi32.h"
#include "runtime/graphics/image.h"
#include "runtime/graphics/png_encoder.h"
#include "support/image_readers.h"
#include "support/main_heap_fixture.h"

namespace {

class ImageSaveTest : public MainHeapTest {
 protected:
  void SetUp() override {
    MainHeapTest::SetUp();
    ASSERT_TRUE(image_library_init());
    png_encoder_register();
  }
  void TearDown() override {
    image_free_all();
    MainHeapTest::TearDown();
  }
  int save(ObjectId number, const std::string& path, std::uint32_t format, int options = SAVE_OPTIONS_DEFAULT,
           int depth = DEPTH_OF_IMAGE) {
    std::u16string name = to_utf16(path);
    return image_save(number, name.c_str(), format, options, depth);
  }
  ScratchFolder folder;
};

// The pixel memory of an image, as a writer is handed it.
struct ImageMemory {
  BYTE* bits = nullptr;
  int row_size = 0;
};

ImageMemory memory_of(ObjectId number) {
  DIBSECTION section{};
  ImageObject* image = image_lookup(number);
  if (image == nullptr || GetObjectW(image->bitmap, sizeof section, &section) != static_cast<int>(sizeof section)) {
    return {};
  }
  return {static_cast<BYTE*>(section.dsBm.bmBits), section.dsBm.bmWidthBytes};
}

// Fills the pixels (not the padding) with bytes a simple generator gives:
// every row differs and nothing compresses well.
void scribble(ObjectId number, int width, int height, int bytes_per_pixel) {
  ImageMemory memory = memory_of(number);
  std::uint32_t state = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width * bytes_per_pixel; ++x) {
      state = state * 1103515245u + 12345u;
      memory.bits[y * memory.row_size + x] = static_cast<BYTE>(state >> 16);
    }
  }
}

TEST_F(ImageSaveTest, CanvasSizedImageAsBmpIsItsMemoryInOnePiece) {
  ASSERT_NE(image_create(0, 600, 600), 0);
  scribble(0, 600, 600, 3);
  ASSERT_EQ(save(0, folder.file("picture.bmp"), FORMAT_BMP), 1);
  Bytes file = read_file(folder.file("picture.bmp"));
  ASSERT_EQ(file.size(), 1080054u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(read_le16(file, 28), 24);
  ImageMemory memory = memory_of(0);
  EXPECT_TRUE(std::equal(memory.bits, memory.bits + 1080000, file.begin() + 54));
}

TEST_F(ImageSaveTest, CanvasSizedImageAsPngReadsBackTopLineFirst) {
  ASSERT_NE(image_create(0, 600, 600), 0);
  scribble(0, 600, 600, 3);
  ASSERT_EQ(save(0, folder.file("picture.png"), FORMAT_PNG), 1);
  DecodedPng png = decode_png(folder.file("picture.png"));
  ASSERT_TRUE(png.ok);
  EXPECT_EQ(png.colour_type, PNG_COLOR_TYPE_RGB);
  EXPECT_EQ(png.bit_depth, 8);
  ImageMemory memory = memory_of(0);
  for (int line : {0, 1, 300, 599}) {
    const BYTE* row = memory.bits + (599 - line) * memory.row_size;
    for (int x = 0; x < 600; ++x) {
      ASSERT_EQ(png.rows[line][3 * x], row[3 * x + 2]) << line << "," << x;
      ASSERT_EQ(png.rows[line][3 * x + 1], row[3 * x + 1]);
      ASSERT_EQ(png.rows[line][3 * x + 2], row[3 * x]);
    }
  }
}

TEST_F(ImageSaveTest, ThirtyTwoBitImagesKeepAlphaAtTheirDepthAndFlattenBelowIt) {
  ASSERT_NE(image_create(1, 3, 1, 32, 0x000000), 0);
  ImageMemory memory = memory_of(1);
  const BYTE pixels[3][4] = {{10, 20, 30, 0}, {10, 20, 30, 255}, {0, 0, 0, 128}};
  for (int x = 0; x < 3; ++x) std::copy(pixels[x], pixels[x] + 4, memory.bits + 4 * x);
  const BYTE over_white[3][3] = {{255, 255, 255}, {10, 20, 30}, {127, 127, 127}};

  ASSERT_EQ(save(1, folder.file("rgba.png"), FORMAT_PNG), 1);
  DecodedPng rgba = decode_png(folder.file("rgba.png"));
  ASSERT_TRUE(rgba.ok);
  EXPECT_EQ(rgba.colour_type, PNG_COLOR_TYPE_RGB_ALPHA);
  for (int x = 0; x < 3; ++x) {
    const BYTE want[4] = {pixels[x][2], pixels[x][1], pixels[x][0], pixels[x][3]};
    EXPECT_TRUE(std::equal(want, want + 4, rgba.rows[0].begin() + 4 * x)) << x;
  }

  ASSERT_EQ(save(1, folder.file("flat.png"), FORMAT_PNG, SAVE_OPTIONS_DEFAULT, 24), 1);
  DecodedPng flat = decode_png(folder.file("flat.png"));
  ASSERT_TRUE(flat.ok);
  EXPECT_EQ(flat.colour_type, PNG_COLOR_TYPE_RGB);
  for (int x = 0; x < 3; ++x) {
    const BYTE want[3] = {over_white[x][2], over_white[x][1], over_white[x][0]};
    EXPECT_TRUE(std::equal(want, want + 3, flat.rows[0].begin() + 3 * x)) << x;
  }

  ASSERT_EQ(save(1, folder.file("own.bmp"), FORMAT_BMP), 1);
  Bytes own = read_file(folder.file("own.bmp"));
  EXPECT_EQ(read_le16(own, 28), 32);
  EXPECT_TRUE(std::equal(memory.bits, memory.bits + 12, own.begin() + 54));

  ASSERT_EQ(save(1, folder.file("flat.bmp"), FORMAT_BMP, SAVE_OPTIONS_DEFAULT, 24), 1);
  Bytes flat_bmp = read_file(folder.file("flat.bmp"));
  EXPECT_EQ(read_le16(flat_bmp, 28), 24);
  for (int x = 0; x < 3; ++x) EXPECT_TRUE(std::equal(over_white[x], over_white[x] + 3, flat_bmp.begin() + 54 + 3 * x));
}

TEST_F(ImageSaveTest, EightBitBmpHasTheFullPaletteBeforeItsRows) {
  ASSERT_NE(image_create(0, 10, 4, 24, 0x3366CC), 0);
  ASSERT_EQ(save(0, folder.file("indexed.bmp"), FORMAT_BMP, SAVE_OPTIONS_DEFAULT, 8), 1);
  Bytes file = read_file(folder.file("indexed.bmp"));
  EXPECT_EQ(read_le32(file, 10), 1078u);
  ASSERT_EQ(file.size(), 1078u + 12 * 4);
  // Every pixel is 0x3366CC (red 0xCC in the low byte): B, G, R = 0x33, 0x66, 0xCC.
  for (int i = 0; i < 10; ++i) {
    const BYTE* entry = &file[54 + 4 * file[1078 + i]];
    EXPECT_NEAR(entry[0], 0x33, 12);
    EXPECT_NEAR(entry[1], 0x66, 12);
    EXPECT_NEAR(entry[2], 0xCC, 12);
  }
}

TEST_F(ImageSaveTest, RefusedSavesCreateNoFile) {
  ASSERT_NE(image_create(0, 8, 8), 0);
  EXPECT_EQ(save(7, folder.file("none.bmp"), FORMAT_BMP), 0);            // no such image
  EXPECT_EQ(save(0, folder.file("none.bmp"), 0), 0);                     // no default format
  EXPECT_EQ(save(0, folder.file("none.bmp"), 0x414141), 0);              // nobody answers to "AAA"
  EXPECT_EQ(save(0, folder.file("none.bmp"), FORMAT_BMP, 7, 16), 0);     // a depth BMP has not
  EXPECT_EQ(save(0, folder.file("none.png"), FORMAT_PNG, 7, 3), 0);      // nor PNG
  EXPECT_EQ(image_save(0, u"", FORMAT_BMP), 0);
  EXPECT_EQ(image_save(0, nullptr, FORMAT_BMP), 0);
  image_free(0);
  EXPECT_EQ(save(0, folder.file("none.bmp"), FORMAT_BMP), 0);            // freed
  EXPECT_TRUE(folder.entries().empty());
}

TEST_F(ImageSaveTest, AnImageWithoutPixelMemoryIsNotSaved) {
  // A device-dependent bitmap or an icon under the number: no DIB section.
  HBITMAP plain = CreateBitmap(4, 4, 1, 1, nullptr);
  ASSERT_NE(plain, nullptr);
  ASSERT_NE(image_create(0, 4, 4), 0);
  DeleteObject(image_lookup(0)->bitmap);
  image_lookup(0)->bitmap = plain;
  EXPECT_EQ(save(0, folder.file("plain.bmp"), FORMAT_BMP), 0);
  EXPECT_EQ(save(0, folder.file("plain.png"), FORMAT_PNG), 0);
  EXPECT_TRUE(folder.entries().empty());
}

// --- The dispatcher, seen from an encoder --------------------------------------

struct EncoderCall {
  int calls = 0;
  bool rgba = false;
  int width = 0, height = 0, row_size = 0, flags = 0, options = 0, depth = 0;
  Bytes rows;
};

EncoderCall last_call;

std::intptr_t record_call(bool rgba, const void* pixels, int width, int height, int row_size, int flags, int options,
                          int depth) {
  last_call.calls++;
  last_call.rgba = rgba;
  last_call.width = width;
  last_call.height = height;
  last_call.row_size = row_size;
  last_call.flags = flags;
  last_call.options = options;
  last_call.depth = depth;
  const BYTE* bytes = static_cast<const BYTE*>(pixels);
  last_call.rows.assign(bytes, bytes + row_size * height);
  return 1;
}

std::intptr_t probe_rgb(LPCWSTR, const void* p, int w, int h, int s, int f, int o, int d) {
  return record_call(false, p, w, h, s, f, o, d);
}
std::intptr_t probe_rgba(LPCWSTR, const void* p, int w, int h, int s, int f, int o, int d) {
  return record_call(true, p, w, h, s, f, o, d);
}

constexpr std::uint32_t FORMAT_PROBE = 0x425250;       // "PRB"
constexpr std::uint32_t FORMAT_PROBE_RGB = 0x475250;   // "PRG"
const ImageEncoder PROBE = {FORMAT_PROBE, probe_rgb, probe_rgba};
const ImageEncoder PROBE_RGB_ONLY = {FORMAT_PROBE_RGB, probe_rgb, nullptr};

void register_probes() {
  static bool done = image_encoder_register(&PROBE) && image_encoder_register(&PROBE_RGB_ONLY);
  ASSERT_TRUE(done);
}

TEST(ImageEncodeFile, ThirtyTwoBitSourcesGoToTheRgbaEntryOrAreFlattenedOverWhite) {
  register_probes();
  // 5 pixels wide, 2 rows: 32-bit rows of 20 bytes; flattened rows of 16.
  Bytes pixels(40);
  for (int i = 0; i < 10; ++i) {
    BYTE alpha = i % 2 == 0 ? 255 : 0;
    pixels[4 * i] = static_cast<BYTE>(i * 20);
    pixels[4 * i + 1] = 100;
    pixels[4 * i + 2] = 7;
    pixels[4 * i + 3] = alpha;
  }
  for (int depth : {32, DEPTH_OF_IMAGE}) {
    last_call = {};
    EXPECT_EQ(image_encode_file(u"x", pixels.data(), FORMAT_PROBE, 5, 2, 20, 32, ROWS_BOTTOM_UP, 0x1234, depth), 1);
    EXPECT_TRUE(last_call.rgba);
    EXPECT_EQ(last_call.row_size, 20);
    EXPECT_EQ(last_call.rows, pixels);
    EXPECT_EQ(last_call.options, 0x1234);
    EXPECT_EQ(last_call.depth, depth);
  }
  for (std::uint32_t format : {FORMAT_PROBE, FORMAT_PROBE_RGB}) {
    int depth = format == FORMAT_PROBE ? 24 : DEPTH_OF_IMAGE;
    last_call = {};
    EXPECT_EQ(image_encode_file(u"x", pixels.data(), format, 5, 2, 20, 32, ROWS_BOTTOM_UP, 7, depth), 1);
    EXPECT_EQ(last_call.calls, 1);
    EXPECT_FALSE(last_call.rgba);
    EXPECT_EQ(last_call.row_size, 16);
    EXPECT_EQ(last_call.flags, ROWS_BOTTOM_UP);
    EXPECT_EQ(last_call.depth, depth);
    ASSERT_EQ(last_call.rows.size(), 32u);
    for (int row = 0; row < 2; ++row) {
      for (int x = 0; x < 5; ++x) {
        int i = row * 5 + x;
        const BYTE* got = &last_call.rows[row * 16 + 3 * x];
        if (i % 2 == 0) {
          EXPECT_EQ(got[0], i * 20);
          EXPECT_EQ(got[1], 100);
          EXPECT_EQ(got[2], 7);
        } else {
          EXPECT_EQ(got[0] & got[1] & got[2], 255) << "transparent pixels become white";
        }
      }
    }
  }
  // 24-bit sources go to the RGB entry as they are.
  Bytes rgb(32, 9);
  last_call = {};
  EXPECT_EQ(image_encode_file(u"x", rgb.data(), FORMAT_PROBE, 5, 2, 16, 24, 0, 7, 8), 1);
  EXPECT_FALSE(last_call.rgba);
  EXPECT_EQ(last_call.rows, rgb);
  EXPECT_EQ(last_call.flags, 0);
  // Other source depths and nameless saves reach no encoder.
  last_call = {};
  EXPECT_EQ(image_encode_file(u"x", rgb.data(), FORMAT_PROBE, 5, 2, 16, 16, 0, 7, 8), 0);
  EXPECT_EQ(image_encode_file(nullptr, rgb.data(), FORMAT_PROBE, 5, 2, 16, 24, 0, 7, 8), 0);
  EXPECT_EQ(image_encode_file(u"", rgb.data(), FORMAT_PROBE, 5, 2, 16, 24, 0, 7, 8), 0);
  EXPECT_EQ(last_call.calls, 0);
}

// A process of its own, so that no PNG registration has happened yet.
TEST(EncoderTableDeathTest, PngSavesWorkOnlyOnceTheEncoderRegistered) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto scenario = [] {
    bool refused = false, written = false;
    {  // the child's folder goes before it exits
      ScratchFolder folder;
      const std::u16string name = to_utf16(folder.file("late.png"));
      Bytes pixels(16 * 2, 0);
      refused = image_encode_file(name.c_str(), pixels.data(), FORMAT_PNG, 5, 2, 16, 24, 2, 7, -1) == 0;
      png_encoder_register();
      png_encoder_register();  // a second call adds nothing
      written = image_encode_file(name.c_str(), pixels.data(), FORMAT_PNG, 5, 2, 16, 24, 2, 7, -1) == 1;
    }
    // One PNG record in a table of 30: 29 more fit, the 30th does not.
    static const ImageEncoder filler = {0x585858, nullptr, nullptr};
    int accepted = 0;
    while (accepted < 40 && image_encoder_register(&filler)) ++accepted;
    std::exit(refused && written && accepted == 29 ? 0 : 1);
  };
  EXPECT_EXIT(scenario(), ::testing::ExitedWithCode(0), "");
}

// --- Failed saves destroy nothing -------------------------------------------

// Runs a save in a child process whose files may not grow past `limit` bytes,
// as on a full disk; returns the save's result.
int save_under_size_limit(rlim_t limit, const std::function<int()>& save) {
  pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
    rlimit size_limit{limit, limit};
    setrlimit(RLIMIT_FSIZE, &size_limit);
    _exit(save());
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Bytes old_contents() {
  Bytes bytes(3000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<BYTE>(i * 31);
  return bytes;
}

TEST_F(ImageSaveTest, WriteThatFailsLeavesTheOlderFileAndNoTemporaryFile) {
  ASSERT_NE(image_create(0, 600, 600), 0);
  scribble(0, 600, 600, 3);
  for (std::uint32_t format : {FORMAT_BMP, FORMAT_PNG}) {
    for (int depth : {DEPTH_OF_IMAGE, 8}) {
      std::string name = format == FORMAT_BMP ? "old.bmp" : "old.png";
      write_file(folder.file(name), old_contents());
      int result = save_under_size_limit(65536, [&] { return save(0, folder.file(name), format, 7, depth); });
      EXPECT_EQ(result, 0) << name << " at depth " << depth;
      EXPECT_EQ(read_file(folder.file(name)), old_contents()) << name;
      EXPECT_EQ(folder.entries(), std::vector<std::string>{name}) << "no temporary file left";
      std::remove(folder.file(name).c_str());
    }
  }
}

TEST_F(ImageSaveTest, TheSameSaveWithoutALimitReplacesTheOlderFile) {
  ASSERT_NE(image_create(0, 600, 600), 0);
  scribble(0, 600, 600, 3);
  write_file(folder.file("old.bmp"), old_contents());
  EXPECT_EQ(save_under_size_limit(RLIM_INFINITY, [&] { return save(0, folder.file("old.bmp"), FORMAT_BMP); }), 1);
  EXPECT_EQ(read_file(folder.file("old.bmp")).size(), 1080054u);
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"old.bmp"});
}

TEST_F(ImageSaveTest, SaveIntoAMissingFolderOrOverAFolderCreatesNothing) {
  ASSERT_NE(image_create(0, 16, 16), 0);
  for (std::uint32_t format : {FORMAT_BMP, FORMAT_PNG}) {
    EXPECT_EQ(save(0, folder.file("missing/picture"), format), 0);
    EXPECT_TRUE(folder.entries().empty());
    ASSERT_EQ(mkdir(folder.file("taken").c_str(), 0755), 0);
    EXPECT_EQ(save(0, folder.file("taken"), format), 0);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"taken"});
    rmdir(folder.file("taken").c_str());
  }
}

}  // namespace
