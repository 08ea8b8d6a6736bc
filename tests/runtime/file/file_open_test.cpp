#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/win32/types.h"

#include "runtime/file/file.h"
#include "runtime/file/file_object.h"
#include "support/file_reading_fixture.h"

namespace {

int live_file_count() {
  ObjectRegistry* registry = file_registry();
  int count = 0;
  registry_iterate_begin(registry);
  while (registry_iterate_next(registry, nullptr)) ++count;
  return count;
}

using FileOpen = FileReadingTest;

TEST_F(FileOpen, NumbersAndDynamicIds) {
  const std::u16string first = write_file("first.txt", "first\n");
  const std::u16string second = write_file("second.txt", "second\n");

  EXPECT_NE(file_open_read(3, first.c_str()), 0);
  const ObjectId dynamic = file_open_read(AUTO_ID, second.c_str());
  ASSERT_NE(dynamic, 0);
  EXPECT_NE(dynamic, AUTO_ID);
  EXPECT_EQ(file_read_line(dynamic, FILE_ANSI), u"second");
  EXPECT_EQ(file_read_line(3, FILE_ANSI), u"first");
  EXPECT_EQ(live_file_count(), 2);

  file_close(dynamic);
  EXPECT_EQ(file_read_line(dynamic, FILE_ANSI), u"") << "a closed dynamic id is unknown";
  EXPECT_EQ(live_file_count(), 1);
}

TEST_F(FileOpen, OpeningAgainUnderANumberClosesTheOldFile) {
  const int descriptors = open_descriptor_count();
  EXPECT_NE(file_open_read(0, write_file("a.txt", "from a").c_str()), 0);
  EXPECT_NE(file_open_read(0, write_file("b.txt", "from b").c_str()), 0);
  EXPECT_EQ(file_read_line(0, FILE_ANSI), u"from b");
  EXPECT_EQ(open_descriptor_count(), descriptors + 1);

  // A failed open still closes what was open under the number.
  EXPECT_EQ(file_open_read(0, path_of("missing.txt").c_str()), 0);
  EXPECT_EQ(open_descriptor_count(), descriptors);
  EXPECT_EQ(file_eof(0), 0);
  EXPECT_EQ(file_read_line(0, FILE_ANSI), u"");
}

TEST_F(FileOpen, FailedOpensLeaveNothingBehind) {
  EXPECT_EQ(file_open_read(AUTO_ID, path_of("missing.txt").c_str()), 0);
  EXPECT_EQ(file_open_read(AUTO_ID, nullptr), 0);
  EXPECT_EQ(file_open_read(AUTO_ID, u""), 0);
  EXPECT_EQ(file_open_read(-2, write_file("x.txt", "x").c_str()), 0) << "invalid number";
  EXPECT_EQ(live_file_count(), 0);
}

TEST_F(FileOpen, NamesThatAreNoReadableFileOpenNothing) {
  const int descriptors = open_descriptor_count();
  const std::u16string directory = widen(folder().string());
  EXPECT_EQ(file_open_read(AUTO_ID, directory.c_str()), 0) << "a directory is not a file";
  EXPECT_EQ(file_open_read(4, directory.c_str()), 0);
  EXPECT_EQ(file_open_read(4, u"/"), 0);
  const char16_t lone_surrogate[] = {u'a', 0xD800, u'b', 0};
  EXPECT_EQ(file_open_read(AUTO_ID, lone_surrogate), 0) << "an unconvertible name names no file";
  EXPECT_EQ(live_file_count(), 0);
  EXPECT_EQ(open_descriptor_count(), descriptors);

  // Unreadable by permission (root reads everything, so only others see it).
  const std::u16string locked = write_file("locked.txt", "secret\n");
  std::filesystem::permissions(folder() / "locked.txt", std::filesystem::perms::none);
  if (geteuid() != 0) {
    EXPECT_EQ(file_open_read(AUTO_ID, locked.c_str()), 0);
  }
  file_close(AUTO_ID);
}

// A file that opens but whose reads fail: the process's own memory image at
// address 0, which is never mapped.
TEST_F(FileOpen, ReadErrorsCountAsTheEndOfTheFile) {
  ASSERT_NE(file_open_read(1, u"/proc/self/mem"), 0);
  EXPECT_NE(file_eof(1), 0);
  EXPECT_EQ(file_read_line(1, FILE_ANSI), u"");
  EXPECT_EQ(file_read_line(1, FILE_UTF16), u"");
  file_close(1);
}

TEST_F(FileOpen, NamesLongerThanMaxPathOpenTheNamedFile) {
  std::filesystem::create_directories(folder() / std::string(200, 'd'));
  const std::string long_name = std::string(200, 'd') + "/" + std::string(100, 'f');
  const std::u16string full = write_file(long_name, "whole name\n");
  ASSERT_GT(full.size(), static_cast<std::size_t>(MAX_PATH));
  write_file(long_name.substr(0, long_name.size() - (full.size() - MAX_PATH)), "cut name\n");
  ASSERT_NE(file_open_read(0, full.c_str()), 0);
  EXPECT_EQ(file_read_line(0, FILE_ANSI), u"whole name");
}

TEST_F(FileOpen, ClosingEverythingAtShutDown) {
  const int descriptors = open_descriptor_count();
  const std::u16string path = write_file("shared.txt", "line\n");
  for (ObjectId number : {0, 1, 40}) ASSERT_NE(file_open_read(number, path.c_str()), 0);
  for (int k = 0; k < 3; ++k) ASSERT_NE(file_open_read(AUTO_ID, path.c_str()), 0);
  EXPECT_EQ(live_file_count(), 6);
  EXPECT_EQ(open_descriptor_count(), descriptors + 6);

  file_close(AUTO_ID);
  EXPECT_EQ(live_file_count(), 0);
  EXPECT_EQ(open_descriptor_count(), descriptors);
  EXPECT_EQ(file_read_line(40, FILE_ANSI), u"");

  ASSERT_NE(file_open_read(2, path.c_str()), 0);
  file_library_free();
  EXPECT_EQ(open_descriptor_count(), descriptors);
}

TEST_F(FileOpen, ANameHoldingWildcardsMeasuresOnlyTheFileOfThatName) {
  write_file("ab.ifs", "");
  write_file("qq.ifs", "1234");
  // No file of these very names: a sibling that matches as a pattern is not it.
  EXPECT_EQ(file_size(path_of("a*.ifs").c_str()), -1);
  EXPECT_EQ(file_size(path_of("q?.ifs").c_str()), -1);
  write_file("a*.ifs", "seven!!");
  EXPECT_EQ(file_size(path_of("a*.ifs").c_str()), 7);
  EXPECT_NE(file_open_read(0, path_of("a*.ifs").c_str()), 0);
  EXPECT_EQ(file_read_line(0, FILE_ANSI), u"seven!!");
  file_close(0);
}

TEST_F(FileOpen, FileSizes) {
  EXPECT_EQ(file_size(write_file("empty.txt", "").c_str()), 0);
  EXPECT_EQ(file_size(write_file("five.txt", "12345").c_str()), 5);
  std::filesystem::resize_file(folder() / "five.txt", 5'000'000'000);
  EXPECT_EQ(file_size(path_of("five.txt").c_str()), 5'000'000'000) << "beyond 32 bits";
  EXPECT_EQ(file_size(path_of("missing.txt").c_str()), -1);
  EXPECT_EQ(file_size(nullptr), -1);
  EXPECT_EQ(file_size(u""), -1);

  const std::u16string directory = folder().u16string();
  EXPECT_EQ(file_size(directory.c_str()), -2);
  EXPECT_EQ(file_size((directory + u"/").c_str()), -2);
  EXPECT_EQ(file_size((directory + u"//").c_str()), -2);
  EXPECT_EQ(file_size((directory + u"\\").c_str()), -2);
  EXPECT_EQ(file_size(u"/"), -2);
  EXPECT_EQ(file_size(u"//"), -2);
  EXPECT_EQ(file_size(u".."), -2);
  EXPECT_EQ(file_size(u"Q:"), -1) << "no drive letters here: a plain name that does not exist";

  // Long names are measured whole, never cut to the name of another file.
  std::filesystem::create_directories(folder() / std::string(200, 'd'));
  const std::string long_name = std::string(200, 'd') + "/" + std::string(100, 'f');
  const std::u16string full = write_file(long_name, "abc");
  const std::string cut = long_name.substr(0, long_name.size() - (full.size() - MAX_PATH));
  EXPECT_EQ(path_of(cut).size(), static_cast<std::size_t>(MAX_PATH));
  write_file(cut, "xy");
  EXPECT_EQ(file_size(full.c_str()), 3);
}

TEST_F(FileOpen, CurrentDirectoryEndsInTheSeparator) {
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder());
  const std::u16string directory = current_directory();
  std::filesystem::current_path(before);
  EXPECT_EQ(directory, widen(std::filesystem::canonical(folder()).string()) + u"/");

  std::filesystem::current_path("/");
  const std::u16string root = current_directory();
  std::filesystem::current_path(before);
  EXPECT_EQ(root, u"/");

  // Deeper than MAX_PATH: still the whole path.
  std::filesystem::path deep = folder();
  for (int level = 0; level < 4; ++level) deep /= std::string(90, static_cast<char>('a' + level));
  std::filesystem::create_directories(deep);
  std::filesystem::current_path(deep);
  const std::u16string long_directory = current_directory();
  std::filesystem::current_path(before);
  EXPECT_GT(long_directory.size(), static_cast<std::size_t>(MAX_PATH));
  EXPECT_EQ(long_directory, widen(std::filesystem::canonical(deep).string()) + u"/");
}

}  // namespace
