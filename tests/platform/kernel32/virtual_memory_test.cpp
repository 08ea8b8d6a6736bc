// VirtualAlloc and VirtualFree as Win32 documents them: committed blocks come
// zero-filled and writable, and only a block it gave out can be released, once.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/win32/kernel32.h"

namespace {

TEST(VirtualMemory, BlocksComeZeroFilledAndAreReleasedOnce) {
  for (const SIZE_T size : {SIZE_T{1}, SIZE_T{4096} + 1, (SIZE_T{2} << 20) + 12345, SIZE_T{40} << 20}) {
    auto* block = static_cast<std::uint8_t*>(VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(block, nullptr) << size;
    std::uint64_t sum = 0;
    for (SIZE_T i = 0; i < size; i += 4093) sum += block[i];
    EXPECT_EQ(sum + block[size - 1], 0u) << size;
    block[0] = 1;
    block[size - 1] = 2;
    EXPECT_TRUE(VirtualFree(block, 0, MEM_RELEASE)) << size;
    SetLastError(0);
    EXPECT_FALSE(VirtualFree(block, 0, MEM_RELEASE)) << size;  // already released
    EXPECT_NE(GetLastError(), 0u);
  }
}

TEST(VirtualMemory, WrongRequestsFailWithoutAnyBlock) {
  SetLastError(0);
  EXPECT_EQ(VirtualAlloc(nullptr, 0, MEM_COMMIT, PAGE_READWRITE), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(VirtualAlloc(nullptr, ~SIZE_T{0} - 100, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE), nullptr);
  int local = 0;
  EXPECT_FALSE(VirtualFree(&local, 0, MEM_RELEASE));  // not a block VirtualAlloc gave
  EXPECT_FALSE(VirtualFree(nullptr, 0, MEM_RELEASE));
}

}  // namespace
