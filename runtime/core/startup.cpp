// Libraries with no step of their own in this program are noted where they
// belong in the sequence.
#include "runtime/core/startup.h"

#include "runtime/core/memory.h"
#include "runtime/core/string_library.h"
#include "runtime/file/file.h"
#include "runtime/graphics/alpha_blend_entry.h"
#include "runtime/graphics/canvas.h"
#include "runtime/graphics/drawing_session.h"
#include "runtime/graphics/image.h"
#include "runtime/graphics/png_encoder.h"
#include "runtime/gui/drop.h"
#include "runtime/gui/gadget.h"
#include "runtime/gui/menu.h"
#include "runtime/gui/post_event.h"
#include "runtime/gui/requester.h"
#include "runtime/gui/window.h"

bool runtime_startup() {
  if (!string_library_init()) return false;
  if (!memory_library_init()) {
    string_library_end();
    return false;
  }
  alpha_blend_entry_load();
  image_library_init();
  drawing_library_init();
  // The array and map libraries come here: nothing in this program declares
  // array or map fields, so they have nothing to fill.
  post_event_init();
  window_library_init();
  gadget_library_init();
  drop_library_init();
  file_library_init();
  menu_library_init();
  // The command-line library's state is program_parameter's cursor, which the
  // application's start-up puts at 0.
  requester_library_init();
  png_encoder_register();
  return true;
}

void runtime_shutdown() {
  file_library_free();
  drop_library_shutdown();
  // The gadget library's auxiliary window would go here; this program never makes one.
  window_library_shutdown();
  post_event_shutdown();
  // The canvas module state lives in the main heap, which goes next: forget it
  // so that a later start-up makes it afresh.
  canvas_module_shutdown();
  image_free_all();
  alpha_blend_entry_release();
  memory_library_end();
}
