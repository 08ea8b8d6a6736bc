# The poster renderer's sources.
set(IFS_POSTER_SOURCES
  accumulation.cpp
  attractor_fit.cpp
  colour_map_tables.cpp
  colour_maps.cpp
  parallel_shares.cpp
  png_rows_writer.cpp
  point_streams.cpp
  poster_render.cpp
  poster_settings.cpp
  remake_command.cpp
  sample_buffer.cpp
  tone_map.cpp
)
list(TRANSFORM IFS_POSTER_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
