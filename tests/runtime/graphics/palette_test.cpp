// Colour reduction: the black-and-white rule, the NeuQuant palette with its
// gamma and starting ramp, packing and error diffusion.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "support/image_readers.h"
#include "runtime/graphics/encoder_table.h"
#include "runtime/graphics/neuquant.h"
#include "runtime/graphics/palette.h"

namespace {

struct Bgra {
  std::uint8_t b, g, r, a;
};

// A 24-bit bottom-up picture with rows padded to 4 bytes.
struct Picture24 {
  int width, height, row_size;
  Bytes bytes;
  Picture24(int w, int h) : width(w), height(h), row_size((3 * w + 3) / 4 * 4), bytes(row_size * h, 0xEE) {}
  void set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::uint8_t* p = &bytes[y * row_size + 3 * x];
    p[0] = b;
    p[1] = g;
    p[2] = r;
  }
};

struct Built {
  PaletteImage image{};
  bool ok = false;
  ~Built() { palette_free(&image); }
};

void build(Built* out, const Picture24& picture, int depth, int options = 0) {
  out->ok = palette_build(&out->image, picture.bytes.data(), picture.width, picture.height, 24, picture.row_size,
                          depth, options);
}

int index_at(const PaletteImage& image, int x, int y) {
  return packed_sample(palette_index_row(image, y), x, image.depth);
}

int exact_gamma(int v, double exponent) { return static_cast<int>(std::floor(std::pow(v / 255.0, exponent) * 255.0 + 0.5)); }

TEST(Palette, BlackAndWhiteFollowsTheLuminanceThreshold) {
  // 0.7152 * 224 = 160.2 is above 160, 0.7152 * 223 = 159.5 is not; pure red
  // and blue stay far below; the threshold ignores nothing but alpha.
  Picture24 picture(9, 1);
  picture.set(0, 0, 0, 224, 0);
  picture.set(1, 0, 0, 223, 0);
  picture.set(2, 0, 255, 0, 0);
  picture.set(3, 0, 0, 0, 255);
  picture.set(4, 0, 255, 255, 255);
  picture.set(5, 0, 0, 0, 0);
  picture.set(6, 0, 161, 161, 161);
  picture.set(7, 0, 159, 159, 159);
  picture.set(8, 0, 255, 130, 0);  // 54.2 + 93.0 = 147.2
  Built built;
  build(&built, picture, 1);
  ASSERT_TRUE(built.ok);
  EXPECT_EQ(built.image.colour_count, 2);
  const int expected[] = {1, 0, 0, 0, 1, 0, 1, 0, 0};
  for (int x = 0; x < 9; ++x) EXPECT_EQ(index_at(built.image, x, 0), expected[x]) << "pixel " << x;
  EXPECT_EQ(built.image.colours[0][0] + built.image.colours[0][1] + built.image.colours[0][2], 0);
  EXPECT_EQ(built.image.colours[1][0] & built.image.colours[1][1] & built.image.colours[1][2], 255);
}

TEST(Palette, IndexRowsArePackedHighBitsFirstInMemoryRowOrder) {
  // Row 0 white-black-white..., row 1 all black: 1-bit rows read 0xAA.. / 0x00.
  Picture24 picture(10, 2);
  for (int x = 0; x < 10; ++x) {
    std::uint8_t level = x % 2 == 0 ? 255 : 0;
    picture.set(x, 0, level, level, level);
    picture.set(x, 1, 0, 0, 0);
  }
  Built built;
  build(&built, picture, 1);
  ASSERT_TRUE(built.ok);
  EXPECT_EQ(built.image.row_size, 4);
  const std::uint8_t* first = palette_index_row(built.image, 0);
  EXPECT_EQ(first[0], 0xAA);
  EXPECT_EQ(first[1] & 0xC0, 0x80);
  const std::uint8_t* second = palette_index_row(built.image, 1);
  EXPECT_EQ(second[0], 0x00);
  EXPECT_EQ(second[1] & 0xC0, 0x00);
}

TEST(Palette, GammaOfOnePointEightBothWays) {
  for (int v = 0; v < 256; ++v) {
    EXPECT_EQ(neuquant_gamma_encode(static_cast<BYTE>(v)), exact_gamma(v, 1 / 1.8)) << v;
    EXPECT_EQ(neuquant_gamma_decode(static_cast<BYTE>(v)), exact_gamma(v, 1.8)) << v;
  }
  // Mid grey is lifted: (128/255)^(1/1.8) * 255 = 174.5...
  EXPECT_EQ(neuquant_gamma_encode(128), 174);
  EXPECT_EQ(neuquant_gamma_encode(0), 0);
  EXPECT_EQ(neuquant_gamma_encode(255), 255);
}

TEST(Palette, NetworkStartsFromAGammaCorrectedGreyRamp) {
  for (int n : {4, 16, 256}) {
    BYTE entries[256][4];
    neuquant_start(n, entries);
    for (int j = 0; j < n; ++j) {
      int grey = exact_gamma(j * 256 / n, 1 / 1.8);
      EXPECT_EQ(entries[j][0], grey) << n << "/" << j;
      EXPECT_EQ(entries[j][1], grey) << n << "/" << j;
      EXPECT_EQ(entries[j][2], grey) << n << "/" << j;
      EXPECT_EQ(entries[j][3], j <= 15 ? 16 * j : 255) << n << "/" << j;
    }
  }
}

TEST(Palette, SampleFactorGrowsWithThePictureUpToTen) {
  EXPECT_EQ(neuquant_sample_factor(1, 1), 1);
  EXPECT_EQ(neuquant_sample_factor(512, 511), 1);   // 261632 pixels
  EXPECT_EQ(neuquant_sample_factor(512, 512), 2);   // 262144
  EXPECT_EQ(neuquant_sample_factor(600, 600), 2);
  EXPECT_EQ(neuquant_sample_factor(2048, 1152), 10);  // 9 * 262144
  EXPECT_EQ(neuquant_sample_factor(32767, 32767), 10);
}

// A picture of a few colours in blocks, as a fractal on black is.
Picture24 few_colour_picture(int width, int height, const std::vector<Bgra>& colours) {
  Picture24 picture(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Bgra& c = colours[(x * 7 + y * 3) % colours.size()];
      picture.set(x, y, c.r, c.g, c.b);
    }
  }
  return picture;
}

int colour_distance(const std::uint8_t entry[4], const Bgra& c) {
  return std::abs(entry[0] - c.b) + std::abs(entry[1] - c.g) + std::abs(entry[2] - c.r);
}

// No entry is nearer to the colour than the chosen one, colour differences
// weighted by 1 - (1 - A/255)^2 and alpha differences in full.
bool is_nearest_entry(const PaletteImage& image, int chosen, const Bgra& c) {
  auto distance = [&](const std::uint8_t* e) {
    double weight = 1.0 - std::pow(1.0 - c.a / 255.0, 2);
    double db = e[0] - c.b, dg = e[1] - c.g, dr = e[2] - c.r, da = e[3] - c.a;
    return weight * (db * db + dg * dg + dr * dr) + da * da;
  };
  for (int j = 0; j < image.colour_count; ++j) {
    if (distance(image.colours[j]) < distance(image.colours[chosen]) - 1e-9) return false;
  }
  return true;
}

TEST(Palette, KnownColoursMapToPaletteEntriesCloseToThem) {
  const std::vector<Bgra> colours = {
      {0, 0, 0, 255}, {255, 170, 170, 255}, {170, 255, 170, 255}, {170, 170, 255, 255}, {80, 200, 240, 255}};
  for (int depth : {2, 4, 8}) {
    Picture24 picture = few_colour_picture(97, 61, colours);
    Built built;
    build(&built, picture, depth);
    ASSERT_TRUE(built.ok) << depth;
    EXPECT_EQ(built.image.colour_count, 1 << depth);
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        int index = index_at(built.image, x, y);
        const Bgra& c = colours[(x * 7 + y * 3) % colours.size()];
        ASSERT_TRUE(is_nearest_entry(built.image, index, c)) << "depth " << depth << " pixel " << x << "," << y;
        // Four entries cannot hold five colours; with more each has its own.
        if (depth > 2) {
          ASSERT_LE(colour_distance(built.image.colours[index], c), 12) << "depth " << depth << " pixel " << x << "," << y;
        }
      }
    }
  }
}

TEST(Palette, TranslucentPixelsFindEntriesOfTheirAlpha) {
  // Half the picture fully transparent, half opaque green.
  int width = 40, height = 40, row_size = width * 4;
  Bytes pixels(row_size * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = &pixels[y * row_size + 4 * x];
      bool opaque = x < 20;
      p[0] = 0;
      p[1] = opaque ? 200 : 0;
      p[2] = 0;
      p[3] = opaque ? 255 : 0;
    }
  }
  PaletteImage image{};
  ASSERT_TRUE(palette_build(&image, pixels.data(), width, height, 32, row_size, 8, 0));
  int opaque_index = packed_sample(palette_index_row(image, 5), 3, 8);
  int clear_index = packed_sample(palette_index_row(image, 5), 30, 8);
  EXPECT_GE(image.colours[opaque_index][3], 245);
  EXPECT_LE(std::abs(image.colours[opaque_index][1] - 200), 12);
  EXPECT_LE(image.colours[clear_index][3], 10);
  palette_free(&image);
}

// Share of white pixels in a flat grey picture reduced to black and white.
double white_share(int grey, int options) {
  Picture24 picture(64, 64);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) picture.set(x, y, grey, grey, grey);
  }
  Built built;
  build(&built, picture, 1, options);
  if (!built.ok) return -1;
  int white = 0;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) white += index_at(built.image, x, y);
  }
  return white / 4096.0;
}

TEST(Palette, ErrorDiffusionKeepsTheAverageLevel) {
  // Without diffusion a grey of 128 is below the threshold everywhere.
  EXPECT_EQ(white_share(128, 0), 0.0);
  EXPECT_EQ(white_share(128, SAVE_OPTIONS_DEFAULT), 0.0);  // bit 0x100 is not in the default
  EXPECT_NEAR(white_share(128, SAVE_OPTION_ERROR_DIFFUSION), 128 / 255.0, 0.03);
  EXPECT_NEAR(white_share(64, SAVE_OPTION_ERROR_DIFFUSION), 64 / 255.0, 0.03);
}

// Sum over the columns of a red ramp of how far each column's average red
// lies from the column's own red. The outer columns are left out: reds
// beyond the palette's darkest and lightest cannot be mixed from it.
double column_mean_error(int depth, int options) {
  Picture24 picture(64, 64);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) picture.set(x, y, static_cast<std::uint8_t>(x * 4), 0, 0);
  }
  Built built;
  build(&built, picture, depth, options);
  if (!built.ok) return -1;
  double total = 0;
  for (int x = 8; x < 56; ++x) {
    double sum = 0;
    for (int y = 0; y < 64; ++y) sum += built.image.colours[index_at(built.image, x, y)][2];
    total += std::abs(sum / 64 - x * 4);
  }
  return total;
}

TEST(Palette, ErrorDiffusionAtPaletteDepthsKeepsEachAreasMeanColour) {
  // Few entries for 64 reds: without diffusion a column takes its nearest
  // entry; with it, its pixels mix entries around the column's own red.
  for (int depth : {2, 4}) {
    double plain = column_mean_error(depth, 0);
    double diffused = column_mean_error(depth, SAVE_OPTION_ERROR_DIFFUSION);
    EXPECT_GT(plain, 0) << depth;
    EXPECT_LT(diffused, plain / 2) << depth;
  }
}

TEST(Palette, RefusesWhatItCannotReadOrPack) {
  Picture24 picture(8, 8);
  PaletteImage image{};
  for (int depth : {0, 3, 5, 16, 24, -1}) {
    EXPECT_FALSE(palette_build(&image, picture.bytes.data(), 8, 8, 24, picture.row_size, depth, 0)) << depth;
  }
  EXPECT_FALSE(palette_build(&image, nullptr, 8, 8, 24, picture.row_size, 8, 0));
  EXPECT_FALSE(palette_build(&image, picture.bytes.data(), 0, 8, 24, picture.row_size, 8, 0));
  EXPECT_FALSE(palette_build(&image, picture.bytes.data(), 8, -1, 24, picture.row_size, 8, 0));
  EXPECT_FALSE(palette_build(&image, picture.bytes.data(), 8, 8, 16, picture.row_size, 8, 0));
  // Rows shorter than their pixels would be read past their end.
  EXPECT_FALSE(palette_build(&image, picture.bytes.data(), 8, 8, 24, 23, 8, 0));
  EXPECT_EQ(image.index_rows, nullptr);
}

TEST(Palette, TinyPicturesAreSampledWithinBounds) {
  // Smaller than every sampling step: the walk must wrap inside the picture.
  Picture24 picture(1, 1);
  picture.set(0, 0, 10, 200, 30);
  Built built;
  build(&built, picture, 8);
  ASSERT_TRUE(built.ok);
  int index = index_at(built.image, 0, 0);
  EXPECT_LE(colour_distance(built.image.colours[index], Bgra{30, 200, 10, 255}), 24);
}

}  // namespace
