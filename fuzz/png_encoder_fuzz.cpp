// Random pictures through the PNG encoder's memory target: sizes, source
// depths, row orders, palette depths and pixels come from the input. Each PNG
// is read back with libpng's read side; true-colour pixels must come back
// exactly (blue and red swapped into PNG order, alpha as stored), palette
// pictures must decode to colours of their palette.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/png_reading.h"
#include "platform/win32/kernel32.h"
#include "runtime/core/memory.h"
#include "runtime/core/startup.h"
#include "runtime/graphics/encoder_table.h"
#include "runtime/graphics/png_encoder.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

void check_true_colour(const DecodedPng& decoded, const FuzzPicture& picture, bool with_alpha) {
  check(decoded.colour_type == (with_alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB));
  check(decoded.bit_depth == 8);
  const int channels = with_alpha ? 4 : 3;
  for (int y = 0; y < picture.height; ++y) {
    const std::uint8_t* source = picture.row_from_top(y);
    const std::vector<std::uint8_t>& row = decoded.rows[y];
    for (int x = 0; x < picture.width; ++x) {
      const std::uint8_t* pixel = source + x * picture.source_depth / 8;
      const std::uint8_t* shown = row.data() + x * channels;
      check(shown[0] == pixel[2] && shown[1] == pixel[1] && shown[2] == pixel[0]);
      if (with_alpha) check(shown[3] == pixel[3]);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (!program_begin()) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  static const int DEPTHS[] = {-1, 24, 32, 1, 2, 4, 8, 3};
  const int depth = DEPTHS[input.number(0, 7)];
  const int options = input.number(0, 1) ? SAVE_OPTION_ERROR_DIFFUSION : 0;
  const FuzzPicture picture = fuzz_picture(input);
  const bool rgba = picture.source_depth == 32;
  const std::intptr_t block =
      (rgba ? png_encode_rgba : png_encode_rgb)(nullptr, picture.pixels.data(), picture.width, picture.height,
                                                picture.stride, picture.row_flags, options, depth);
  // libpng has no 3-bit palettes: that depth must fail cleanly.
  if (depth == 3) {
    check(block == 0);
    return 0;
  }
  check(block != 0);
  const auto* png = reinterpret_cast<const std::uint8_t*>(block);
  const std::size_t length = HeapSize(memory_heap(), 0, reinterpret_cast<void*>(block));
  DecodedPng decoded;
  check(png_decode(png, length, decoded));
  check(decoded.width == static_cast<png_uint_32>(picture.width) &&
        decoded.height == static_cast<png_uint_32>(picture.height));
  if (depth >= 1 && depth <= 8) {
    check(decoded.colour_type == PNG_COLOR_TYPE_PALETTE && decoded.bit_depth == depth);
  } else {
    check_true_colour(decoded, picture, rgba);
  }
  memory_free(reinterpret_cast<void*>(block));
  return 0;
}
