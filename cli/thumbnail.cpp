#include "cli/thumbnail.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/loader.h"
#include "app/shell.h"
#include "cli/file_identity.h"
#include "cli/load_reports.h"
#include "cli/offscreen_render.h"
#include "cli/offscreen_runtime.h"
#include "cli/standard_streams.h"
#include "cli/system_names.h"
#include "cli/terminal_text.h"
#include "cli/thumbnail_deadline.h"
#include "poster/poster_render.h"
#include "runtime/core/system_reason.h"

namespace {

std::string shown(const std::string& name) { return terminal_text(name_from_system(name)); }

// The loader's own limit on maps for the time of one thumbnail.
struct MapLimit {
  MapLimit() { loader_map_limit_set(THUMBNAIL_MAX_MAPS); }
  ~MapLimit() { loader_map_limit_set(LOADER_DEFAULT_MAP_LIMIT); }
};

// The file as a copy of at most THUMBNAIL_MAX_INPUT_BYTES, so that the loader
// never reads more, however large the file is or grows; false after saying
// why it cannot be had.
bool take_bounded_copy(const std::string& file, StreamInput& input, std::FILE* errors) {
  if (names_a_stream(file)) {
    std::fprintf(errors, "ifs-render: %s: not a regular file\n", shown(file).c_str());
    return false;
  }
  input.copy_at_most(THUMBNAIL_MAX_INPUT_BYTES);
  errno = 0;
  std::FILE* stream = name_open(file, "rb");
  const bool taken = stream && input.take(stream);
  const int reason = errno != 0 ? errno : EIO;
  if (stream) std::fclose(stream);
  if (taken) return true;
  if (input.too_long())
    std::fprintf(errors, "ifs-render: %s: more than %llu KiB, the most a thumbnail reads\n", shown(file).c_str(),
                 static_cast<unsigned long long>(THUMBNAIL_MAX_INPUT_BYTES >> 10));
  else
    std::fprintf(errors, "ifs-render: cannot read %s: %s\n", shown(file).c_str(), std::strerror(reason));
  return false;
}

// The tables to try in turn: the file's own table, or a library's first few.
std::vector<std::u16string> tables_to_try(const std::vector<std::u16string>& names) {
  if (names.empty()) return {u""};
  const auto count = std::min<std::size_t>(names.size(), THUMBNAIL_MAX_TABLES_TRIED);
  return {names.begin(), names.begin() + static_cast<std::ptrdiff_t>(count)};
}

// Loads the first table that can be drawn; false after reporting why the
// first one tried could not.
bool load_first_drawable(const LoadRequest& file, std::FILE* errors) {
  const std::optional<std::vector<std::u16string>> names = loader_table_names(file);
  if (!names) {
    report_load_messages(loader_last_outcome(), errors);
    return false;
  }
  std::optional<LoadOutcome> first_failure;
  for (const std::u16string& name : tables_to_try(*names)) {
    LoadRequest request = file;
    request.table_name = name;
    const LoadOutcome& outcome = load_ifs_request(request);
    const bool drawable = app_state().table.map_count <= THUMBNAIL_MAX_MAPS;
    if (outcome.loaded && drawable) return true;
    if (!first_failure) first_failure = outcome;
  }
  if (!report_load_messages(*first_failure, errors))
    std::fprintf(errors, "ifs-render: %s: no table that can be drawn\n", terminal_text(file.shown_name).c_str());
  return false;
}

PosterSettings thumbnail_settings(int size) {
  PosterSettings settings;
  const std::string side = std::to_string(size);
  poster_option_read(POSTER_SIZE, side + "x" + side, settings);
  poster_option_read(POSTER_MARGIN, "3", settings);
  poster_option_read(POSTER_SHADE, "density", settings);
  poster_option_read(POSTER_POINTS, std::to_string(thumbnail_points(size)), settings);
  poster_settings_finish(settings, true, false, 0, true);
  return settings;
}

int draw_thumbnail(const RenderOptions& options, const LoadRequest& file, std::FILE* errors) {
  if (!shell_start_with_request(std::nullopt)) {
    std::fputs("ifs-render: the window to draw in cannot be opened\n", errors);
    return EXIT_SAVE_FAILED;
  }
  if (!load_first_drawable(file, errors)) return EXIT_LOAD_FAILED;
  const PosterOutput output{name_from_system(options.output), true, std::string("ifs-render ") + IFS_RENDER_VERSION,
                            RemakeNames{"", path_base_name(options.output), path_base_name(options.files.front())}, {}};
  switch (poster_render(app_state().table, app_state().space, thumbnail_settings(options.thumbnail_size), output)) {
    case POSTER_RENDERED:
      return EXIT_RENDERED;
    case POSTER_NO_MEMORY:
      std::fputs("ifs-render: not enough memory for the thumbnail\n", errors);
      return EXIT_SAVE_FAILED;
    case POSTER_NOT_SAVED:
      break;
  }
  std::fprintf(errors, "ifs-render: cannot save the thumbnail to %s: %s\n", shown(options.output).c_str(),
               terminal_text(system_reason_for_last_error()).c_str());
  return EXIT_SAVE_FAILED;
}

}  // namespace

std::int64_t thumbnail_points(int size) {
  const std::int64_t pixels = std::int64_t{size} * size;
  return std::clamp(pixels * THUMBNAIL_POINTS_PER_PIXEL, THUMBNAIL_MIN_POINTS, THUMBNAIL_MAX_POINTS);
}

int thumbnail_render(const RenderOptions& options, std::FILE* errors) {
  const ThumbnailDeadline deadline(THUMBNAIL_DEADLINE_SECONDS);
  if (!deadline.armed()) {
    std::fputs("ifs-render: cannot start the thumbnail's time limit\n", errors);
    return EXIT_SAVE_FAILED;
  }
  const std::string& file = options.files.front();
  if (same_file(file_identity_of_name(options.output), file_identity_of_name(file))) {
    std::fprintf(errors, "ifs-render: the thumbnail %s is the .ifs file being read\n", shown(options.output).c_str());
    return EXIT_USAGE;
  }
  StreamInput input;
  if (!take_bounded_copy(file, input, errors)) return EXIT_LOAD_FAILED;
  const LoadRequest request{name_from_system(input.path()), name_from_system(file), {}};
  const MapLimit limit;
  return on_offscreen_runtime([&] { return draw_thumbnail(options, request, errors); });
}
