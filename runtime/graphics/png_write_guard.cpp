#include "runtime/graphics/png_write_guard.h"

#include <csetjmp>

namespace {

void fail_silently(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void ignore_warning(png_structp, png_const_charp) {}

struct PngStructs {
  png_structp png;
  png_infop info;
};

// Only plain values live in this frame, and the structures outside it, so a
// jump back finds them as they were last stored.
bool run_guarded(PngStructs* structs, PngGuardedWork work, void* context) {
  structs->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, fail_silently, ignore_warning);
  if (structs->png == nullptr) return false;
  // The jump buffer's size is fixed by the first call: this platform's jmp_buf.
  std::jmp_buf* jump = png_set_longjmp_fn(structs->png, longjmp, sizeof(std::jmp_buf));
  if (jump == nullptr || setjmp(*jump) != 0) {
    png_destroy_write_struct(&structs->png, &structs->info);
    return false;
  }
  structs->info = png_create_info_struct(structs->png);
  if (structs->info == nullptr) png_error(structs->png, "no info structure");
  work(structs->png, structs->info, context);
  png_destroy_write_struct(&structs->png, &structs->info);
  return true;
}

}  // namespace

bool png_write_guarded(PngGuardedWork work, void* context) {
  PngStructs structs{};
  return run_guarded(&structs, work, context);
}
