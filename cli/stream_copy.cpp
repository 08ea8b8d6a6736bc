#include "cli/stream_copy.h"

#include <cerrno>
#include <vector>

namespace {

constexpr std::size_t COPY_CHUNK = 1 << 16;

}  // namespace

StreamCopy copy_stream(std::FILE* from, std::FILE* to, std::uint64_t limit) {
  std::vector<char> chunk(COPY_CHUNK);
  std::uint64_t copied = 0;
  for (;;) {
    const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), from);
    copied += got;
    if (copied > limit) return STREAM_TOO_LONG;
    if (got > 0 && std::fwrite(chunk.data(), 1, got, to) != got) return STREAM_FAILED;
    if (got < chunk.size()) break;
  }
  if (std::ferror(from)) {
    if (errno == 0) errno = EIO;
    return STREAM_FAILED;
  }
  return std::fflush(to) == 0 ? STREAM_COPIED : STREAM_FAILED;
}
