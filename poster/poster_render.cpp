#include "poster/poster_render.h"

#include <algorithm>
#include <memory>
#include <new>
#include <thread>

#include "poster/accumulation.h"
#include "poster/parallel_shares.h"
#include "poster/png_rows_writer.h"
#include "poster/remake_command.h"
#include "poster/tone_map.h"
#include "runtime/graphics/bmp_encoder.h"
#include "runtime/graphics/encoder_table.h"

namespace {

SampleCanvas sample_canvas(const IfsTable& table, const PosterSettings& settings) {
  SampleCanvas canvas;
  canvas.width = std::int64_t{settings.width} * settings.supersample;
  canvas.height = std::int64_t{settings.height} * settings.supersample;
  const auto maps = static_cast<std::uint32_t>(std::max(table.map_count, 1));
  canvas.slots = std::max(1u, std::min(maps, static_cast<std::uint32_t>(settings.palette.size())));
  if (settings.colormap != COLOUR_MAP_NONE) canvas.slots = 1;  // the map's colours come from the density alone
  canvas.mode = settings.shade;
  return canvas;
}

// The margin is a share of the picture's shorter side, the same on all sides.
std::int64_t margin_samples(const PosterSettings& settings) {
  const double shorter = std::min(settings.width, settings.height);
  return static_cast<std::int64_t>(settings.margin_percent * shorter / 100.0) * settings.supersample;
}

SampleTransform sample_transform(const AccumulationJob& job, const PosterSettings& settings) {
  const std::int64_t margin = margin_samples(settings);
  const SampleCanvas& canvas = job.canvas;
  if (settings.has_view) {
    const PlaneView& v = settings.view;
    return view_fit(v.min_x, v.min_y, v.max_x, v.max_y, canvas.width, canvas.height, margin);
  }
  const AttractorBox box = job.space != nullptr ? attractor_measure_space(*job.table, *job.space, settings.seed)
                                                : attractor_measure(*job.table, settings.seed);
  return attractor_fit(box, canvas.width, canvas.height, margin);
}

// Shading gains nothing from more threads than cores.
int shading_threads(const PosterSettings& settings) {
  return std::min(poster_threads(settings), static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
}

Shading shading_for(const PosterSettings& settings, std::uint32_t slots) {
  Shading shading;
  shading.gamma = settings.gamma;
  shading.background = linear_colour(settings.background);
  const std::vector<std::uint32_t>& palette = settings.palette;
  for (std::uint32_t s = 0; s < slots; ++s)
    shading.slot_colours.push_back(palette.empty() ? LinearColour{1.0, 1.0, 1.0} : linear_colour(palette[s]));
  shading.supersample = settings.supersample;
  shading.depth = settings.depth;
  shading.threads = shading_threads(settings);
  shading.flame = poster_flame_tone(settings);
  shading.brightness = settings.brightness;
  shading.vibrancy = settings.vibrancy;
  shading.colour_map = settings.colormap;
  shading.alpha_channel = poster_transparent(settings);
  shading.background_alpha = settings.background_alpha / 255.0;
  return shading;
}

// Rows are shaded a block at a time on every thread and handed out in order.
class RowBlocks {
 public:
  RowBlocks(const ToneMapper& tones, int threads)
      : tones_(tones), threads_(threads), block_rows_(ROWS_PER_THREAD * threads),
        block_(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(block_rows_ * tones.row_bytes())]) {}

  void row(std::int64_t y, std::uint8_t* out) {
    if (block_ == nullptr) return tones_.row(y, out);  // one row at a time, then
    if (y < first_ || y >= first_ + rows_) shade_block(y);
    const std::int64_t bytes = tones_.row_bytes();
    std::copy_n(block_.get() + (y - first_) * bytes, bytes, out);
  }

 private:
  static constexpr std::int64_t ROWS_PER_THREAD = 8;

  void shade_block(std::int64_t first) {
    first_ = first;
    rows_ = std::min(block_rows_, tones_.height() - first);
    const std::int64_t bytes = tones_.row_bytes();
    parallel_shares(threads_, rows_, [&](std::int64_t begin, std::int64_t end) {
      for (std::int64_t r = begin; r < end; ++r) tones_.row(first_ + r, block_.get() + r * bytes);
    });
  }

  const ToneMapper& tones_;
  int threads_;
  std::int64_t block_rows_;
  std::unique_ptr<std::uint8_t[]> block_;
  std::int64_t first_ = 0;
  std::int64_t rows_ = 0;
};

void produce_row(void* context, std::int64_t y, std::uint8_t* row) { static_cast<RowBlocks*>(context)->row(y, row); }


bool write_png(const ToneMapper& tones, const PosterSettings& settings, const PosterOutput& output) {
  RowBlocks blocks(tones, shading_threads(settings));
  PngRowsJob job;
  job.file_name = output.file_name;
  job.width = tones.width();
  job.height = tones.height();
  job.depth = settings.depth;
  job.alpha = poster_transparent(settings);
  job.texts = {{"Software", output.software}, {"Comment", remake_command(settings, output.names)}};
  job.produce = produce_row;
  job.context = &blocks;
  return png_rows_write(job);
}

// BMP rows are B, G, R, bottom line first, padded to four bytes.
bool write_bmp(const ToneMapper& tones, const PosterSettings& settings, const PosterOutput& output) {
  const std::int64_t width = tones.width();
  const std::int64_t height = tones.height();
  const std::int64_t stride = (width * 3 + 3) / 4 * 4;
  std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(stride * height)]());
  if (pixels == nullptr) return false;
  parallel_shares(shading_threads(settings), height, [&](std::int64_t begin, std::int64_t end) {
    for (std::int64_t y = begin; y < end; ++y) {
      std::uint8_t* row = pixels.get() + (height - 1 - y) * stride;
      tones.row(y, row);
      for (std::int64_t x = 0; x < width; ++x) std::swap(row[3 * x], row[3 * x + 2]);
    }
  });
  return bmp_write_file(output.file_name.c_str(), pixels.get(), static_cast<int>(stride), static_cast<int>(width),
                        static_cast<int>(height), 24, ROWS_BOTTOM_UP, SAVE_OPTIONS_DEFAULT, 24) == 1;
}

}  // namespace

int poster_threads(const PosterSettings& settings) {
  if (settings.threads > 0) return settings.threads;
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

PosterResult poster_render(const IfsTable& table, const PosterSettings& settings, const PosterOutput& output) {
  return poster_render(table, SpaceMaps{}, settings, output);
}

PosterResult poster_render(const IfsTable& table, const SpaceMaps& space, const PosterSettings& settings,
                           const PosterOutput& output) {
  AccumulationJob job;
  job.table = &table;
  job.space = space.active ? &space : nullptr;
  job.seed = settings.seed;
  job.points = settings.points;
  job.canvas = sample_canvas(table, settings);
  job.transform = sample_transform(job, settings);
  job.threads = poster_threads(settings);
  job.progress = output.progress;
  SampleBuffer samples;
  if (!accumulate(job, samples)) return POSTER_NO_MEMORY;
  const ToneMapper tones(samples, job.canvas, shading_for(settings, job.canvas.slots));
  const bool saved = output.png ? write_png(tones, settings, output) : write_bmp(tones, settings, output);
  return saved ? POSTER_RENDERED : POSTER_NOT_SAVED;
}
