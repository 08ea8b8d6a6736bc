// A file manager's thumbnail of a .ifs file: `ifs-render --thumbnail SIZE
// FILE.ifs OUT.png`, as the installed thumbnailer entry runs it. The picture
// is a SIZE x SIZE PNG shaded by density on a dark background; a library
// shows its first table that can be drawn. File managers run it on every
// file a folder holds, so what any file can make it do is bounded: the bytes
// read, the maps, the points, the size and the time.
#pragma once

#include <cstdint>
#include <cstdio>

#include "cli/render_options.h"

inline constexpr std::uint64_t THUMBNAIL_MAX_INPUT_BYTES = 1 << 20;
inline constexpr std::int64_t THUMBNAIL_MAX_MAPS = 4096;
// Tables of a library tried before giving up.
inline constexpr int THUMBNAIL_MAX_TABLES_TRIED = 8;
inline constexpr std::int64_t THUMBNAIL_POINTS_PER_PIXEL = 16;
inline constexpr std::int64_t THUMBNAIL_MIN_POINTS = 200000;
inline constexpr std::int64_t THUMBNAIL_MAX_POINTS = 4000000;
// Wall-clock time after which the process ends, leaving no picture.
inline constexpr int THUMBNAIL_DEADLINE_SECONDS = 10;

// The points a thumbnail of that side plays.
std::int64_t thumbnail_points(int size);

// Draws options.files[0] into options.output (MODE_THUMBNAIL); the exit
// code. Nothing is written unless the whole picture is; why not goes to
// `errors`.
int thumbnail_render(const RenderOptions& options, std::FILE* errors);
