# The command-line tool's sources: what every system builds, then what each
# system has of its own (standard streams, file identity, the entry).
set(IFS_CLI_SOURCES
  all_tables.cpp
  code_page_text.cpp
  ifs_table_text.cpp
  load_reports.cpp
  offscreen_render.cpp
  points_progress.cpp
  render_options.cpp
  stream_copy.cpp
  table_file_names.cpp
  table_output.cpp
  temporary_folder.cpp
  terminal_text.cpp
  thumbnail.cpp
  thumbnail_deadline.cpp
)
list(TRANSFORM IFS_CLI_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)

set(IFS_CLI_POSIX_SOURCES
  posix/file_identity.cpp
  posix/standard_streams.cpp
  posix/system_names.cpp
)
list(TRANSFORM IFS_CLI_POSIX_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
set(IFS_CLI_POSIX_ENTRY ${CMAKE_CURRENT_LIST_DIR}/posix/main.cpp)

set(IFS_CLI_WINDOWS_SOURCES
  windows/console_streams.cpp
  windows/file_identity.cpp
  windows/standard_streams.cpp
  windows/system_names.cpp
)
list(TRANSFORM IFS_CLI_WINDOWS_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
set(IFS_CLI_WINDOWS_ENTRY ${CMAKE_CURRENT_LIST_DIR}/windows/main.cpp)
