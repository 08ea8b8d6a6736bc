// Large blocks start on a 2 MiB boundary and are offered to transparent huge
// pages: the kernel lists the advice ("hg") among the mapping's flags.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/win32/kernel32.h"

namespace {

// The VmFlags line of the mapping that starts at `block`, from /proc/self/smaps.
std::string mapping_flags(const void* block) {
  char start[32];
  std::snprintf(start, sizeof start, "%llx-", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(block)));
  std::ifstream smaps("/proc/self/smaps");
  bool inside = false;
  for (std::string line; std::getline(smaps, line);) {
    if (line.rfind(start, 0) == 0) inside = true;
    if (inside && line.rfind("VmFlags:", 0) == 0) return line;
  }
  return {};
}

TEST(VirtualMemoryPosix, LargeBlocksSitOnTwoMebibyteBoundariesAndAskForHugePages) {
  const SIZE_T size = (SIZE_T{64} << 20) + 4096;
  void* block = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % (std::uintptr_t{2} << 20), 0u);
  const std::string flags = mapping_flags(block);
  ASSERT_FALSE(flags.empty());
  EXPECT_NE(flags.find(" hg"), std::string::npos) << flags;
  EXPECT_TRUE(VirtualFree(block, 0, MEM_RELEASE));
}

}  // namespace
