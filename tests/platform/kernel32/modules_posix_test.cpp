// Freed slots are refused, thread ids are the kernel's, and the module look-ups find nothing but the program: Linux
// has no system libraries to load by their Windows names.
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/win32/kernel32.h"

namespace {

// Win32 leaves a freed slot undefined; ours refuses it.
TEST(ThreadLocalSlots, AFreedSlotIsRefused) {
  DWORD index = TlsAlloc();
  ASSERT_NE(index, TLS_OUT_OF_INDEXES);
  ASSERT_TRUE(TlsFree(index));
  int value = 0;
  EXPECT_FALSE(TlsSetValue(index, &value));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(TimeAndThreads, ThreadIdsAreTheKernels) {
  EXPECT_EQ(GetCurrentThreadId(), static_cast<DWORD>(::syscall(SYS_gettid)));
}

TEST(Modules, LookUpsFindNothingButTheProgram) {
  SetLastError(0);
  EXPECT_EQ(LoadLibraryW(u"msimg32.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(LoadLibraryA("Kernel32.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(GetProcAddress(nullptr, "InitOnceExecuteOnce"), nullptr);
  EXPECT_FALSE(FreeLibrary(nullptr));

  HMODULE program = GetModuleHandleW(nullptr);
  EXPECT_NE(program, nullptr);
  EXPECT_EQ(GetModuleHandleW(nullptr), program);
  EXPECT_EQ(GetModuleHandleW(u"user32.dll"), nullptr);
  EXPECT_EQ(GetProcAddress(program, "AlphaBlend"), nullptr);
}

}  // namespace
