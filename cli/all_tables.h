// --all OUTDIR: every table of a library drawn and saved as OUTDIR/NAME.png
// (or .bmp), each exactly as `--output OUTDIR/NAME.png --name NAME` saves it,
// with one progress line per table on standard error. A seven-number file is
// one table, named after the file.
#pragma once

#include <cstdio>

#include "cli/render_options.h"

// EXIT_RENDERED when every table was written, EXIT_SAVE_FAILED when one or
// more were not (each is named), EXIT_LOAD_FAILED when the file cannot be
// read at all.
int render_all_tables(const RenderOptions& options, std::FILE* in, std::FILE* errors);
