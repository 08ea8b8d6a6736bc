#include "fuzz/png_reading.h"

#include <csetjmp>
#include <cstring>

namespace {

struct Reader {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;
};

void read_memory(png_structp png, png_bytep out, png_size_t length) {
  auto* reader = static_cast<Reader*>(png_get_io_ptr(png));
  if (length > reader->size - reader->at) png_error(png, "truncated");
  std::memcpy(out, reader->data + reader->at, length);
  reader->at += length;
}

void read_texts(png_structp png, png_infop info, DecodedPng& decoded) {
  png_textp texts = nullptr;
  int count = 0;
  png_get_text(png, info, &texts, &count);
  for (int i = 0; i < count; ++i) decoded.texts[texts[i].key] = std::string(texts[i].text, texts[i].text_length);
}

}  // namespace

bool png_decode(const std::uint8_t* data, std::size_t size, DecodedPng& decoded) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  Reader reader{data, size};
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &reader, read_memory);
  png_read_info(png, info);
  decoded.width = png_get_image_width(png, info);
  decoded.height = png_get_image_height(png, info);
  decoded.colour_type = png_get_color_type(png, info);
  decoded.bit_depth = png_get_bit_depth(png, info);
  if (decoded.colour_type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  png_read_update_info(png, info);
  const png_size_t row_bytes = png_get_rowbytes(png, info);
  decoded.rows.assign(decoded.height, std::vector<std::uint8_t>(row_bytes));
  for (auto& row : decoded.rows) png_read_row(png, row.data(), nullptr);
  png_read_end(png, info);
  read_texts(png, info, decoded);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}
