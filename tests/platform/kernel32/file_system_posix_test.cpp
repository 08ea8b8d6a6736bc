// The file system where Linux differs from Windows by nature: names may hold wildcards and
// bytes that are not UTF-8, permissions and dot files make attributes, and there are no drives.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "platform/win32/kernel32.h"
#include "temporary_folder.h"

namespace {

TEST(FileSystem, FindReportsTimesFrom1601AndFoldersWithTrailingSlashes) {
  TemporaryFolder folder;
  write_whole_file(folder.file("seven.ifs"), "1234567");
  ASSERT_EQ(::mkdir(folder.file("sub").c_str(), 0755), 0);
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(folder.wide("seven.ifs").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  struct stat status {};
  ASSERT_EQ(::stat(folder.file("seven.ifs").c_str(), &status), 0);
  // FILETIME counts 100 ns steps from 1601; 11644473600 s lie between 1601 and 1970.
  ULONGLONG write_time = (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  EXPECT_EQ(write_time / 10000000ull, ULONGLONG(status.st_mtim.tv_sec) + 11644473600ull);
  EXPECT_TRUE(FindClose(search));
  EXPECT_FALSE(FindClose(search)) << "closed already (Win32 leaves this undefined)";

  for (const std::u16string& name : {folder.wide("sub/"), folder.wide("sub//")}) {
    search = FindFirstFileW(name.c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(std::u16string(data.cFileName), u"sub");
    EXPECT_TRUE(FindClose(search));
  }
  search = FindFirstFileW(u"/", &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_TRUE(FindClose(search));
}

TEST(FileSystem, ALiteralNameHoldingWildcardsFindsItsOwnEntry) {
  TemporaryFolder folder;
  write_whole_file(folder.file("a*.ifs"), "seven!!");
  write_whole_file(folder.file("ab.ifs"), "");
  write_whole_file(folder.file("q?.ifs"), "four");
  write_whole_file(folder.file("qq.ifs"), "");
  WIN32_FIND_DATAW data;
  for (const char* literal : {"a*.ifs", "q?.ifs"}) {
    HANDLE search = FindFirstFileW(folder.wide(literal).c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << literal;
    EXPECT_EQ(std::u16string(data.cFileName), folder.wide(literal).substr(folder.wide().size() + 1));
    EXPECT_EQ(data.nFileSizeLow, std::string(literal) == "a*.ifs" ? 7u : 4u);
    EXPECT_TRUE(FindClose(search));
  }
}

TEST(FileSystem, NamesThatAreNotUtf8AreFoundAndOpenedByTheirOwnBytes) {
  TemporaryFolder folder;
  write_whole_file(folder.file("a\xFF.ifs"), "bytes");
  write_whole_file(folder.file("a\xEF\xBF\xBD.ifs"), "replacement");  // "a\uFFFD.ifs": a different file
  const std::u16string name = folder.wide() + u"/a\xDCFF.ifs";
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(name.c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(std::u16string(data.cFileName), u"a\xDCFF.ifs");
  EXPECT_EQ(data.nFileSizeLow, 5u);
  FindClose(search);
  EXPECT_TRUE(DeleteFileW(name.c_str()));
  EXPECT_FALSE(path_exists(folder.file("a\xFF.ifs")));
  EXPECT_EQ(read_whole_file(folder.file("a\xEF\xBF\xBD.ifs")), "replacement");

  // The current directory comes back with its bytes, and goes back to them.
  ASSERT_EQ(::mkdir(folder.file("dir\xFE").c_str(), 0755), 0);
  char* previous = ::getcwd(nullptr, 0);
  ASSERT_TRUE(SetCurrentDirectoryW((folder.wide() + u"/dir\xDCFE").c_str()));
  WCHAR current[PATH_MAX];
  ASSERT_GT(GetCurrentDirectoryW(PATH_MAX, current), 0u);
  EXPECT_EQ(std::u16string(current), folder.wide() + u"/dir\xDCFE");
  EXPECT_EQ(::chdir(previous), 0);
  std::free(previous);
}

TEST(FileSystem, AttributesAndDriveTypes) {
  TemporaryFolder folder;
  write_whole_file(folder.file("plain.txt"), "x");
  write_whole_file(folder.file(".hidden"), "x");
  ASSERT_EQ(::chmod(folder.file(".hidden").c_str(), 0444), 0);
  DWORD plain = GetFileAttributesW(folder.wide("plain.txt").c_str());
  ASSERT_NE(plain, INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(plain & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
  DWORD hidden = GetFileAttributesW(folder.wide(".hidden").c_str());
  EXPECT_TRUE(hidden & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(hidden & FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(GetFileAttributesW(folder.wide().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_TRUE(GetFileAttributesW(u"/") & FILE_ATTRIBUTE_DIRECTORY);
  SetLastError(0);
  EXPECT_EQ(GetFileAttributesW(folder.wide("missing").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  EXPECT_EQ(GetDriveTypeW(u"/"), static_cast<UINT>(DRIVE_FIXED));
  EXPECT_EQ(GetDriveTypeW(nullptr), static_cast<UINT>(DRIVE_FIXED));
  for (const char16_t* root : {u"C:\\", u"C:", u"\\\\server\\share\\", u"", u"/tmp", u"//"})
    EXPECT_EQ(GetDriveTypeW(root), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
}

// TMPDIR as the shell sets it, with or without its last slash; empty or unset it is /tmp.
TEST(FileSystem, TheTemporaryFolderIsTmpdirElseTmp) {
  const char* saved = std::getenv("TMPDIR");
  const std::string before = saved ? saved : "";
  auto temporary_path = [] {
    WCHAR buffer[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, buffer);
    return std::u16string(buffer, length < MAX_PATH ? length : 0);
  };
  TemporaryFolder folder;
  ::setenv("TMPDIR", folder.path().c_str(), 1);
  EXPECT_EQ(temporary_path(), folder.wide() + u"/");
  ::setenv("TMPDIR", (folder.path() + "/").c_str(), 1);
  EXPECT_EQ(temporary_path(), folder.wide() + u"/");
  ::setenv("TMPDIR", "", 1);
  EXPECT_EQ(temporary_path(), u"/tmp/");
  ::unsetenv("TMPDIR");
  EXPECT_EQ(temporary_path(), u"/tmp/");
  if (saved) ::setenv("TMPDIR", before.c_str(), 1);
}

}  // namespace
