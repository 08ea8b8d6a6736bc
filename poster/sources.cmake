# The poster renderer's sources.
set(IFS_POSTER_SOURCES
  accumulation.cpp
  attractor_fit.cpp
  colour_map_tables.cpp
  colour_maps.cpp
  lane_paths.cpp
  lanes_avx2.cpp
  lanes_avx512.cpp
  lanes_sse2.cpp
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
# The lockstep players are plain loops over lanes: they become vectors only
# where the compiler vectorises with its full cost model (GCC needs to be
# told; clang has no such switch).
set_source_files_properties(
  ${CMAKE_CURRENT_LIST_DIR}/lanes_sse2.cpp ${CMAKE_CURRENT_LIST_DIR}/lanes_avx2.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lanes_avx512.cpp
  PROPERTIES COMPILE_OPTIONS "-O3;$<$<CXX_COMPILER_ID:GNU>:-fvect-cost-model=dynamic>;-fno-trapping-math")
