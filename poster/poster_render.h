// The poster renderer: plays the loaded table's points in chunks on every
// core, counts them per sample, shades the samples and writes the picture
// (PNG at 8 or 16 bits, RGB or RGBA, with the command that makes it again
// in a text chunk, or 24-bit BMP).
#pragma once

#include <string>

#include "app/ifs_table.h"
#include "app/space_maps.h"
#include "poster/accumulation.h"
#include "poster/poster_settings.h"
#include "poster/remake_command.h"

enum PosterResult { POSTER_RENDERED, POSTER_NO_MEMORY, POSTER_NOT_SAVED };

struct PosterOutput {
  std::u16string file_name;
  bool png = true;
  std::string software;     // the PNG's "Software" text
  RemakeNames names;        // for the PNG's "Comment", the command that makes it again
  AccumulationProgress progress;  // told the points counted so far
};

PosterResult poster_render(const IfsTable& table, const PosterSettings& settings, const PosterOutput& output);
// The loaded table as the loader left it: a 3-D one (`space` active) has its
// weights in `table` and its maps in `space`, and is drawn as its projection.
PosterResult poster_render(const IfsTable& table, const SpaceMaps& space, const PosterSettings& settings,
                           const PosterOutput& output);

// The threads --threads asks for: every core when it was not given.
int poster_threads(const PosterSettings& settings);
