// ReplaceFileW, the final name of a write, MoveFileExW's write-through and
// FormatMessageW's reasons, checked against what POSIX reports.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "platform/win32/final_path.h"
#include "platform/win32/kernel32.h"
#include "temporary_folder.h"

namespace {

std::u16string reason_for(DWORD error) {
  WCHAR buffer[256];
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                      buffer, 256, nullptr);
  return std::u16string(buffer, length);
}

std::u16string wide_ascii(const char* text) { return std::u16string(text, text + std::strlen(text)); }

mode_t mode_of(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0 ? status.st_mode : 0;
}

TEST(FileReplace, TheReplacedFileKeepsItsModeAndTheReplacementItsContents) {
  TemporaryFolder folder;
  write_whole_file(folder.file("picture"), "old");
  ASSERT_EQ(::chmod(folder.file("picture").c_str(), 0604), 0);
  write_whole_file(folder.file("new"), "new contents");
  ASSERT_TRUE(ReplaceFileW(folder.wide("picture").c_str(), folder.wide("new").c_str(), nullptr, 0, nullptr, nullptr));
  EXPECT_EQ(read_whole_file(folder.file("picture")), "new contents");
  EXPECT_EQ(mode_of(folder.file("picture")) & 07777, 0604u);
  EXPECT_FALSE(path_exists(folder.file("new")));

  // Through a link: the link stays, its target is replaced.
  ASSERT_EQ(::symlink("picture", folder.file("link").c_str()), 0);
  write_whole_file(folder.file("newer"), "newer");
  ASSERT_TRUE(ReplaceFileW(folder.wide("link").c_str(), folder.wide("newer").c_str(), nullptr, 0, nullptr, nullptr));
  EXPECT_TRUE(S_ISLNK(mode_of(folder.file("link"))));
  EXPECT_EQ(read_whole_file(folder.file("picture")), "newer");
}

TEST(FileReplace, OnlyAnExistingPlainFileIsReplaced) {
  TemporaryFolder folder;
  write_whole_file(folder.file("new"), "new");
  SetLastError(0);
  EXPECT_FALSE(ReplaceFileW(folder.wide("missing").c_str(), folder.wide("new").c_str(), nullptr, 0, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  ASSERT_EQ(::mkdir(folder.file("folder").c_str(), 0755), 0);
  EXPECT_FALSE(ReplaceFileW(folder.wide("folder").c_str(), folder.wide("new").c_str(), nullptr, 0, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  ASSERT_EQ(::mkfifo(folder.file("pipe").c_str(), 0644), 0);
  EXPECT_FALSE(ReplaceFileW(folder.wide("pipe").c_str(), folder.wide("new").c_str(), nullptr, 0, nullptr, nullptr));
  EXPECT_TRUE(S_ISFIFO(mode_of(folder.file("pipe"))));
  EXPECT_EQ(read_whole_file(folder.file("new")), "new");
  // No backups and no flags here.
  write_whole_file(folder.file("old"), "old");
  EXPECT_FALSE(ReplaceFileW(folder.wide("old").c_str(), folder.wide("new").c_str(), folder.wide("bak").c_str(), 0,
                            nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(read_whole_file(folder.file("old")), "old");
}

TEST(FileReplace, TheFinalWriteNameFollowsLinksEvenToNothing) {
  TemporaryFolder folder;
  ASSERT_EQ(::mkdir(folder.file("sub").c_str(), 0755), 0);
  ASSERT_EQ(::symlink("sub/target", folder.file("relative").c_str()), 0);
  ASSERT_EQ(::symlink(folder.file("relative").c_str(), folder.file("absolute").c_str()), 0);
  std::u16string final_name;
  for (const char* link : {"relative", "absolute"}) {
    ASSERT_TRUE(kernel32_final_write_name(folder.wide(link).c_str(), &final_name)) << link;
    EXPECT_EQ(final_name, folder.wide("sub/target")) << link;
  }
  ASSERT_TRUE(kernel32_final_write_name(folder.wide("plain").c_str(), &final_name));
  EXPECT_EQ(final_name, folder.wide("plain"));
  ASSERT_EQ(::symlink("self", folder.file("self").c_str()), 0);
  EXPECT_FALSE(kernel32_final_write_name(folder.wide("self").c_str(), &final_name));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANT_RESOLVE_FILENAME));
}

TEST(FileReplace, WriteThroughMovesLikeAnyMove) {
  TemporaryFolder folder;
  write_whole_file(folder.file("a"), "a");
  ASSERT_TRUE(MoveFileExW(folder.wide("a").c_str(), folder.wide("b").c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(read_whole_file(folder.file("b")), "a");
  EXPECT_FALSE(path_exists(folder.file("a")));
}

TEST(SystemMessages, AFailedCallIsDescribedInTheSystemsOwnWords) {
  TemporaryFolder folder;
  ASSERT_EQ(CreateFileW(folder.wide("missing/x").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(reason_for(GetLastError()), wide_ascii(std::strerror(ENOENT)) + u"\r\n");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));  // asking does not change it

  ASSERT_EQ(::mkdir(folder.file("dir").c_str(), 0755), 0);
  ASSERT_FALSE(DeleteFileW(folder.wide("dir").c_str()));
  EXPECT_EQ(reason_for(GetLastError()), wide_ascii(std::strerror(EISDIR)) + u"\r\n");

  // A code that did not come from the last failed call has Win32's text.
  EXPECT_EQ(reason_for(ERROR_DISK_FULL), u"There is not enough space on the disk.\r\n");

  WCHAR small[4];
  EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_DISK_FULL, 0,
                           small, 4, nullptr),
            0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(reason_for(999999), u"");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
}

}  // namespace
