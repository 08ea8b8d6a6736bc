// GlobalMemoryStatusEx against the kernel's own account, read independently.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/win32/kernel32.h"

namespace {

TEST(MemoryStatusPosix, PhysicalMemoryIsTheKernelsMemTotal) {
  std::FILE* meminfo = std::fopen("/proc/meminfo", "r");
  ASSERT_NE(meminfo, nullptr);
  unsigned long long kib = 0;
  ASSERT_EQ(std::fscanf(meminfo, "MemTotal: %llu kB", &kib), 1);
  std::fclose(meminfo);
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  ASSERT_TRUE(GlobalMemoryStatusEx(&status));
  EXPECT_EQ(status.ullTotalPhys, kib * 1024);
}

}  // namespace
