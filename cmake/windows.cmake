# The Windows build (MinGW-w64, cross or native): the runtime and the
# application over the system's kernel32, advapi32, user32, gdi32, comdlg32, ole32 and
# shell32. From platform/ only what Windows lacks is compiled: the interface
# ids, and platform/windows_build/ (the Linux-side hooks, and timers and message
# boxes without a display). libpng is found through IFS_PNG_PREFIX.
set(IFS_PNG_PREFIX "" CACHE PATH "Folder holding include/png.h and lib/libpng.a built for the target")

include(${CMAKE_SOURCE_DIR}/platform/sources.cmake)
include(${CMAKE_SOURCE_DIR}/runtime/sources.cmake)
include(${CMAKE_SOURCE_DIR}/poster/sources.cmake)
include(${CMAKE_SOURCE_DIR}/app/sources.cmake)
include(${CMAKE_SOURCE_DIR}/cli/sources.cmake)
set(IFS_WINDOWS_SOURCES ${IFS_RUNTIME_SOURCES} ${IFS_POSTER_SOURCES} ${IFS_APP_SOURCES} ${IFS_CLI_SOURCES}
  ${IFS_CLI_WINDOWS_SOURCES}
  ${IFS_WINDOWS_PLATFORM_SOURCES})

add_library(ifs_lib STATIC ${IFS_WINDOWS_SOURCES})
target_include_directories(ifs_lib PUBLIC ${CMAKE_SOURCE_DIR} ${IFS_PNG_PREFIX}/include)
target_link_libraries(ifs_lib PUBLIC ${IFS_PNG_PREFIX}/lib/libpng.a z
  user32 gdi32 comdlg32 ole32 shell32 comctl32 uuid advapi32 kernel32)
# Without the C and C++ runtimes inside, the exe fails silently under Wine.
target_link_options(ifs_lib PUBLIC -static -static-libgcc -static-libstdc++)

# A windows-subsystem program, so Explorer opens no console for it; wmain
# reads the wide command line.
add_executable(ifs-render ${IFS_CLI_WINDOWS_ENTRY})
target_link_libraries(ifs-render PRIVATE ifs_lib)
target_link_options(ifs-render PRIVATE -mwindows -municode)

# Platform tests that exercise Win32 through the API alone, built against the
# system's Win32 (under Wine: a second, independent implementation). GoogleTest
# is built from the sources Debian's libgtest-dev installs.
option(IFS_WINDOWS_PLATFORM_TESTS "Build the platform tests that run against the system's Win32" OFF)
if(IFS_WINDOWS_PLATFORM_TESTS)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(IFS_WINDOWS_PLATFORM_TEST_SOURCES
    tests/platform/kernel32/heap_test.cpp
    tests/platform/kernel32/file_io_test.cpp
    tests/platform/kernel32/file_system_test.cpp
    tests/platform/kernel32/code_pages_test.cpp
    tests/platform/kernel32/threads_and_modules_test.cpp
    tests/platform/kernel32/memory_status_test.cpp
    tests/platform/kernel32/temporary_folder.cpp
    tests/platform/gdi32/bit_blt_test.cpp
    tests/platform/gdi32/fill_test.cpp
    tests/platform/gdi32/object_info_test.cpp
    tests/platform/gdi32/device_context_test.cpp
    tests/platform/gdi32/icon_test.cpp
    tests/platform/ole32/initialization_test.cpp
    tests/platform/ole32/storage_medium_test.cpp
    tests/platform/user32/message_queue_test.cpp
    tests/platform/user32/painting_test.cpp
    tests/platform/user32/window_lifecycle_test.cpp
    tests/platform/user32/properties_and_subclassing_test.cpp
    tests/platform/user32/accelerators_and_menus_test.cpp
    tests/platform/user32/menu_keys_test.cpp
    tests/platform/user32/character_case_test.cpp
    tests/platform/user32/input_order_test.cpp
    tests/platform/user32/input_routing_test.cpp
    tests/platform/offscreen/offscreen_test.cpp
    tests/platform/ole32/drop_registration_test.cpp
    tests/platform/ole32/drag_data_object_test.cpp
    # The requesters' folder split, given the system's own path forms.
    tests/runtime/gui/requester_paths_test.cpp
    # Our data objects for drags from the display, read through the system's
    # global memory, ReleaseStgMedium and DragQueryFileW.
    platform/ole32/drag_data_object.cpp
    platform/ole32/drag_data_blocks.cpp
    platform/ole32/format_enumerator.cpp
    tests/support/window_session.cpp
    tests/support/window_session_windows.cpp
    tests/support/gdi_bitmaps.cpp)
  list(TRANSFORM IFS_WINDOWS_PLATFORM_TEST_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
  add_executable(windows_platform_tests ${IFS_WINDOWS_PLATFORM_TEST_SOURCES})
  target_include_directories(windows_platform_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(windows_platform_tests PRIVATE ifs_lib GTest::gtest_main)
endif()
