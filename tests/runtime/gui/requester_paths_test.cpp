#include "runtime/gui/requester_paths.h"

#include <gtest/gtest.h>

#include "platform/win32/path_separators.h"

namespace {

TEST(RequesterFilter, BarsBecomeZerosAndTheListEndsWithTwo) {
  const std::u16string filter = requester_filter(u"Portable Network Graphics (*.png)|*.png|Bitmap (*.bmp)|*.bmp");
  const std::u16string expected(u"Portable Network Graphics (*.png)\0*.png\0Bitmap (*.bmp)\0*.bmp\0", 61);
  EXPECT_EQ(filter, expected);
  // c_str() supplies the second terminating zero.
  EXPECT_EQ(filter.c_str()[filter.size()], u'\0');
  EXPECT_EQ(requester_filter(u""), std::u16string(1, u'\0'));
}

TEST(FileNameIsValid, RejectsEmptyNamesControlUnitsAndReservedCharacters) {
  EXPECT_TRUE(file_name_is_valid(u"fern.ifs"));
  EXPECT_TRUE(file_name_is_valid(u"picture"));
  EXPECT_FALSE(file_name_is_valid(u""));
  for (char16_t unit : std::u16string_view(u"\"*/:<>?\\|\t\x1F")) {
    SCOPED_TRACE(static_cast<int>(unit));
    EXPECT_FALSE(file_name_is_valid(std::u16string(u"a") + unit + u"b"));
  }
}

TEST(RequesterDefault, SplitsAtTheLastSlash) {
  const RequesterDefaultPath split = requester_split_default(u"/home/user/pictures/fern");
  EXPECT_EQ(split.directory, u"/home/user/pictures");
  EXPECT_EQ(split.name, u"fern");
}

TEST(RequesterDefault, ANameWithoutSlashOpensInTheDialogsDirectory) {
  const RequesterDefaultPath split = requester_split_default(u"fern.ifs");
  EXPECT_TRUE(split.directory.empty());
  EXPECT_EQ(split.name, u"fern.ifs");
}

TEST(RequesterDefault, TheRootFolderIsKept) {
  const RequesterDefaultPath in_root = requester_split_default(u"/fern.ifs");
  EXPECT_EQ(in_root.directory, u"/");
  EXPECT_EQ(in_root.name, u"fern.ifs");
  const RequesterDefaultPath root_alone = requester_split_default(u"/");
  EXPECT_EQ(root_alone.directory, u"/");
  EXPECT_TRUE(root_alone.name.empty());
}

TEST(RequesterDefault, ADirectoryAloneLeavesTheNameEmpty) {
  const RequesterDefaultPath split = requester_split_default(u"/home/user/");
  EXPECT_EQ(split.directory, u"/home/user");
  EXPECT_TRUE(split.name.empty());
}

// The folders the shell remembers come back as defaults in the system's own
// form: on Windows "C:\work\files\", where "/" also separates; on Linux a
// backslash is part of a name.
TEST(RequesterDefault, SplitsAtTheSeparatorsOfTheSystemsNames) {
  const RequesterDefaultPath folder = requester_split_default(u"C:\\work\\files\\");
  const RequesterDefaultPath named = requester_split_default(u"C:\\work/files\\fern.png");
  const RequesterDefaultPath root = requester_split_default(u"C:\\fern.png");
  const RequesterDefaultPath share = requester_split_default(u"\\\\server\\pictures\\fern.png");
  if (kernel32_is_path_separator(u'\\')) {
    EXPECT_EQ(folder.directory, u"C:\\work\\files");
    EXPECT_TRUE(folder.name.empty());
    EXPECT_EQ(named.directory, u"C:\\work/files");
    EXPECT_EQ(named.name, u"fern.png");
    EXPECT_EQ(root.directory, u"C:\\");
    EXPECT_EQ(root.name, u"fern.png");
    EXPECT_EQ(share.directory, u"\\\\server\\pictures");
    EXPECT_EQ(share.name, u"fern.png");
  } else {
    // Only the slash separates: "C:\\work" and "files\\fern.png" are names.
    EXPECT_TRUE(folder.directory.empty());
    EXPECT_TRUE(folder.name.empty());
    EXPECT_EQ(named.directory, u"C:\\work");
    EXPECT_TRUE(named.name.empty());  // a backslash is not allowed in the dialog's name field
    EXPECT_TRUE(requester_split_default(u"/home/a\\b/fern.png").directory == u"/home/a\\b");
  }
}

TEST(RequesterDefault, LongNamesAreCutToTheBufferLess1) {
  const std::u16string long_name(400, u'a');
  EXPECT_EQ(requester_split_default(long_name).name.size(), REQUESTER_NAME_CAPACITY - 1);
  EXPECT_EQ(requester_split_default(u"/tmp/" + long_name).name.size(), REQUESTER_NAME_CAPACITY - 1);
}

}  // namespace
