// Random pictures through the BMP writer: sizes, source and output depths,
// row orders, dithering and pixels all come from the input. Each file written
// is read back by the reader below, written for this check from the format's
// description, and its pixels compared with the source where the format keeps
// them exactly (24 and 32 bits); palette files must be well formed.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/bmp_reading.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_program.h"
#include "runtime/graphics/bmp_encoder.h"
#include "runtime/graphics/encoder_table.h"
#include "runtime/graphics/image_save.h"
#include "runtime/core/startup.h"

namespace {

std::string scratch_path;
std::u16string scratch_name;

std::vector<std::uint8_t> read_scratch() {
  std::vector<std::uint8_t> bytes;
  std::FILE* file = std::fopen(scratch_path.c_str(), "rb");
  if (!file) return bytes;
  for (int c; (c = std::fgetc(file)) != EOF;) bytes.push_back(static_cast<std::uint8_t>(c));
  std::fclose(file);
  return bytes;
}

std::uint32_t le32(const std::vector<std::uint8_t>& bytes, std::size_t at) { return bmp_le32(bytes.data() + at); }
std::uint16_t le16(const std::vector<std::uint8_t>& bytes, std::size_t at) { return bmp_le16(bytes.data() + at); }

void check(bool condition) {
  if (!condition) std::abort();
}

// The stored colour of a source pixel: 32-bit sources are composited over white.
std::uint8_t expected_channel(const std::uint8_t* pixel, int channel, int source_depth) {
  if (source_depth == 24) return pixel[channel];
  const int alpha = pixel[3];
  return static_cast<std::uint8_t>((alpha * (pixel[channel] - 255) + 65025) / 255);
}

void check_file(const std::vector<std::uint8_t>& file, const FuzzPicture& picture, int depth) {
  const int width = picture.width, height = picture.height;
  check(file.size() >= 54 && file[0] == 'B' && file[1] == 'M');
  check(le32(file, 2) == file.size());
  check(le32(file, 14) == 40);
  check(static_cast<int>(le32(file, 18)) == width && static_cast<int>(le32(file, 22)) == height);
  check(le16(file, 26) == 1 && le16(file, 28) == depth && le32(file, 30) == 0);
  const std::uint32_t entries = depth <= 8 ? 1u << depth : 0;
  const std::uint32_t offset = le32(file, 10);
  check(offset == 54 + 4 * entries);
  const std::size_t row_bits = static_cast<std::size_t>(width) * depth;
  const std::size_t row_size = (row_bits + 31) / 32 * 4;
  check(file.size() == offset + row_size * height);
  for (int stored = 0; stored < height; ++stored) {
    // Stored rows run bottom line first; the source's bottom line depends on its order.
    const int line_from_top = height - 1 - stored;
    const std::uint8_t* source = picture.row_from_top(line_from_top);
    const std::uint8_t* row = file.data() + offset + row_size * stored;
    for (int x = 0; x < width; ++x) {
      if (depth <= 8) {
        const int shift = 8 - depth - (x * depth) % 8;
        const unsigned index = (row[x * depth / 8] >> shift) & ((1u << depth) - 1);
        check(index < entries);
        continue;
      }
      const std::uint8_t* pixel = source + x * picture.source_depth / 8;
      const std::uint8_t* stored_pixel = row + x * depth / 8;
      // 32 bits to 32 bits keeps the pixels as they are, alpha and all;
      // otherwise colours are laid over white and a 32-bit file gets alpha 0.
      const bool kept = picture.source_depth == 32 && depth == 32;
      for (int channel = 0; channel < 3; ++channel) {
        const std::uint8_t expected = kept ? pixel[channel] : expected_channel(pixel, channel, picture.source_depth);
        check(stored_pixel[channel] == expected);
      }
      if (depth == 32) check(stored_pixel[3] == (kept ? pixel[3] : 0));
    }
    // Rows laid out as the file's own are written as they lie, padding and all.
    const bool written_whole = picture.source_depth == depth && (picture.row_flags & ROWS_BOTTOM_UP) &&
                               static_cast<std::size_t>(picture.stride) == row_size;
    for (std::size_t pad = (row_bits + 7) / 8; pad < row_size; ++pad)
      check(row[pad] == (written_whole ? source[pad] : 0));
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  scratch_path = fuzz_scratch_folder() + "/bmp_encoder_fuzz_" + std::to_string(getpid()) + ".bmp";
  scratch_name.assign(scratch_path.begin(), scratch_path.end());
  if (!program_begin()) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  static const int DEPTHS[] = {1, 4, 8, 24, 32};
  const int depth = DEPTHS[input.number(0, 4)];
  const int options = input.number(0, 1) ? SAVE_OPTION_ERROR_DIFFUSION : 0;
  const FuzzPicture picture = fuzz_picture(input);
  const int written = bmp_write_file(scratch_name.c_str(), picture.pixels.data(), picture.stride, picture.width,
                                     picture.height, picture.source_depth, picture.row_flags, options, depth);
  check(written == 1);
  check_file(read_scratch(), picture, depth);
  std::remove(scratch_path.c_str());
  return 0;
}
