#include "fuzz/fuzz_input.h"

#include "runtime/graphics/encoder_table.h"

namespace {

// Small pictures keep each run fast; odd widths exercise row padding.
constexpr int MAX_SIDE = 48;

}  // namespace

const std::uint8_t* FuzzPicture::row_from_top(int y) const {
  const int row = (row_flags & ROWS_BOTTOM_UP) ? height - 1 - y : y;
  return pixels.data() + static_cast<std::size_t>(row) * stride;
}

FuzzPicture fuzz_picture(FuzzInput& input) {
  FuzzPicture picture;
  picture.width = input.number(1, MAX_SIDE);
  picture.height = input.number(1, MAX_SIDE);
  picture.source_depth = input.number(0, 1) ? 32 : 24;
  picture.row_flags = input.number(0, 1) ? ROWS_BOTTOM_UP : 0;
  const int packed = picture.width * picture.source_depth / 8;
  picture.stride = packed + input.number(0, 7);  // any stride at least the row, aligned or not
  picture.pixels.resize(static_cast<std::size_t>(picture.stride) * picture.height);
  const std::uint8_t* source = input.rest();
  const std::size_t available = input.rest_size();
  for (std::size_t i = 0; i < picture.pixels.size(); ++i)
    picture.pixels[i] = available ? static_cast<std::uint8_t>(source[i % available] + i / available) : 0;
  return picture;
}
