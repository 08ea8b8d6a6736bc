#include "poster/png_rows_writer.h"

#include <png.h>

#include <cstdlib>
#include <memory>
#include <new>

#include "runtime/graphics/png_write_guard.h"
#include "runtime/graphics/safe_file_writer.h"

namespace {

// Everything the guarded part touches lives outside the guard, so a jump
// back from libpng skips no destructor.
struct Guarded {
  const PngRowsJob* job;
  SafeFileWriter* file;
  png_text* texts;
  std::uint8_t* row;
};

void write_to_file(png_structp png, png_bytep data, png_size_t length) {
  auto* file = static_cast<SafeFileWriter*>(png_get_io_ptr(png));
  if (!safe_file_write(file, data, length)) png_error(png, "write failed");
}

void flush_nothing(png_structp) {}

bool plain_ascii(const std::string& text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

void fill_texts(const PngRowsJob& job, png_text* texts) {
  for (std::size_t i = 0; i < job.texts.size(); ++i) {
    const PngText& source = job.texts[i];
    png_text& text = texts[i];
    text = png_text{};
    text.compression = plain_ascii(source.text) ? PNG_TEXT_COMPRESSION_NONE : PNG_ITXT_COMPRESSION_NONE;
    text.key = const_cast<char*>(source.keyword.c_str());
    text.text = const_cast<char*>(source.text.c_str());
    if (text.compression == PNG_TEXT_COMPRESSION_NONE) {
      text.text_length = source.text.size();
    } else {
      text.itxt_length = source.text.size();
    }
  }
}

void write_rows(png_structp png, png_infop info, void* context) {
  auto* g = static_cast<Guarded*>(context);
  png_set_write_fn(png, g->file, write_to_file, flush_nothing);
  const PngRowsJob& job = *g->job;
  png_set_IHDR(png, info, static_cast<png_uint_32>(job.width), static_cast<png_uint_32>(job.height), job.depth,
               job.alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_text(png, info, g->texts, static_cast<int>(job.texts.size()));
  png_write_info(png, info);
  for (std::int64_t y = 0; y < job.height; ++y) {
    job.produce(job.context, y, g->row);
    png_write_row(png, g->row);
  }
  png_write_end(png, info);
}

}  // namespace

bool png_rows_write(const PngRowsJob& job) {
  if (job.width < 1 || job.height < 1 || (job.depth != 8 && job.depth != 16) || job.produce == nullptr) return false;
  const auto row_bytes = static_cast<std::size_t>(job.width) * (job.alpha ? 4 : 3) * static_cast<std::size_t>(job.depth / 8);
  std::unique_ptr<std::uint8_t[]> row(new (std::nothrow) std::uint8_t[row_bytes]);
  std::unique_ptr<png_text[]> texts(new (std::nothrow) png_text[job.texts.size() + 1]);
  if (row == nullptr || texts == nullptr) return false;
  fill_texts(job, texts.get());
  SafeFileWriter file;
  if (!safe_file_open(&file, job.file_name.c_str())) return false;
  Guarded guarded{&job, &file, texts.get(), row.get()};
  if (!png_write_guarded(write_rows, &guarded)) {
    safe_file_abandon(&file);
    return false;
  }
  return safe_file_commit(&file);
}
