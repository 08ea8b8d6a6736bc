#include "runtime/graphics/png_encoder.h"

#include <png.h>

#include "runtime/graphics/encoder_table.h"
#include "runtime/graphics/palette.h"
#include "runtime/graphics/png_output.h"
#include "runtime/graphics/png_write_guard.h"
#include "runtime/graphics/source_pixels.h"

namespace {

constexpr int BEST_COMPRESSION = 9;

// Everything the guarded part touches lives here, outside the guard, so that
// a jump back from libpng skips no destructor.
struct PngJob {
  SourcePixels source;
  int row_flags;
  int colour_type;
  const PaletteImage* palette;  // null for true colour
  PngOutput* output;
  png_structp png;
  png_infop info;
};

bool bottom_up(int row_flags) { return (row_flags & ROWS_BOTTOM_UP) != 0; }

void write_true_colour(PngJob* job) {
  const SourcePixels& source = job->source;
  png_set_IHDR(job->png, job->info, source.width, source.height, 8, job->colour_type, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // libpng swaps blue and red as it writes: rows go out as they lie in memory.
  png_set_bgr(job->png);
  png_write_info(job->png, job->info);
  for (int i = 0; i < source.height; ++i) {
    int row = bottom_up(job->row_flags) ? source.height - 1 - i : i;
    png_write_row(job->png, source_row(source, row));
  }
}

void write_palette_image(PngJob* job) {
  const PaletteImage& image = *job->palette;
  png_set_IHDR(job->png, job->info, image.width, image.height, image.depth, PNG_COLOR_TYPE_PALETTE,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color colours[256];
  for (int j = 0; j < image.colour_count; ++j) {
    colours[j].red = image.colours[j][2];
    colours[j].green = image.colours[j][1];
    colours[j].blue = image.colours[j][0];
  }
  png_set_PLTE(job->png, job->info, colours, image.colour_count);
  png_write_info(job->png, job->info);
  for (int i = 0; i < image.height; ++i) {
    int row = bottom_up(job->row_flags) ? image.height - 1 - i : i;
    png_write_row(job->png, palette_index_row(image, row));
  }
}

void write_job(png_structp png, png_infop info, void* context) {
  auto* job = static_cast<PngJob*>(context);
  job->png = png;
  job->info = info;
  png_output_bind(job->output, png);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, BEST_COMPRESSION);
  if (job->palette != nullptr) {
    write_palette_image(job);
  } else {
    write_true_colour(job);
  }
  png_write_end(png, info);
}

bool palette_depth(int depth) { return depth >= 1 && depth <= 8; }

std::intptr_t png_encode(LPCWSTR file_name, const void* pixels, int width, int height, int stride, int row_flags,
                         int options, int depth, int colour_type) {
  int source_depth = colour_type == PNG_COLOR_TYPE_RGB_ALPHA ? 32 : 24;
  PngJob job{};
  if (!source_pixels_make(&job.source, pixels, width, height, stride, source_depth)) return 0;
  job.row_flags = row_flags;
  job.colour_type = colour_type;
  // Colours are reduced before any output exists, so that a depth the format
  // has no room for (3, say) leaves nothing behind.
  PaletteImage palette{};
  if (palette_depth(depth)) {
    if (!palette_build(&palette, pixels, width, height, source_depth, stride, depth, options)) return 0;
    job.palette = &palette;
  }
  PngOutput output;
  std::intptr_t result = 0;
  if (png_output_open(&output, file_name, job.source)) {
    job.output = &output;
    result = png_write_guarded(write_job, &job) ? png_output_finish(&output) : (png_output_abandon(&output), 0);
  }
  palette_free(&palette);
  return result;
}

const ImageEncoder PNG_ENCODER = {FORMAT_PNG, png_encode_rgb, png_encode_rgba};
bool png_registered = false;

}  // namespace

void png_encoder_register() {
  if (png_registered) return;
  png_registered = image_encoder_register(&PNG_ENCODER);
}

std::intptr_t png_encode_rgb(LPCWSTR file_name, const void* pixels, int width, int height, int stride,
                             int row_flags, int options, int depth) {
  return png_encode(file_name, pixels, width, height, stride, row_flags, options, depth, PNG_COLOR_TYPE_RGB);
}

std::intptr_t png_encode_rgba(LPCWSTR file_name, const void* pixels, int width, int height, int stride,
                              int row_flags, int options, int depth) {
  return png_encode(file_name, pixels, width, height, stride, row_flags, options, depth,
                    PNG_COLOR_TYPE_RGB_ALPHA);
}
