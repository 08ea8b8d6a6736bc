// GlobalMemoryStatusEx as Win32 documents it (run against our kernel32 and
// Windows'): the record's length must be set, and the figures hang together.
#include <gtest/gtest.h>

#include "platform/win32/kernel32.h"

namespace {

TEST(MemoryStatus, FiguresHangTogetherAndTheLengthMustBeSet) {
  MEMORYSTATUSEX status{};
  SetLastError(0);
  EXPECT_FALSE(GlobalMemoryStatusEx(&status));  // dwLength left at 0
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  status.dwLength = sizeof status;
  ASSERT_TRUE(GlobalMemoryStatusEx(&status));
  EXPECT_GT(status.ullTotalPhys, 64ull << 20);
  EXPECT_LE(status.ullAvailPhys, status.ullTotalPhys);
  EXPECT_LE(status.dwMemoryLoad, 100u);
  EXPECT_LE(status.ullAvailPageFile, status.ullTotalPageFile);
  EXPECT_GT(status.ullTotalVirtual, 0u);
  EXPECT_LT(status.ullAvailVirtual, status.ullTotalVirtual);  // this very program is mapped
  EXPECT_EQ(status.ullAvailExtendedVirtual, 0u);
}

}  // namespace
