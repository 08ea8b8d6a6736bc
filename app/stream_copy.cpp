#include "app/stream_copy.h"

#include <cerrno>
#include <vector>

namespace {

constexpr std::size_t COPY_CHUNK = 1 << 16;

}  // namespace

bool copy_stream(std::FILE* from, std::FILE* to) {
  std::vector<char> chunk(COPY_CHUNK);
  for (;;) {
    const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), from);
    if (got > 0 && std::fwrite(chunk.data(), 1, got, to) != got) return false;
    if (got < chunk.size()) break;
  }
  if (std::ferror(from)) {
    if (errno == 0) errno = EIO;
    return false;
  }
  return std::fflush(to) == 0;
}
