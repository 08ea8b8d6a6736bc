# The fuzz targets, one program each, and what they share.
set(IFS_FUZZ_TARGETS
  bmp_encoder_fuzz
  command_line_fuzz
  ifs_loader_fuzz
  png_encoder_fuzz
  poster_render_fuzz
  standard_input_fuzz
  table_names_fuzz
  table_writer_fuzz
  text_to_float_fuzz
  thumbnail_fuzz
)
set(IFS_FUZZ_SHARED_SOURCES
  bmp_reading.cpp
  fuzz_input.cpp
  fuzz_program.cpp
  fuzz_shell.cpp
  png_reading.cpp
)
list(TRANSFORM IFS_FUZZ_SHARED_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)

# The loops every input runs through many times over (a load measures 10102
# chaos steps, clears and repaints a 600 x 600 canvas; a poster render
# measures a million steps and plays its points), whose work does not depend
# on the input beyond the table.
set(IFS_FUZZ_HOT_LOOP_SOURCES
  app/chaos_game.cpp
  app/progressive_drawing.cpp
  platform/gdi32/batch_limit.cpp
  platform/gdi32/bit_blt.cpp
  platform/gdi32/bitmap.cpp
  platform/gdi32/bitmap_create.cpp
  platform/gdi32/brush_pen.cpp
  platform/gdi32/device_context.cpp
  platform/gdi32/dib_bits.cpp
  platform/gdi32/fill.cpp
  platform/gdi32/gdi_object.cpp
  platform/gdi32/icon.cpp
  platform/gdi32/object_info.cpp
  platform/gdi32/pixel_view.cpp
  platform/gdi32/stock_objects.cpp
  platform/user32/client_surfaces.cpp
  platform/user32/painting.cpp
  poster/accumulation.cpp
  poster/lane_paths.cpp
  poster/lanes_avx2.cpp
  poster/lanes_avx512.cpp
  poster/lanes_sse2.cpp
  poster/attractor_fit.cpp
  poster/point_streams.cpp
  poster/tone_map.cpp
  runtime/core/random.cpp
  runtime/graphics/canvas.cpp
  runtime/graphics/canvas_attributes.cpp
  runtime/graphics/canvas_output.cpp
  runtime/graphics/canvas_proc.cpp
  runtime/graphics/draw_box.cpp
  runtime/graphics/draw_image.cpp
  runtime/graphics/drawing_session.cpp
  runtime/graphics/pixel_writers.cpp
)
list(TRANSFORM IFS_FUZZ_HOT_LOOP_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
