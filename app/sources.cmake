# The application's sources: what every system builds, and what differs.
set(IFS_APP_SOURCES
  app_state.cpp
  blank_line_skip.cpp
  chaos_game.cpp
  command_line_messages.cpp
  command_line_renderer.cpp
  ifs_library.cpp
  ifs_table.cpp
  ifs_table_text.cpp
  loader.cpp
  loader_library.cpp
  loader_passes.cpp
  map_choice.cpp
  program_parameters.cpp
  progressive_drawing.cpp
  render_options.cpp
  shell.cpp
  shell_flows.cpp
  shell_state.cpp
  shortened_text.cpp
  stream_copy.cpp
  system_names.cpp
  table_output.cpp
  terminal_text.cpp
)
list(TRANSFORM IFS_APP_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)

set(IFS_APP_POSIX_SOURCES
  standard_streams.cpp
  file_identity.cpp
)
list(TRANSFORM IFS_APP_POSIX_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)

set(IFS_APP_WINDOWS_SOURCES
  windows/console_streams.cpp
  windows/file_identity.cpp
  windows/standard_streams.cpp
)
list(TRANSFORM IFS_APP_WINDOWS_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
