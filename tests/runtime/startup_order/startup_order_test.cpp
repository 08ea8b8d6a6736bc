// The order of the start-up and shut-down steps, read from the platform calls each step makes. This
// program is linked with those calls wrapped (see tests/CMakeLists.txt): every wrapper notes the call
// while a sequence runs and passes it on unchanged.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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

bool recording = false;
std::vector<Call> calls;

void note(std::string what, const void* handle = nullptr) {
  if (recording) calls.push_back({std::move(what), handle});
}

std::string narrow(const char16_t* text) {
  std::string out;
  for (; text != nullptr && *text != 0; ++text) out += static_cast<char>(*text);
  return out;
}

}  // namespace

// The wrappers carry the linker's names of the wrapped functions.
extern "C" {
HMODULE __real__Z16GetModuleHandleWPKDs(LPCWSTR name);
HMODULE __wrap__Z16GetModuleHandleWPKDs(LPCWSTR name) {
  // The entry's first step; the libraries' later look-ups of the module are not steps of their own.
  if (calls.empty()) note(name ? "GetModuleHandleW " + narrow(name) : "GetModuleHandleW of the program");
  return __real__Z16GetModuleHandleWPKDs(name);
}
HANDLE __real__Z10HeapCreatejmm(DWORD options, SIZE_T initial, SIZE_T maximum);
HANDLE __wrap__Z10HeapCreatejmm(DWORD options, SIZE_T initial, SIZE_T maximum) {
  HANDLE heap = __real__Z10HeapCreatejmm(options, initial, maximum);
  note("HeapCreate " + std::to_string(options) + " " + std::to_string(initial) + " " + std::to_string(maximum), heap);
  return heap;
}
BOOL __real__Z11HeapDestroyPv(HANDLE heap);
BOOL __wrap__Z11HeapDestroyPv(HANDLE heap) {
  note("HeapDestroy", heap);
  return __real__Z11HeapDestroyPv(heap);
}
HMODULE __real__Z12LoadLibraryWPKDs(LPCWSTR name);
HMODULE __wrap__Z12LoadLibraryWPKDs(LPCWSTR name) {
  HMODULE module = __real__Z12LoadLibraryWPKDs(name);
  note("LoadLibraryW " + narrow(name), module);
  return module;
}
FARPROC __real__Z14GetProcAddressP11HINSTANCE__PKc(HMODULE module, LPCSTR name);
FARPROC __wrap__Z14GetProcAddressP11HINSTANCE__PKc(HMODULE module, LPCSTR name) {
  note(std::string("GetProcAddress ") + name);
  return __real__Z14GetProcAddressP11HINSTANCE__PKc(module, name);
}
BOOL __real__Z11FreeLibraryP11HINSTANCE__(HMODULE module);
BOOL __wrap__Z11FreeLibraryP11HINSTANCE__(HMODULE module) {
  note("FreeLibrary");
  return __real__Z11FreeLibraryP11HINSTANCE__(module);
}
DWORD __real__Z8TlsAllocv();
DWORD __wrap__Z8TlsAllocv() {
  note("TlsAlloc");
  return __real__Z8TlsAllocv();
}
ATOM __real__Z14RegisterClassAPK9WNDCLASSA(const WNDCLASSA* window_class);
ATOM __wrap__Z14RegisterClassAPK9WNDCLASSA(const WNDCLASSA* window_class) {
  note(std::string("RegisterClassA ") + window_class->lpszClassName);
  return __real__Z14RegisterClassAPK9WNDCLASSA(window_class);
}
HWND __real__Z15CreateWindowExAjPKcS0_jiiiiP6HWND__P7HMENU__P11HINSTANCE__Pv(DWORD, LPCSTR, LPCSTR, DWORD, int, int,
                                                                              int, int, HWND, HMENU, HINSTANCE, LPVOID);
HWND __wrap__Z15CreateWindowExAjPKcS0_jiiiiP6HWND__P7HMENU__P11HINSTANCE__Pv(DWORD ex_style, LPCSTR class_name,
                                                                              LPCSTR title, DWORD style, int x, int y,
                                                                              int width, int height, HWND parent,
                                                                              HMENU menu, HINSTANCE instance,
                                                                              LPVOID parameter) {
  note(std::string("CreateWindowExA ") + class_name);
  return __real__Z15CreateWindowExAjPKcS0_jiiiiP6HWND__P7HMENU__P11HINSTANCE__Pv(
      ex_style, class_name, title, style, x, y, width, height, parent, menu, instance, parameter);
}
UINT __real__Z22RegisterWindowMessageAPKc(LPCSTR name);
UINT __wrap__Z22RegisterWindowMessageAPKc(LPCSTR name) {
  note(std::string("RegisterWindowMessageA ") + name);
  return __real__Z22RegisterWindowMessageAPKc(name);
}
HICON __real__Z9LoadIconWP11HINSTANCE__PKDs(HINSTANCE instance, LPCWSTR name);
HICON __wrap__Z9LoadIconWP11HINSTANCE__PKDs(HINSTANCE instance, LPCWSTR name) {
  note("LoadIconW " + std::to_string(reinterpret_cast<std::uintptr_t>(name)));
  return __real__Z9LoadIconWP11HINSTANCE__PKDs(instance, name);
}
HCURSOR __real__Z11LoadCursorWP11HINSTANCE__PKDs(HINSTANCE instance, LPCWSTR name);
HCURSOR __wrap__Z11LoadCursorWP11HINSTANCE__PKDs(HINSTANCE instance, LPCWSTR name) {
  note("LoadCursorW " + std::to_string(reinterpret_cast<std::uintptr_t>(name)));
  return __real__Z11LoadCursorWP11HINSTANCE__PKDs(instance, name);
}
HGDIOBJ __real__Z14GetStockObjecti(int object);
HGDIOBJ __wrap__Z14GetStockObjecti(int object) {
  note("GetStockObject " + std::to_string(object));
  return __real__Z14GetStockObjecti(object);
}
BOOL __real__Z20InitCommonControlsExPK20INITCOMMONCONTROLSEX(const INITCOMMONCONTROLSEX* classes);
BOOL __wrap__Z20InitCommonControlsExPK20INITCOMMONCONTROLSEX(const INITCOMMONCONTROLSEX* classes) {
  note("InitCommonControlsEx " + std::to_string(classes->dwICC));
  return __real__Z20InitCommonControlsExPK20INITCOMMONCONTROLSEX(classes);
}
HRESULT __real__Z13OleInitializePv(LPVOID reserved);
HRESULT __wrap__Z13OleInitializePv(LPVOID reserved) {
  note("OleInitialize");
  return __real__Z13OleInitializePv(reserved);
}
HRESULT __real__Z12CoInitializePv(LPVOID reserved);
HRESULT __wrap__Z12CoInitializePv(LPVOID reserved) {
  note("CoInitialize");
  return __real__Z12CoInitializePv(reserved);
}
void __real__Z15OleUninitializev();
void __wrap__Z15OleUninitializev() {
  note("OleUninitialize");
  __real__Z15OleUninitializev();
}
BOOL __real__Z13DestroyWindowP6HWND__(HWND window);
BOOL __wrap__Z13DestroyWindowP6HWND__(HWND window) {
  note("DestroyWindow", window);
  return __real__Z13DestroyWindowP6HWND__(window);
}
BOOL __real__Z16UnregisterClassWPKDsP11HINSTANCE__(LPCWSTR name, HINSTANCE instance);
BOOL __wrap__Z16UnregisterClassWPKDsP11HINSTANCE__(LPCWSTR name, HINSTANCE instance) {
  note("UnregisterClassW " + narrow(name));
  return __real__Z16UnregisterClassWPKDsP11HINSTANCE__(name, instance);
}
HRESULT __real__Z14RevokeDragDropP6HWND__(HWND window);
HRESULT __wrap__Z14RevokeDragDropP6HWND__(HWND window) {
  note("RevokeDragDrop", window);
  return __real__Z14RevokeDragDropP6HWND__(window);
}
BOOL __real__Z12DeleteObjectPv(HGDIOBJ object);
BOOL __wrap__Z12DeleteObjectPv(HGDIOBJ object) {
  note("DeleteObject", object);
  return __real__Z12DeleteObjectPv(object);
}
BOOL __real__Z11CloseHandlePv(HANDLE handle);
BOOL __wrap__Z11CloseHandlePv(HANDLE handle) {
  note("CloseHandle", handle);
  return __real__Z11CloseHandlePv(handle);
}
ObjectRegistry* __real__Z15registry_createiiPFvlE(std::int32_t record_size, std::int32_t growth,
                                                  ObjectFreeCallback free);
ObjectRegistry* __wrap__Z15registry_createiiPFvlE(std::int32_t record_size, std::int32_t growth,
                                                  ObjectFreeCallback free) {
  ObjectRegistry* registry = __real__Z15registry_createiiPFvlE(record_size, growth, free);
  note("registry_create growth " + std::to_string(growth), registry);
  return registry;
}
bool __real__Z22image_encoder_registerPK12ImageEncoder(const ImageEncoder* encoder);
bool __wrap__Z22image_encoder_registerPK12ImageEncoder(const ImageEncoder* encoder) {
  note("image_encoder_register " + std::to_string(encoder->format_id));
  return __real__Z22image_encoder_registerPK12ImageEncoder(encoder);
}
}

namespace {

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
  recording = true;
  ASSERT_TRUE(program_begin());
  recording = false;
  std::vector<Named> names = {{main_heap(), "main heap"},         {string_heap(), "string heap"},
                              {memory_heap(), "memory heap"},     {image_registry(), "images"},
                              {window_registry(), "windows"},     {gadget_registry(), "gadgets"},
                              {file_registry(), "files"},         {menu_registry(), "menus"},
                              {post_event_window(), "post-event window"}};
  bool msimg32_loaded = false;
  for (const Call& call : calls) msimg32_loaded |= call.what == "LoadLibraryW msimg32.dll" && call.handle != nullptr;
  std::vector<std::string> startup = {
      "GetModuleHandleW of the program",
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

  recording = true;
  EXPECT_EQ(program_end(), 0);
  recording = false;
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
