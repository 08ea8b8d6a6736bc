// Arbitrary bytes as a .ifs file: through the loader (both passes, the
// messages it shows), the measurement of the table it makes, and one batch of
// points drawn on the canvas. The program runs over the headless display for
// the whole session; each input is written to one scratch file and loaded.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/loader.h"
#include "app/progressive_drawing.h"
#include "app/shell.h"
#include "platform/backend/headless/headless.h"
#include "platform/backend/headless/headless_state.h"
#include "runtime/core/startup.h"

namespace {

std::string scratch_path;
std::u16string scratch_name;

bool write_scratch(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(scratch_path.c_str(), "wb");
  if (!file) return false;
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

}  // namespace

void remove_scratch() { std::remove(scratch_path.c_str()); }

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  scratch_path = "/tmp/ifs_loader_fuzz_" + std::to_string(getpid()) + ".ifs";
  scratch_name.assign(scratch_path.begin(), scratch_path.end());
  std::atexit(remove_scratch);
  backend_select(nullptr);
  headless_reset();
  if (!program_begin() || !shell_start_with(std::nullopt)) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!write_scratch(data, size)) return 0;
  load_ifs(scratch_name);
  draw_batch();
  // The record of message boxes shown would otherwise grow with every input.
  headless_state().shown.clear();
  return 0;
}
