// Names from another program's library made into file names: what a file
// system refuses or takes for something else never reaches it, and no two
// pictures land on one file, even where case does not count.
#include "cli/table_file_names.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::u16string>;

TEST(TableFileNames, UnsafeNamesAreMadeSafeAndClashingOnesDistinct) {
  EXPECT_EQ(table_file_names({u"fern", u"koch-2", u"my_table.v2"}, u".png"),
            (Names{u"fern.png", u"koch-2.png", u"my_table.v2.png"}));
  // Separators, parent folders, hidden files, Windows' refused characters and devices.
  EXPECT_EQ(table_file_names({u"../up", u"a\\b", u".hidden", u"..", u"c:d*e?\"<>|", u"CON", u"lpt1.x", u"com0"}, u".bmp"),
            (Names{u"_._up.bmp", u"a_b.bmp", u"_hidden.bmp", u"_..bmp", u"c_d_e_____.bmp", u"_CON.bmp", u"_lpt1.x.bmp",
                   u"com0.bmp"}));
  // Control characters and lone surrogates go; letters beyond ASCII and whole pairs stay.
  EXPECT_EQ(table_file_names({u"a\x1b[31m", u"\u00e9t\u00e9", std::u16string(u"x\xD800y"), u"\U0001F33F"}, u".png"),
            (Names{u"a__31m.png", u"\u00e9t\u00e9.png", u"x_y.png", u"\U0001F33F.png"}));
  EXPECT_EQ(table_file_names({u""}, u".png"), Names{u"table.png"});

  // Names that meet once safe, or that differ only in case, stay apart;
  // a number added never lands on another table's name.
  EXPECT_EQ(table_file_names({u"a/b", u"a_b", u"Fern", u"fern", u"a_b-2", u"FERN"}, u".png"),
            (Names{u"a_b.png", u"a_b-2.png", u"Fern.png", u"fern-2.png", u"a_b-2-2.png", u"FERN-3.png"}));

  // A long name is cut to fit any file system's 255 bytes with its number
  // and extension, never inside a character.
  const Names long_names = table_file_names({std::u16string(300, u'x'), std::u16string(300, u'\u00e9'),
                                             std::u16string(300, u'x')},
                                            u".png");
  EXPECT_EQ(long_names[0], std::u16string(TABLE_FILE_STEM_BYTES, u'x') + u".png");
  EXPECT_EQ(long_names[1], std::u16string(TABLE_FILE_STEM_BYTES / 2, u'\u00e9') + u".png");
  EXPECT_EQ(long_names[2], std::u16string(TABLE_FILE_STEM_BYTES, u'x') + u"-2.png");
}

}  // namespace
