#include "runtime/gui/requester_paths.h"

#include <gtest/gtest.h>

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

TEST(RequesterDefault, LongNamesAreCutToTheBufferLess1) {
  const std::u16string long_name(400, u'a');
  EXPECT_EQ(requester_split_default(long_name).name.size(), REQUESTER_NAME_CAPACITY - 1);
  EXPECT_EQ(requester_split_default(u"/tmp/" + long_name).name.size(), REQUESTER_NAME_CAPACITY - 1);
}

}  // namespace
