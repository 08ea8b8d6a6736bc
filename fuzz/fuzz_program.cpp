#include "fuzz/fuzz_program.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "cli/offscreen_render.h"

namespace {

std::vector<std::string>& scratch_files() {
  static std::vector<std::string> files;
  return files;
}

void remove_scratch_files() {
  for (const std::string& file : scratch_files()) std::remove(file.c_str());
}

// Everything written to a memory stream, which is then closed.
std::string take_memory_stream(std::FILE* stream, char*& buffer, std::size_t& size) {
  std::fclose(stream);
  std::string text(buffer ? buffer : "", size);
  std::free(buffer);
  return text;
}

}  // namespace

void fuzz_check(bool condition) {
  if (!condition) std::abort();
}

std::string fuzz_scratch_folder() {
  struct stat status {};
  return ::stat("/dev/shm", &status) == 0 && S_ISDIR(status.st_mode) ? "/dev/shm" : "/tmp";
}

std::string fuzz_scratch_path(const std::string& name) {
  if (scratch_files().empty()) std::atexit(remove_scratch_files);
  const std::string path = fuzz_scratch_folder() + "/fuzz_" + std::to_string(getpid()) + "_" + name;
  scratch_files().push_back(path);
  return path;
}

bool fuzz_write_file(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

bool fuzz_write_file(const std::string& path, const std::string& bytes) {
  return fuzz_write_file(path, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

std::string fuzz_read_file(const std::string& path) {
  std::string bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return bytes;
  char block[4096];
  for (std::size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;) bytes.append(block, got);
  std::fclose(file);
  return bytes;
}

ProgramRun fuzz_run_program(const std::vector<std::string>& arguments, std::FILE* in) {
  char* out_buffer = nullptr;
  char* error_buffer = nullptr;
  std::size_t out_size = 0, error_size = 0;
  std::FILE* out = open_memstream(&out_buffer, &out_size);
  std::FILE* errors = open_memstream(&error_buffer, &error_size);
  std::FILE* nothing = in ? nullptr : std::fopen("/dev/null", "rb");
  fuzz_check(out && errors && (in || nothing));
  ProgramRun run;
  run.status = ifs_render_main(arguments, in ? in : nothing, out, errors);
  if (nothing) std::fclose(nothing);
  run.out = take_memory_stream(out, out_buffer, out_size);
  run.errors = take_memory_stream(errors, error_buffer, error_size);
  return run;
}

std::string fuzz_replace_all(std::string text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}
