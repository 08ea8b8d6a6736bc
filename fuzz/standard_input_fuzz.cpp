// The standard-input reader: any bytes come in on standard input, as a pipe,
// as a regular file, or as a regular file of which a part was already read,
// and `ifs-render --write-ifs - -` must do exactly what it does with a file
// holding the same bytes (for a file read part way: the bytes left) given by
// name: the same exit status, the same table written, and the same messages
// with "-" for the file's name.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_program.h"

namespace {

enum InputKind { FROM_PIPE, FROM_FILE, FROM_FILE_READ_PART_WAY, INPUT_KINDS };

std::string stream_path;
std::string named_path;

// A pipe already holding the bytes, its writing end closed: every input fits
// in the pipe's buffer, so nothing waits.
std::FILE* pipe_holding(const std::string& bytes) {
  int ends[2];
  if (::pipe(ends) != 0) return nullptr;
  ::fcntl(ends[1], F_SETPIPE_SZ, 1 << 16);
  const bool written = ::write(ends[1], bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  ::close(ends[1]);
  std::FILE* stream = written ? ::fdopen(ends[0], "rb") : nullptr;
  if (!stream) ::close(ends[0]);
  return stream;
}

std::FILE* file_holding(const std::string& bytes, std::size_t read_first) {
  if (!fuzz_write_file(stream_path, bytes)) return nullptr;
  std::FILE* stream = std::fopen(stream_path.c_str(), "rb");
  if (!stream) return nullptr;
  std::string part(read_first, '\0');
  fuzz_check(std::fread(part.data(), 1, read_first, stream) == read_first);
  return stream;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  stream_path = fuzz_scratch_path("standard_input_stream.ifs");
  named_path = fuzz_scratch_path("standard_input_named.ifs");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const auto kind = static_cast<InputKind>(input.number(0, INPUT_KINDS - 1));
  const int part = input.number(0, 255);
  const std::string bytes(reinterpret_cast<const char*>(input.rest()), input.rest_size());
  const std::size_t read_first = kind == FROM_FILE_READ_PART_WAY && !bytes.empty() ? 1 + part % bytes.size() : 0;
  std::FILE* in = kind == FROM_PIPE ? pipe_holding(bytes) : file_holding(bytes, read_first);
  if (!in) return 0;
  const ProgramRun streamed = fuzz_run_program({"--write-ifs", "-", "-"}, in);
  std::fclose(in);
  if (!fuzz_write_file(named_path, bytes.substr(read_first))) return 0;
  const ProgramRun named = fuzz_run_program({"--write-ifs", "-", named_path});
  fuzz_check(streamed.status == named.status);
  fuzz_check(streamed.out == named.out);
  // The messages differ only in the file's name, unless the bytes quote that name themselves.
  if (bytes.find(named_path) == std::string::npos)
    fuzz_check(streamed.errors == fuzz_replace_all(named.errors, named_path, "-"));
  return 0;
}
