// What the program entry does before the application starts and after it ends.
#include <cstdio>

#include "platform/win32/kernel32.h"
#include "runtime/core/block_pool.h"
#include "runtime/core/heaps.h"
#include "runtime/core/startup.h"
#include "runtime/core/string_library.h"

namespace {

HINSTANCE instance = nullptr;

}  // namespace

bool program_begin() {
  instance = GetModuleHandleW(nullptr);
  if (main_heap_create() && runtime_startup()) return true;
  std::fputs("ifs-render: not enough memory to start (a private heap cannot be created)\n", stderr);
  main_heap_destroy();
  instance = nullptr;
  return false;
}

int program_end() {
  runtime_shutdown();
  string_library_end();
  // Shared block pools live in the main heap and go with it.
  shared_block_pools_forget();
  main_heap_destroy();
  instance = nullptr;
  return 0;
}

HINSTANCE program_instance() { return instance; }
