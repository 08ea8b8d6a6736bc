// SetFilePointer and GetFileSize: 64-bit positions split into two 32-bit
// halves; and GetFileType.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

#include "platform/kernel32/errno_mapping.h"
#include "platform/kernel32/open_file.h"
#include "platform/win32/kernel32.h"

namespace {

DWORD fail_with(DWORD error) {
  SetLastError(error);
  return INVALID_SET_FILE_POINTER;
}

// Without a high part the distance is a signed 32-bit value.
std::int64_t distance_of(LONG distance, const LONG* distance_high) {
  if (!distance_high) return distance;
  auto high = static_cast<std::uint64_t>(static_cast<std::uint32_t>(*distance_high)) << 32;
  return static_cast<std::int64_t>(high | static_cast<std::uint32_t>(distance));
}

bool base_position(const OpenFile& file, DWORD method, std::int64_t& base) {
  if (method == FILE_BEGIN) {
    base = 0;
    return true;
  }
  if (method == FILE_CURRENT) {
    base = ::lseek(file.descriptor, 0, SEEK_CUR);
    return base >= 0;
  }
  struct stat status {};
  if (::fstat(file.descriptor, &status) != 0) return false;
  base = status.st_size;
  return true;
}

// INVALID_SET_FILE_POINTER is also a valid low half: a caller tells success
// from failure by the last error, so success must leave it clear.
DWORD low_half_reported(std::uint64_t value) {
  auto low = static_cast<DWORD>(value & 0xFFFFFFFFu);
  if (low == INVALID_SET_FILE_POINTER) SetLastError(ERROR_SUCCESS);
  return low;
}

}  // namespace

DWORD SetFilePointer(HANDLE handle, LONG distance, PLONG distance_high, DWORD method) {
  if (method != FILE_BEGIN && method != FILE_CURRENT && method != FILE_END) return fail_with(ERROR_INVALID_PARAMETER);
  std::shared_ptr<OpenFile> file = handle_table_find_as<OpenFile>(handle);
  if (!file) return INVALID_SET_FILE_POINTER;
  std::int64_t base = 0;
  if (!base_position(*file, method, base)) {
    set_last_error_from_errno();
    return INVALID_SET_FILE_POINTER;
  }
  std::int64_t target = 0;
  if (__builtin_add_overflow(base, distance_of(distance, distance_high), &target))
    return fail_with(ERROR_INVALID_PARAMETER);
  if (target < 0) return fail_with(ERROR_NEGATIVE_SEEK);  // the pointer stays where it was
  // A position past 4 GiB cannot be reported without a high part.
  if (!distance_high && target > 0xFFFFFFFFll) return fail_with(ERROR_INVALID_PARAMETER);
  if (::lseek(file->descriptor, target, SEEK_SET) < 0) {
    set_last_error_from_errno();
    return INVALID_SET_FILE_POINTER;
  }
  if (distance_high) *distance_high = static_cast<LONG>(static_cast<std::uint64_t>(target) >> 32);
  return low_half_reported(static_cast<std::uint64_t>(target));
}

DWORD GetFileSize(HANDLE handle, LPDWORD size_high) {
  std::shared_ptr<OpenFile> file = handle_table_find_as<OpenFile>(handle);
  if (!file) return INVALID_FILE_SIZE;
  struct stat status {};
  if (::fstat(file->descriptor, &status) != 0) {
    set_last_error_from_errno();
    return INVALID_FILE_SIZE;
  }
  auto size = static_cast<std::uint64_t>(status.st_size);
  if (size_high) *size_high = static_cast<DWORD>(size >> 32);
  return low_half_reported(size);
}

DWORD GetFileType(HANDLE handle) {
  std::shared_ptr<OpenFile> file = handle_table_find_as<OpenFile>(handle);
  if (!file) return FILE_TYPE_UNKNOWN;
  struct stat status {};
  if (::fstat(file->descriptor, &status) != 0) {
    set_last_error_from_errno();
    return FILE_TYPE_UNKNOWN;
  }
  SetLastError(ERROR_SUCCESS);
  if (S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)) return FILE_TYPE_DISK;
  if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) return FILE_TYPE_CHAR;
  return FILE_TYPE_PIPE;
}
