// The NeuQuant palettes and index maps of the saver, entry for entry and pixel for pixel, against a
// separately written version of the published algorithm with the saver's parameters. Pictures are
// large enough to be sampled sparsely, so the sampling factor and the step through the picture count.
#include <gtest/gtest.h>

#include <cstdint>

#include "runtime/graphics/palette.h"
#include "support/image_readers.h"
#include "support/picture_bytes.h"
#include "support/reference_neuquant.h"

namespace {

// Gradients crossed by a checkerboard and a texture: many colours, many of them repeated.
Picture varied_picture(int width, int height, int depth) {
  Picture picture(width, height, depth);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = picture.pixel(x, y);
      p[0] = static_cast<std::uint8_t>((x / 16 + y / 16) % 2 * 200 + (x * y) % 56);
      p[1] = static_cast<std::uint8_t>(y * 255 / (height - 1));
      p[2] = static_cast<std::uint8_t>(x * 255 / (width - 1));
      if (depth == 32) p[3] = static_cast<std::uint8_t>((x / 32 * 37 + y / 32 * 11) % 256);
    }
  return picture;
}

void expect_same_as_reference(const Picture& picture, int depth) {
  PaletteImage image{};
  ASSERT_TRUE(palette_build(&image, picture.bytes.data(), picture.width, picture.height, picture.depth,
                            picture.row_size, depth, 0));
  ReferencePalette expected = reference_neuquant(picture.bytes.data(), picture.width, picture.height,
                                                 picture.depth / 8, picture.row_size, 1 << depth);
  ASSERT_EQ(image.colour_count, 1 << depth);
  for (int j = 0; j < image.colour_count; ++j)
    for (int c = 0; c < 4; ++c)
      EXPECT_EQ(image.colours[j][c], expected.colours[j][c]) << "entry " << j << " byte " << c;
  int mismatches = 0;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      int index = packed_sample(palette_index_row(image, y), x, depth);
      if (index != expected.indices[static_cast<std::size_t>(y) * picture.width + x] && ++mismatches <= 5)
        ADD_FAILURE() << "pixel " << x << "," << y << " has index " << index;
    }
  EXPECT_EQ(mismatches, 0);
  palette_free(&image);
}

TEST(NeuQuantReference, FourColoursSampledEveryFourthPixel) {
  // 1024 x 768: sampling factor 4, which also slows the learning rate's decay.
  expect_same_as_reference(varied_picture(1024, 768, 24), 2);
}

TEST(NeuQuantReference, SixteenTranslucentColoursSampledEverySecondPixel) {
  // 640 x 480: sampling factor 2; the ramp's see-through entries and the alpha channel learn too.
  expect_same_as_reference(varied_picture(640, 480, 32), 4);
}

TEST(NeuQuantReference, TwoHundredFiftySixColoursOfAPaddedPictureSampledEverySecondPixel) {
  // 514 x 512: sampling factor 2, rows of 1542 bytes padded to 1544.
  expect_same_as_reference(varied_picture(514, 512, 24), 8);
}

}  // namespace
