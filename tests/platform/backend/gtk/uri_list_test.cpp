// A dragged "text/uri-list" as the files a drop target reads.
#include "platform/backend/gtk/uri_list.h"

#include <gtest/gtest.h>

namespace {

using Files = std::vector<std::u16string>;

TEST(UriList, LocalFilesAreDecodedInOrderAndEverythingElseLeftOut) {
  const std::string list =
      "# dragged from a file manager\r\n"
      "file:///tmp/my%20fern.ifs\r\n"
      "https://example.org/tree.ifs\r\n"
      "file:///home/u/%C3%A9t%C3%A9.ifs\r\n"
      "file:///last.ifs";
  EXPECT_EQ(uri_list_files(list), (Files{u"/tmp/my fern.ifs", u"/home/u/\u00e9t\u00e9.ifs", u"/last.ifs"}));
}

TEST(UriList, ANameThatIsNotUtf8KeepsItsBytes) {
  // The byte 0xFF becomes its lone-surrogate stand-in, which the file functions turn back into 0xFF.
  EXPECT_EQ(uri_list_files("file:///tmp/a%FF.ifs\r\n"), (Files{u"/tmp/a\xDCFF.ifs"}));
}

TEST(UriList, EmptyOrBrokenListsGiveNoFiles) {
  EXPECT_TRUE(uri_list_files("").empty());
  EXPECT_TRUE(uri_list_files("\r\n\r\n").empty());
  EXPECT_TRUE(uri_list_files("not a uri\r\n").empty());
  EXPECT_TRUE(uri_list_files("file://\r\n").empty());
  EXPECT_TRUE(uri_list_files("file:///bad%zzescape.ifs\r\n").empty());
}

}  // namespace
