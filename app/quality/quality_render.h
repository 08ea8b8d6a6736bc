// The quality renderer: plays the loaded table's points in chunks on every
// core, counts them per sample, shades the samples and writes the picture
// (PNG at 8 or 16 bits with its making in a text chunk, or 24-bit BMP).
#pragma once

#include <string>

#include "app/ifs_table.h"
#include "app/quality/quality_settings.h"

enum QualityResult { QUALITY_RENDERED, QUALITY_NO_MEMORY, QUALITY_NOT_SAVED };

struct QualityOutput {
  std::u16string file_name;
  bool png = true;
  std::string software;     // the PNG's "Software" text
  std::string source_name;  // the .ifs file, named in the PNG's "Comment" text
};

QualityResult quality_render(const IfsTable& table, const QualitySettings& settings, const QualityOutput& output);

// The threads --threads asks for: every core when it was not given.
int quality_threads(const QualitySettings& settings);
