// Arbitrary bytes as a .ifs file, through the whole road a file takes in the
// program: the loader (both passes, the messages it shows), the measurement
// of the table it makes, one batch of points drawn on the canvas, and the save
// of the picture. The runtime and the shell start once for the whole session
// over the headless display; each input is written to one scratch file and
// loaded, so thousands of inputs run every second.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/loader.h"
#include "app/progressive_drawing.h"
#include "app/shell.h"
#include "fuzz/fuzz_program.h"
#include "fuzz/fuzz_shell.h"
#include "platform/backend/headless/headless_state.h"
#include "runtime/graphics/encoder_table.h"

namespace {

// Loads that change the table are drawn and saved only this often: drawing
// 20001 points and writing a picture cost far more than a load, and do not
// depend on the input beyond the table.
constexpr unsigned DRAW_EVERY = 64;

std::string scratch_path;
std::u16string scratch_name;
std::u16string picture_name;
unsigned loads = 0;

std::u16string wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  scratch_path = fuzz_scratch_path("ifs_loader.ifs");
  scratch_name = wide(scratch_path);
  picture_name = wide(fuzz_scratch_path("ifs_loader.bmp"));
  fuzz_shell_start();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!fuzz_write_file(scratch_path, data, size)) return 0;
  load_ifs(scratch_name);
  // Every failure shows a message; a load that shows none replaced the table.
  const bool loaded = headless_state().shown.empty();
  if (loaded && ++loads % DRAW_EVERY == 1) {
    draw_batch();
    shell_save_picture(picture_name, FORMAT_BMP);
  }
  fuzz_shell_idle();
  return 0;
}
