// File I/O where Linux has its own say: handles that are not (or no longer) open, a
// truncation without write access, a file size limit the process must survive, and names
// as UTF-8 bytes.
#include <sys/resource.h>

#include <string>

#include <gtest/gtest.h>

#include "platform/win32/kernel32.h"
#include "temporary_folder.h"

namespace {

HANDLE open_file(const std::u16string& name, DWORD access, DWORD creation) {
  return CreateFileW(name.c_str(), access, FILE_SHARE_READ, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Win32 leaves closed and made-up handles undefined (it may hand a closed value out again,
// and INVALID_HANDLE_VALUE is the current process there); ours refuses them.
TEST(FileIo, ClosedHandlesStayInvalid) {
  TemporaryFolder folder;
  write_whole_file(folder.file("a.txt"), "first");
  write_whole_file(folder.file("b.txt"), "second");
  HANDLE first = open_file(folder.wide("a.txt"), GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(first, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(first));
  HANDLE second = open_file(folder.wide("b.txt"), GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(second, INVALID_HANDLE_VALUE);
  EXPECT_NE(second, first);  // a stale handle must not reach the newer file
  char buffer[8];
  DWORD read = 99;
  EXPECT_FALSE(ReadFile(first, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(read, 0u);
  EXPECT_FALSE(CloseHandle(first));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  for (HANDLE bogus : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
    EXPECT_FALSE(CloseHandle(bogus));
    EXPECT_EQ(SetFilePointer(bogus, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetFileSize(bogus, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  }
  EXPECT_TRUE(CloseHandle(second));
}

TEST(FileIo, TruncatingNeedsWriteAccess) {
  TemporaryFolder folder;
  write_whole_file(folder.file("made.txt"), "again");
  EXPECT_EQ(open_file(folder.wide("made.txt"), GENERIC_READ, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(read_whole_file(folder.file("made.txt")), "again");
}

TEST(FileIo, WriteBeyondTheFileSizeLimitIsReportedAsFailure) {
  TemporaryFolder folder;
  HANDLE file = open_file(folder.wide("limited.bin"), GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit limited = saved;
  limited.rlim_cur = 4;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  DWORD written = 0;
  BOOL result = WriteFile(file, "0123456789", 10, &written, nullptr);  // the process must survive this
  DWORD error = GetLastError();
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
  EXPECT_FALSE(result);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_DISK_FULL));
  EXPECT_EQ(written, 4u);
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_EQ(read_whole_file(folder.file("limited.bin")), "0123");
}

TEST(FileIo, NamesCrossTheBoundaryAsUtf8) {
  TemporaryFolder folder;
  std::u16string name = folder.wide() + u"/caf\u00E9 \U0001F600.txt";
  HANDLE file = open_file(name, GENERIC_WRITE, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_TRUE(path_exists(folder.file("caf\xC3\xA9 \xF0\x9F\x98\x80.txt")));
  // A lone surrogate stands for no UTF-8 name; it must not open "U+FFFD".
  std::u16string lone = folder.wide() + u"/x";
  lone += static_cast<char16_t>(0xD800);
  write_whole_file(folder.file("x\xEF\xBF\xBD"), "other");
  EXPECT_EQ(open_file(lone, GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
  EXPECT_EQ(CreateFileW(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(open_file(u"", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
}

}  // namespace
