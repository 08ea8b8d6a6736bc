// The order of the start-up and shut-down steps, read from the platform calls each step makes: the
// platform layer tells a watcher about each call, and the test notes them while a sequence runs.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/call_watch.h"
#include "platform/win32/commctrl.h"
#include "platform/win32/gdi32.h"
#include "platform/win32/kernel32.h"
#include "platform/win32/ole32.h"
#include "platform/win32/user32.h"
#include "runtime/core/heaps.h"
#include "runtime/core/memory.h"
#include "runtime/core/registry.h"
#include "runtime/core/startup.h"
#include "runtime/core/string_library.h"
#include "runtime/file/file.h"
#include "runtime/file/file_object.h"
#include "runtime/graphics/canvas.h"
#include "runtime/graphics/encoder_table.h"
#include "runtime/graphics/image.h"
#include "runtime/gui/drop.h"
#include "runtime/gui/drop_effect.h"
#include "runtime/gui/drop_target.h"
#include "runtime/gui/gadget.h"
#include "runtime/gui/menu.h"
#include "runtime/gui/post_event.h"
#include "runtime/gui/window.h"

namespace {

struct Call {
  std::string what;
  const void* handle;  // the heap, window or object the call is about, named once the run is known
};

std::vector<Call> calls;

void note(const std::string& what, const void* handle) {
  // The entry's first step; the libraries' later look-ups of the module are not steps of their own.
  if (what.starts_with("GetModuleHandleW") && !calls.empty()) return;
  calls.push_back({what, handle});
}

struct Named {
  const void* handle;
  const char* name;
};

// The calls as "what [name]", each handle replaced by the name it has in this run (unknown handles
// stay unnamed).
std::vector<std::string> described(const std::vector<Named>& names) {
  std::vector<std::string> out;
  for (const Call& call : calls) {
    std::string line = call.what;
    for (const Named& named : names)
      if (call.handle != nullptr && call.handle == named.handle) line += std::string(" [") + named.name + "]";
    out.push_back(line);
  }
  return out;
}

// Start-up: the entry's two steps, then string, memory, image (both parts), drawing, event, window,
// gadget, drag-and-drop, file, menu and requester libraries and the PNG encoder. Where "msimg32.dll"
// cannot be loaded, the look-up of "AlphaBlend" and the FreeLibrary at the end do not happen.
// Shut-down: files, OLE, windows (the canvas's drop target and back buffer go with window 0, before its
// class), the post-event window, images, the memory heap; then the entry's string and main heaps.
TEST(StartupOrder, StepsRunInTheirFixedOrder) {
  call_watcher_set(note);
  bool started = program_begin();
  call_watcher_set(nullptr);
  ASSERT_TRUE(started);
  std::vector<Named> names = {{main_heap(), "main heap"},         {string_heap(), "string heap"},
                              {memory_heap(), "memory heap"},     {image_registry(), "images"},
                              {window_registry(), "windows"},     {gadget_registry(), "gadgets"},
                              {file_registry(), "files"},         {menu_registry(), "menus"},
                              {post_event_window(), "post-event window"}};
  bool msimg32_loaded = false;
  for (const Call& call : calls) msimg32_loaded |= call.what == "LoadLibraryW msimg32.dll" && call.handle != nullptr;
  std::vector<std::string> startup = {
      "GetModuleHandleW",
      "HeapCreate 0 4096 0 [main heap]",
      "HeapCreate 0 4096 0 [string heap]",
      "HeapCreate 0 4096 0 [memory heap]",
      "LoadLibraryW msimg32.dll",
      "registry_create growth 16 [images]",
      "TlsAlloc",
      "RegisterClassA PostEventClass",
      "CreateWindowExA PostEventClass",
      "RegisterWindowMessageA ZQ_PostEventMessage",
      "registry_create growth 16 [windows]",
      "LoadIconW 1",
      "LoadCursorW 32512",
      "GetStockObject 17",
      "registry_create growth 50 [gadgets]",
      "InitCommonControlsEx 2888",
      "OleInitialize",
      "registry_create growth 16 [files]",
      "registry_create growth 16 [menus]",
      "InitCommonControlsEx 2888",
      "CoInitialize",
      "image_encoder_register 4673104",
  };
  if (msimg32_loaded) startup.insert(startup.begin() + 5, "GetProcAddress AlphaBlend");
  EXPECT_EQ(described(names), startup);
  calls.clear();

  const std::filesystem::path path = std::filesystem::temp_directory_path() / "startup_order_test.txt";
  std::ofstream(path) << "line\n";
  HANDLE file = reinterpret_cast<HANDLE>(file_open_read(2, path.u16string().c_str()));
  ASSERT_NE(file, nullptr);
  ASSERT_NE(window_open(0, 0, 0, 60, 60, u"order", 0xCA0001, nullptr), 0);
  ASSERT_NE(canvas_create(0, 0, 0, 60, 60), 0);
  gadget_drop_enable(0, DROP_FILES, ACTION_COPY);
  ASSERT_NE(image_create(0, 8, 8), 0);
  names.push_back({file, "file 2"});
  names.push_back({window_handle(0), "window 0"});
  names.push_back({canvas_lookup(0)->gadget.handle, "canvas 0"});
  names.push_back({canvas_lookup(0)->back_buffer, "canvas back buffer"});
  names.push_back({image_lookup(0)->bitmap, "image 0"});

  call_watcher_set(note);
  int status = program_end();
  call_watcher_set(nullptr);
  EXPECT_EQ(status, 0);
  std::vector<std::string> shutdown = {
      "CloseHandle [file 2]",
      "OleUninitialize",
      "DestroyWindow [window 0]",
      "DeleteObject [canvas back buffer]",
      "RevokeDragDrop [canvas 0]",
      "UnregisterClassW WindowClass_0",
      "DestroyWindow [post-event window]",
      "DeleteObject [image 0]",
      "HeapDestroy [memory heap]",
      "HeapDestroy [string heap]",
      "HeapDestroy [main heap]",
  };
  if (msimg32_loaded) shutdown.insert(shutdown.begin() + 8, "FreeLibrary");
  EXPECT_EQ(described(names), shutdown);
  std::filesystem::remove(path);
}

}  // namespace
