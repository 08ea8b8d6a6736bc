// DeleteFileW, MoveFileExW, CreateHardLinkW, files deleted on close,
// FindFirstFileW, folders, the current and the temporary folder, checked
// through the C++ library.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/win32/kernel32.h"
#include "temporary_folder.h"

namespace {

TEST(FileSystem, DeleteRemovesFilesButNotFolders) {
  TemporaryFolder folder;
  write_whole_file(folder.file("gone.txt"), "x");
  EXPECT_TRUE(DeleteFileW(folder.wide("gone.txt").c_str()));
  EXPECT_FALSE(path_exists(folder.file("gone.txt")));
  SetLastError(0);
  EXPECT_FALSE(DeleteFileW(folder.wide("gone.txt").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  ASSERT_TRUE(make_folder(folder.file("sub")));
  EXPECT_FALSE(DeleteFileW(folder.wide("sub").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(path_exists(folder.file("sub")));
  EXPECT_FALSE(DeleteFileW(nullptr));
}

TEST(FileSystem, MoveReplacesOnlyWhenAsked) {
  TemporaryFolder folder;
  write_whole_file(folder.file("a.txt"), "from a");
  write_whole_file(folder.file("b.txt"), "from b");
  SetLastError(0);
  EXPECT_FALSE(MoveFileExW(folder.wide("a.txt").c_str(), folder.wide("b.txt").c_str(), 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(read_whole_file(folder.file("a.txt")), "from a");
  EXPECT_EQ(read_whole_file(folder.file("b.txt")), "from b");

  EXPECT_TRUE(MoveFileExW(folder.wide("a.txt").c_str(), folder.wide("b.txt").c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_FALSE(path_exists(folder.file("a.txt")));
  EXPECT_EQ(read_whole_file(folder.file("b.txt")), "from a");

  EXPECT_TRUE(MoveFileExW(folder.wide("b.txt").c_str(), folder.wide("c.txt").c_str(), 0));
  EXPECT_EQ(read_whole_file(folder.file("c.txt")), "from a");

  ASSERT_TRUE(make_folder(folder.file("empty")));
  EXPECT_FALSE(MoveFileExW(folder.wide("c.txt").c_str(), folder.wide("empty").c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(path_exists(folder.file("c.txt")));
  EXPECT_FALSE(MoveFileExW(folder.wide("missing").c_str(), folder.wide("d.txt").c_str(), 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

HANDLE create_deleted_on_close(const std::u16string& name) {
  return CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                     nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

bool write_text(HANDLE file, const std::string& text) {
  DWORD written = 0;
  return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
}

TEST(FileSystem, AFileDeletedOnCloseGoesWithItsHandleButAHardLinkToItStays) {
  TemporaryFolder folder;
  HANDLE dropped = create_deleted_on_close(folder.wide("work.tmp"));
  ASSERT_NE(dropped, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(write_text(dropped, "dropped"));
  EXPECT_TRUE(CloseHandle(dropped));
  EXPECT_TRUE(std::filesystem::is_empty(native_path(folder.path())));

  HANDLE kept = create_deleted_on_close(folder.wide("work.tmp"));
  ASSERT_NE(kept, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(write_text(kept, "kept"));
  EXPECT_TRUE(CreateHardLinkW(folder.wide("kept.tmp").c_str(), folder.wide("work.tmp").c_str(), nullptr));
  // A name that is taken is not replaced.
  write_whole_file(folder.file("taken.tmp"), "other");
  SetLastError(0);
  EXPECT_FALSE(CreateHardLinkW(folder.wide("taken.tmp").c_str(), folder.wide("work.tmp").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_TRUE(CloseHandle(kept));
  EXPECT_FALSE(path_exists(folder.file("work.tmp")));
  EXPECT_EQ(read_whole_file(folder.file("kept.tmp")), "kept");
  EXPECT_EQ(read_whole_file(folder.file("taken.tmp")), "other");

  // The same for a plain file, and a missing one has no second name.
  EXPECT_TRUE(CreateHardLinkW(folder.wide("again.tmp").c_str(), folder.wide("kept.tmp").c_str(), nullptr));
  EXPECT_EQ(read_whole_file(folder.file("again.tmp")), "kept");
  SetLastError(0);
  EXPECT_FALSE(CreateHardLinkW(folder.wide("none.tmp").c_str(), folder.wide("missing.tmp").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(FileSystem, FindReportsFilesAndFolders) {
  TemporaryFolder folder;
  write_whole_file(folder.file("seven.ifs"), "1234567");
  ASSERT_TRUE(make_folder(folder.file("sub")));
  WIN32_FIND_DATAW data;

  HANDLE search = FindFirstFileW(folder.wide("seven.ifs").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(std::u16string(data.cFileName), u"seven.ifs");
  EXPECT_EQ(data.nFileSizeLow, 7u);
  EXPECT_EQ(data.nFileSizeHigh, 0u);
  EXPECT_FALSE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_TRUE(FindClose(search));

  search = FindFirstFileW(folder.wide("sub").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(std::u16string(data.cFileName), u"sub");
  EXPECT_TRUE(FindClose(search));

  SetLastError(0);
  EXPECT_EQ(FindFirstFileW(folder.wide("nothing.ifs").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(FindFirstFileW(folder.wide("nowhere/nothing.ifs").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(FindFirstFileW(nullptr, &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstFileW(u"", &data), INVALID_HANDLE_VALUE);
  // A search handle is not a file handle.
  search = FindFirstFileW(folder.wide("seven.ifs").c_str(), &data);
  EXPECT_FALSE(CloseHandle(search));
  EXPECT_TRUE(FindClose(search));
}

TEST(FileSystem, WildcardsMatchEntriesOfTheLastFolder) {
  TemporaryFolder folder;
  write_whole_file(folder.file("fern.ifs"), "abc");
  write_whole_file(folder.file("notes.txt"), "");
  WIN32_FIND_DATAW data;
  for (const char* pattern : {"*.ifs", "f*", "fe?n.ifs", "*rn*", "*.*"}) {
    std::string name = pattern;
    HANDLE search = FindFirstFileW(folder.wide(name).c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << pattern;
    std::u16string found = data.cFileName;
    if (name != "*.*") {
      EXPECT_EQ(found, u"fern.ifs") << pattern;
      EXPECT_EQ(data.nFileSizeLow, 3u);
    }
    EXPECT_TRUE(FindClose(search));
  }
  for (const char* pattern : {"*.bmp", "fe?.ifs", "?fern.ifs", "fern.if"}) {
    EXPECT_EQ(FindFirstFileW(folder.wide(pattern).c_str(), &data), INVALID_HANDLE_VALUE) << pattern;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  }
}

TEST(FileSystem, CurrentDirectoryFollowsWin32ReturnRules) {
  const std::filesystem::path expected = std::filesystem::current_path();
  const std::u16string path = expected.u16string();
  ASSERT_LT(path.size(), 250u);
  const auto length = static_cast<DWORD>(path.size());

  EXPECT_EQ(GetCurrentDirectoryW(0, nullptr), length + 1);
  WCHAR buffer[MAX_PATH];
  buffer[0] = u'#';
  EXPECT_EQ(GetCurrentDirectoryW(length, buffer), length + 1);  // no room for the terminator
  EXPECT_EQ(buffer[0], u'#');
  EXPECT_EQ(GetCurrentDirectoryW(MAX_PATH, buffer), length);
  EXPECT_EQ(std::u16string(buffer), path);

  TemporaryFolder folder;
  ASSERT_TRUE(SetCurrentDirectoryW(folder.wide().c_str()));
  EXPECT_EQ(std::filesystem::current_path(), native_path(folder.path()));
  EXPECT_FALSE(SetCurrentDirectoryW(folder.wide("missing").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  std::filesystem::current_path(expected);
}

TEST(FileSystem, FoldersAreMadeOnceAndRemovedOnlyWhenEmpty) {
  TemporaryFolder folder;
  const std::u16string made = folder.wide("made");
  ASSERT_TRUE(CreateDirectoryW(made.c_str(), nullptr));
  EXPECT_TRUE(std::filesystem::is_directory(native_path(folder.file("made"))));
  SetLastError(0);
  EXPECT_FALSE(CreateDirectoryW(made.c_str(), nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  write_whole_file(folder.file("a file"), "x");
  EXPECT_FALSE(CreateDirectoryW(folder.wide("a file").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(read_whole_file(folder.file("a file")), "x");
  EXPECT_FALSE(CreateDirectoryW(folder.wide("missing/child").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(path_exists(folder.file("missing")));

  write_whole_file(folder.file("made/inside"), "y");
  EXPECT_FALSE(RemoveDirectoryW(made.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
  EXPECT_EQ(read_whole_file(folder.file("made/inside")), "y");
  EXPECT_FALSE(RemoveDirectoryW(folder.wide("a file").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
  EXPECT_TRUE(path_exists(folder.file("a file")));
  ASSERT_TRUE(DeleteFileW(folder.wide("made/inside").c_str()));
  EXPECT_TRUE(RemoveDirectoryW(made.c_str()));
  EXPECT_FALSE(path_exists(folder.file("made")));
  EXPECT_FALSE(RemoveDirectoryW(made.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

// Whatever the environment says, the folder ends in a separator, exists, and a caller that
// asks for the size first gets all of it on the second call.
TEST(FileSystem, TheTemporaryFolderIsAnExistingFolderEndingInASeparator) {
  const DWORD needed = GetTempPathW(0, nullptr);
  ASSERT_GT(needed, 1u);
  std::u16string buffer(needed, u'#');
  EXPECT_EQ(GetTempPathW(needed - 1, buffer.data()), needed);
  ASSERT_EQ(GetTempPathW(needed, buffer.data()), needed - 1);
  EXPECT_EQ(buffer[needed - 1], u'\0');
  buffer.resize(needed - 1);
  EXPECT_TRUE(buffer.back() == u'/' || buffer.back() == u'\\');
  const DWORD attributes = GetFileAttributesW(buffer.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace
