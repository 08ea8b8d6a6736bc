// Steps of libraries that are not part of the core are marked by name where
// they belong in the sequence.
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
  // String library: string heap and the 16-byte work buffer.
  if (!string_library_init()) return false;
  // Memory library: memory heap.
  if (!memory_library_init()) {
    string_library_end();
    return false;
  }
  // Image library, part 1: LoadLibraryW "msimg32.dll", GetProcAddress "AlphaBlend".
  alpha_blend_entry_load();
  // Image library, part 2: image registry, growth 16, image_free.
  image_library_init();
  // Drawing library: TlsAlloc for the current drawing session.
  drawing_library_init();
  // Array library, then map library: their structure-field handler entries.
  //   Nothing in this program declares array or map fields, so there is nothing to fill.
  // Event library: post_event_init ("PostEventClass", the hidden window,
  //   "ZQ_PostEventMessage", EventState with the event pool).
  post_event_init();
  // Window library: window_library_init (window registry, growth 16, window_close;
  //   its state; application icon 1 and the arrow cursor).
  window_library_init();
  // Gadget library: gadget_library_init (default font, gadget registry growth 50,
  //   its state, InitCommonControlsEx with 0x0B48).
  gadget_library_init();
  // Drag-and-drop library: drop_library_init (OleInitialize).
  drop_library_init();
  // File library: file registry, growth 16, file_close.
  file_library_init();
  // Menu library: menu_library_init (menu registry, growth 16, menu_free; MenuBuilder).
  menu_library_init();
  // Command-line library: its state.
  // Requester library: requester_library_init (InitCommonControlsEx 0x0B48, CoInitialize).
  requester_library_init();
  // PNG encoder: png_encoder_register.
  png_encoder_register();
  return true;
}

void runtime_shutdown() {
  // File library: registry_free_all on the files (each flushed and closed).
  file_library_free();
  // Drag-and-drop library: OleUninitialize.
  drop_library_shutdown();
  // Gadget library: DestroyWindow on its auxiliary window, if any.
  // Window library: registry_free_all on the windows.
  window_library_shutdown();
  // Event library: DestroyWindow on the post-event window.
  post_event_shutdown();
  // The canvas module state lives in the main heap, which goes next: forget it
  // so that a later start-up makes it afresh.
  canvas_module_shutdown();
  // Image library: registry_free_all on the images; FreeLibrary "msimg32.dll".
  image_free_all();
  alpha_blend_entry_release();
  // Memory library: the memory heap goes with every block still in it.
  memory_library_end();
}
