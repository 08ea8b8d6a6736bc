#include "platform/kernel32/file_attributes.h"

#include <cstdint>

namespace {
constexpr std::int64_t SECONDS_1601_TO_1970 = 11644473600;
constexpr std::int64_t INTERVALS_PER_SECOND = 10000000;
}  // namespace

DWORD file_attributes_of(const struct stat& status, std::string_view entry_name) {
  DWORD attributes = 0;
  if (S_ISDIR(status.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  else attributes |= FILE_ATTRIBUTE_ARCHIVE;  // what a fresh file carries on Win32
  if (!(status.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
  bool dot_file = entry_name.size() > 1 && entry_name[0] == '.' && entry_name != "..";
  if (dot_file) attributes |= FILE_ATTRIBUTE_HIDDEN;
  return attributes;
}

FILETIME file_time_of(const struct timespec& time) {
  std::int64_t intervals = (static_cast<std::int64_t>(time.tv_sec) + SECONDS_1601_TO_1970) * INTERVALS_PER_SECOND +
                           time.tv_nsec / 100;
  if (intervals < 0) intervals = 0;  // before 1601: not representable
  auto value = static_cast<std::uint64_t>(intervals);
  return FILETIME{static_cast<DWORD>(value & 0xFFFFFFFFu), static_cast<DWORD>(value >> 32)};
}
