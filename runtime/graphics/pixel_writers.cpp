#include "runtime/graphics/pixel_writers.h"

#include <cstring>

namespace {

void store_span(const DrawingSession* session, BYTE* first, int count, std::ptrdiff_t step) {
  // Bytes B, G, R; a fourth (alpha) byte is left as it is.
  BYTE colour[3] = {static_cast<BYTE>(session->front.blue), static_cast<BYTE>(session->front.green),
                    static_cast<BYTE>(session->front.red)};
  // Black, white and greys in a row of 3-byte pixels are one run of equal bytes: clearing
  // the canvas is then a row fill per line.
  if (step == 3 && colour[0] == colour[1] && colour[1] == colour[2]) {
    std::memset(first, colour[0], static_cast<std::size_t>(count) * 3);
    return;
  }
  for (int i = 0; i < count; ++i, first += step) std::memcpy(first, colour, 3);
}

void xor_span(const DrawingSession* session, BYTE* first, int count, std::ptrdiff_t step) {
  for (int i = 0; i < count; ++i, first += step) {
    first[0] ^= static_cast<BYTE>(session->front.blue);
    first[1] ^= static_cast<BYTE>(session->front.green);
    first[2] ^= static_cast<BYTE>(session->front.red);
  }
}

void all_channels_span(const DrawingSession* session, BYTE* first, int count, std::ptrdiff_t step) {
  BYTE colour[4] = {static_cast<BYTE>(session->front.blue), static_cast<BYTE>(session->front.green),
                    static_cast<BYTE>(session->front.red), static_cast<BYTE>(session->front.alpha)};
  for (int i = 0; i < count; ++i, first += step) std::memcpy(first, colour, 4);
}

void alpha_channel_span(const DrawingSession* session, BYTE* first, int count, std::ptrdiff_t step) {
  for (int i = 0; i < count; ++i, first += step) first[3] = static_cast<BYTE>(session->front.alpha);
}

void blend_span_3(const DrawingSession* session, BYTE* first, int count, std::ptrdiff_t step) {
  for (int i = 0; i < count; ++i, first += step) blend_pixel_3(first, session->front);
}

void blend_span_4(const DrawingSession* session, BYTE* first, int count, std::ptrdiff_t step) {
  for (int i = 0; i < count; ++i, first += step) blend_pixel_4(first, session->front);
}

// Per-pixel colour routines belong to gradient and custom drawing, which this runtime has not:
// such modes draw nothing rather than something made up.
void no_span(const DrawingSession*, BYTE*, int, std::ptrdiff_t) {}

bool inside(const DrawingSession* session, int x, int y) {
  return x >= 0 && y >= 0 && x < session->width && y < session->height;
}

void plot(DrawingSession* session, int x, int y) {
  if (inside(session, x, y)) session->span_writer(session, pixel_address(session, x, y), 1, session->pixel_bytes);
}

void plot_colour(DrawingSession* session, int x, int y, std::uint32_t colour) {
  if (!inside(session, x, y)) return;
  ColourComponents saved = session->front;
  session->front = colour_components(colour, session->premultiply);
  session->span_writer(session, pixel_address(session, x, y), 1, session->pixel_bytes);
  session->front = saved;
}

std::uint32_t read_pixel(DrawingSession* session, int x, int y) {
  if (!inside(session, x, y)) return 0;
  const BYTE* pixel = pixel_address(session, x, y);
  std::uint32_t colour = pixel[2] | (pixel[1] << 8) | (pixel[0] << 16);
  constexpr int ALPHA_MODES = DRAWING_MODE_ALPHA_CHANNEL | DRAWING_MODE_ALPHA_BLEND | DRAWING_MODE_ALPHA_CLIP |
                              DRAWING_MODE_CUSTOM | DRAWING_MODE_ALL_CHANNELS;
  if (session->pixel_bytes == 4 && (session->mode & ALPHA_MODES)) colour |= static_cast<std::uint32_t>(pixel[3]) << 24;
  return colour;
}

SpanWriter writer_for(int mode, int pixel_bytes) {
  if (mode & (DRAWING_MODE_GRADIENT | DRAWING_MODE_CUSTOM)) return no_span;
  if (mode & DRAWING_MODE_XOR) return xor_span;
  if (pixel_bytes == 4 && (mode & DRAWING_MODE_ALL_CHANNELS)) return all_channels_span;
  if (mode & DRAWING_MODE_ALPHA_CHANNEL) return pixel_bytes == 4 ? alpha_channel_span : no_span;
  if (mode & (DRAWING_MODE_ALPHA_BLEND | DRAWING_MODE_ALPHA_CLIP)) return pixel_bytes == 4 ? blend_span_4 : blend_span_3;
  return store_span;
}

}  // namespace

void pixel_writers_select(DrawingSession* session) {
  session->span_writer = writer_for(session->mode, session->pixel_bytes);
  session->operations.plot = plot;
  session->operations.plot_colour = plot_colour;
  session->operations.read_pixel = read_pixel;
}

void draw_span(DrawingSession* session, int x, int y, int count) {
  session->span_writer(session, pixel_address(session, x, y), count, session->pixel_bytes);
}

void draw_column(DrawingSession* session, int x, int y, int count) {
  // Downwards in the picture is backwards in a bottom-up buffer.
  std::ptrdiff_t step = session->bottom_up ? -std::ptrdiff_t{session->row_size} : session->row_size;
  session->span_writer(session, pixel_address(session, x, y), count, step);
}

void blend_pixel_3(BYTE* pixel, const ColourComponents& colour) {
  pixel[2] = static_cast<BYTE>((pixel[2] * colour.inverse + colour.red) / 255);
  pixel[1] = static_cast<BYTE>((pixel[1] * colour.inverse + colour.green) / 255);
  pixel[0] = static_cast<BYTE>((pixel[0] * colour.inverse + colour.blue) / 255);
}

void blend_pixel_4(BYTE* pixel, const ColourComponents& colour) {
  int a = colour.alpha;
  int i = colour.inverse;
  int da = pixel[3];
  auto channel = [&](BYTE& d, int c) {
    if (a == 0) return;
    if (da == 0)
      d = static_cast<BYTE>(c / a);
    else
      d = static_cast<BYTE>((d * i * da + c * 255) / (a * 255 + i * da));
  };
  channel(pixel[2], colour.red);
  channel(pixel[1], colour.green);
  channel(pixel[0], colour.blue);
  pixel[3] = static_cast<BYTE>((da * i + a * 255) / 255);
}
