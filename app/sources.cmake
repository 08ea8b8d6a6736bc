# The desktop program's sources: the table, colours and chaos game, the
# progressive drawing, the loader with its block reader, and the shell.
set(IFS_APP_SOURCES
  app_state.cpp
  blank_line_skip.cpp
  chaos_game.cpp
  ifs_library.cpp
  ifs_table.cpp
  loader.cpp
  loader_library.cpp
  loader_passes.cpp
  map_choice.cpp
  number_field.cpp
  program_parameters.cpp
  progressive_drawing.cpp
  shell.cpp
  shell_flows.cpp
  shortened_text.cpp
  space_maps.cpp
)
list(TRANSFORM IFS_APP_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
