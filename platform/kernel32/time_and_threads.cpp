// GetTickCount, GetCurrentThreadId and GetCurrentProcessId.
#include <unistd.h>

#include <cstdint>
#include <ctime>

#include "platform/win32/kernel32.h"

// Milliseconds since boot, sleep included (CLOCK_BOOTTIME counts like
// Win32's tick count); the DWORD wraps after 49.7 days, as Win32's does.
DWORD GetTickCount() {
  timespec now{};
  if (clock_gettime(CLOCK_BOOTTIME, &now) != 0) clock_gettime(CLOCK_MONOTONIC, &now);
  auto milliseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<DWORD>(milliseconds);
}

// The kernel's id of the thread, unique among live threads like Win32's.
DWORD GetCurrentThreadId() { return static_cast<DWORD>(gettid()); }

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }
