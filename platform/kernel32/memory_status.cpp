// GlobalMemoryStatusEx from what Linux tells: physical pages from sysconf,
// swap from sysinfo, the address space from the process's limit on it and
// its mappings.
#include <sys/resource.h>
#include <sys/sysinfo.h>
#include <unistd.h>

#include <cstdio>

#include "platform/win32/kernel32.h"

namespace {

// x86-64's and AArch64's user address space without a limit set: 128 TiB.
constexpr ULONGLONG USER_ADDRESS_SPACE = ULONGLONG{1} << 47;

ULONGLONG pages_in_bytes(int pages_name) {
  const long pages = sysconf(pages_name);
  const long page_size = sysconf(_SC_PAGESIZE);
  return pages > 0 && page_size > 0 ? static_cast<ULONGLONG>(pages) * static_cast<ULONGLONG>(page_size) : 0;
}

ULONGLONG address_space() {
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < USER_ADDRESS_SPACE)
    return limit.rlim_cur;
  return USER_ADDRESS_SPACE;
}

// The process's mapped address space (/proc/self/statm's first field).
ULONGLONG address_space_used() {
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  unsigned long long pages = 0;
  const bool read = std::fscanf(statm, "%llu", &pages) == 1;
  std::fclose(statm);
  const long page_size = sysconf(_SC_PAGESIZE);
  return read && page_size > 0 ? pages * static_cast<ULONGLONG>(page_size) : 0;
}

}  // namespace

BOOL GlobalMemoryStatusEx(LPMEMORYSTATUSEX buffer) {
  if (buffer == nullptr || buffer->dwLength != sizeof(MEMORYSTATUSEX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const ULONGLONG total = pages_in_bytes(_SC_PHYS_PAGES);
  ULONGLONG available = pages_in_bytes(_SC_AVPHYS_PAGES);
  if (available > total) available = total;
  struct sysinfo system {};
  const bool swap_known = sysinfo(&system) == 0;
  const ULONGLONG unit = swap_known && system.mem_unit > 0 ? system.mem_unit : 1;
  const ULONGLONG swap_total = swap_known ? system.totalswap * unit : 0;
  const ULONGLONG swap_free = swap_known ? system.freeswap * unit : 0;
  buffer->dwMemoryLoad = total > 0 ? static_cast<DWORD>((total - available) * 100 / total) : 0;
  buffer->ullTotalPhys = total;
  buffer->ullAvailPhys = available;
  buffer->ullTotalPageFile = total + swap_total;
  buffer->ullAvailPageFile = available + swap_free;
  buffer->ullTotalVirtual = address_space();
  const ULONGLONG used = address_space_used();
  buffer->ullAvailVirtual = used < buffer->ullTotalVirtual ? buffer->ullTotalVirtual - used : 0;
  buffer->ullAvailExtendedVirtual = 0;
  return TRUE;
}
