// Arbitrary bytes as a .ifs file, through the whole road a file takes in the
// program: the loader (both passes, the messages it shows), the measurement
// of the table it makes, one batch of points drawn on the canvas, and the save
// of the picture. The runtime and the shell start once for the whole session
// over the headless display; each input is written to one scratch file and
// loaded, so thousands of inputs run every second.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/loader.h"
#include "fuzz/fuzz_input.h"
#include "app/progressive_drawing.h"
#include "app/shell.h"
#include "platform/backend/headless/headless.h"
#include "platform/backend/headless/headless_state.h"
#include "runtime/core/startup.h"
#include "runtime/graphics/encoder_table.h"
#include "runtime/gui/event_loop.h"

namespace {

// Loads that change the table are drawn and saved only this often: drawing
// 20001 points and writing a picture cost far more than a load, and do not
// depend on the input beyond the table.
constexpr unsigned DRAW_EVERY = 64;

std::string scratch_path;
std::u16string scratch_name;
std::u16string picture_name;
unsigned loads = 0;

bool write_scratch(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(scratch_path.c_str(), "wb");
  if (!file) return false;
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

void remove_scratch() {
  std::remove(scratch_path.c_str());
  std::remove(std::string(picture_name.begin(), picture_name.end()).c_str());
}

std::u16string wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const std::string stem = fuzz_scratch_folder() + "/ifs_loader_fuzz_" + std::to_string(getpid());
  scratch_path = stem + ".ifs";
  scratch_name = wide(scratch_path);
  picture_name = wide(stem + ".bmp");
  std::atexit(remove_scratch);
  backend_select(nullptr);
  headless_reset();
  if (!program_begin() || !shell_start_with(std::nullopt)) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!write_scratch(data, size)) return 0;
  load_ifs(scratch_name);
  // Every failure shows a message; a load that shows none replaced the table.
  const bool loaded = headless_state().shown.empty();
  if (loaded && ++loads % DRAW_EVERY == 1) {
    draw_batch();
    shell_save_picture(picture_name, FORMAT_BMP);
  }
  // What the event loop would take in between: repaints and the like, which
  // would otherwise pile up. The clock stands still, so no timer falls due.
  while (event_wait(0) != 0) {
  }
  // The record of message boxes shown would otherwise grow with every input;
  // emptied within the run, so that the run frees what it allocated.
  headless_state().shown.clear();
  return 0;
}
