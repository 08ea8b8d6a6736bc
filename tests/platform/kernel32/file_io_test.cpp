// CreateFileW, ReadFile, WriteFile, SetFilePointer, GetFileSize, CloseHandle:
// results checked against POSIX reads of the same files.
#include <string>

#include <gtest/gtest.h>

#include "platform/win32/kernel32.h"
#include "temporary_folder.h"

namespace {

HANDLE open_file(const std::u16string& name, DWORD access, DWORD creation) {
  // Shared both ways: Win32 refuses a second handle the first one's sharing does not allow.
  return CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, creation,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string all_byte_values() {
  std::string bytes;
  for (int round = 0; round < 3; ++round)
    for (int value = 0; value < 256; ++value) bytes += static_cast<char>(value);
  return bytes + "\r\n\n\r";
}

TEST(FileIo, BinaryDataRoundTripsWithoutLineEndTranslation) {
  TemporaryFolder folder;
  std::string bytes = all_byte_values();
  HANDLE file = open_file(folder.wide("data.bin"), GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  EXPECT_EQ(written, bytes.size());
  EXPECT_TRUE(FlushFileBuffers(file));
  EXPECT_EQ(read_whole_file(folder.file("data.bin")), bytes);

  ASSERT_EQ(SetFilePointer(file, 0, nullptr, FILE_BEGIN), 0u);
  std::string back(bytes.size() + 10, '\0');
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(file, back.data(), static_cast<DWORD>(back.size()), &read, nullptr));
  EXPECT_EQ(read, bytes.size());
  back.resize(read);
  EXPECT_EQ(back, bytes);
  EXPECT_TRUE(CloseHandle(file));
}

TEST(FileIo, ReadingAtTheEndSucceedsWithZeroBytes) {
  TemporaryFolder folder;
  write_whole_file(folder.file("short.txt"), "abc");
  HANDLE file = open_file(folder.wide("short.txt"), GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  char buffer[8] = {};
  DWORD read = 99;
  EXPECT_TRUE(ReadFile(file, buffer, 2, &read, nullptr));
  EXPECT_EQ(read, 2u);
  EXPECT_TRUE(ReadFile(file, buffer, 8, &read, nullptr));
  EXPECT_EQ(read, 1u);
  EXPECT_EQ(buffer[0], 'c');
  for (int again = 0; again < 2; ++again) {
    read = 99;
    EXPECT_TRUE(ReadFile(file, buffer, 8, &read, nullptr));
    EXPECT_EQ(read, 0u);
  }
  EXPECT_TRUE(CloseHandle(file));
}

TEST(FileIo, SeekingFollowsWin32Rules) {
  TemporaryFolder folder;
  write_whole_file(folder.file("ten.bin"), "0123456789");
  HANDLE file = open_file(folder.wide("ten.bin"), GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(SetFilePointer(file, 4, nullptr, FILE_BEGIN), 4u);
  EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_CURRENT), 7u);
  EXPECT_EQ(SetFilePointer(file, -1, nullptr, FILE_CURRENT), 6u);
  EXPECT_EQ(SetFilePointer(file, -2, nullptr, FILE_END), 8u);
  char byte = 0;
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(file, &byte, 1, &read, nullptr));
  EXPECT_EQ(byte, '8');

  // A negative result fails and leaves the pointer where it was.
  SetLastError(0);
  EXPECT_EQ(SetFilePointer(file, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 9u);
  LONG high = -1;  // with a high part, -1:-1 is the distance -1
  EXPECT_EQ(SetFilePointer(file, -1, &high, FILE_CURRENT), 8u);
  EXPECT_EQ(high, 0);
  // Past the end is allowed; reading there gives nothing.
  EXPECT_EQ(SetFilePointer(file, 100, nullptr, FILE_BEGIN), 100u);
  EXPECT_TRUE(ReadFile(file, &byte, 1, &read, nullptr));
  EXPECT_EQ(read, 0u);
  SetLastError(0);
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  DWORD size_high = 99;
  EXPECT_EQ(GetFileSize(file, &size_high), 10u);
  EXPECT_EQ(size_high, 0u);
  EXPECT_TRUE(CloseHandle(file));
}

TEST(FileIo, PositionsBeyondFourGigabytesUseTheHighPart) {
  TemporaryFolder folder;
  HANDLE file = open_file(folder.wide("sparse.bin"), GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  // 2^32 + 5: low 5, high 1. The file stays sparse, so this costs no space.
  LONG high = 1;
  EXPECT_EQ(SetFilePointer(file, 5, &high, FILE_BEGIN), 5u);
  EXPECT_EQ(high, 1);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, "x", 1, &written, nullptr));
  DWORD size_high = 0;
  EXPECT_EQ(GetFileSize(file, &size_high), 6u);
  EXPECT_EQ(size_high, 1u);
  high = 0;
  EXPECT_EQ(SetFilePointer(file, 0, &high, FILE_CURRENT), 6u);
  EXPECT_EQ(high, 1);
  // A low half of 0xFFFFFFFF is a real position: the last error says success.
  high = 0;
  SetLastError(ERROR_INVALID_HANDLE);
  EXPECT_EQ(SetFilePointer(file, -1, &high, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(high, 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(CloseHandle(file));
}

TEST(FileIo, CreationModesCreateTruncateOrRefuse) {
  TemporaryFolder folder;
  std::u16string name = folder.wide("made.txt");
  SetLastError(0);
  EXPECT_EQ(open_file(name, GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(open_file(folder.wide("no/such/folder.txt"), GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

  HANDLE file = open_file(name, GENERIC_WRITE, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(WriteFile(file, "hello", 5, nullptr, nullptr));
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_EQ(open_file(name, GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  EXPECT_EQ(read_whole_file(folder.file("made.txt")), "hello");

  file = open_file(name, GENERIC_READ, OPEN_ALWAYS);  // keeps the contents
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(GetFileSize(file, nullptr), 5u);
  EXPECT_TRUE(CloseHandle(file));

  file = open_file(name, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);  // empties it
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_EQ(read_whole_file(folder.file("made.txt")), "");

  write_whole_file(folder.file("made.txt"), "again");
  file = open_file(name, GENERIC_WRITE, TRUNCATE_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_EQ(read_whole_file(folder.file("made.txt")), "");

  file = open_file(folder.wide("fresh.txt"), GENERIC_WRITE, OPEN_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_TRUE(path_exists(folder.file("fresh.txt")));
}

TEST(FileIo, HandlesOnlyDoWhatTheyWereOpenedFor) {
  TemporaryFolder folder;
  write_whole_file(folder.file("text.txt"), "abc");
  char buffer[4];
  DWORD count = 99;
  HANDLE reader = open_file(folder.wide("text.txt"), GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteFile(reader, "x", 1, &count, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(count, 0u);
  EXPECT_FALSE(FlushFileBuffers(reader));
  HANDLE writer = open_file(folder.wide("text.txt"), GENERIC_WRITE, OPEN_EXISTING);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(ReadFile(writer, buffer, 1, &count, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(CloseHandle(reader));
  EXPECT_TRUE(CloseHandle(writer));
  EXPECT_EQ(read_whole_file(folder.file("text.txt")), "abc");

  // A folder cannot be opened as a file, for reading or writing.
  for (DWORD access : {GENERIC_READ, GENERIC_WRITE}) {
    EXPECT_EQ(open_file(folder.wide(), access, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  }
  EXPECT_EQ(open_file(folder.wide(), GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(FileIo, WithoutAHighPartAPositionPastFourGigabytesFails) {
  TemporaryFolder folder;
  HANDLE file = open_file(folder.wide("sparse.bin"), GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LONG high = 1;
  ASSERT_EQ(SetFilePointer(file, 5, &high, FILE_BEGIN), 5u);
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  high = 0;
  EXPECT_EQ(SetFilePointer(file, 0, &high, FILE_CURRENT), 5u) << "the failed call did not move";
  EXPECT_EQ(high, 1);
  EXPECT_TRUE(CloseHandle(file));
}

}  // namespace
