// DragQueryFileW and friends over file-list blocks built here byte by byte, the way
// a drag source lays them out (DROPFILES header, names, empty name).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/kernel32.h"
#include "platform/win32/shell32.h"

namespace {

// A movable global block holding `bytes`, handed over as HDROP.
HDROP drop_block(const std::string& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  void* memory = GlobalLock(block);
  std::memcpy(memory, bytes.data(), bytes.size());
  GlobalUnlock(block);
  return reinterpret_cast<HDROP>(block);
}

std::string header_bytes(DWORD names_offset, BOOL wide, LONG x = 0, LONG y = 0, BOOL non_client = FALSE) {
  std::string bytes(20, '\0');
  auto put = [&bytes](size_t at, DWORD value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  put(0, names_offset);
  put(4, static_cast<DWORD>(x));
  put(8, static_cast<DWORD>(y));
  put(12, static_cast<DWORD>(non_client));
  put(16, static_cast<DWORD>(wide));
  return bytes;
}

// Little-endian UTF-16, each name terminated, then the empty name.
std::string wide_names(const std::vector<std::u16string>& names) {
  std::string bytes;
  auto put_unit = [&bytes](char16_t unit) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  };
  for (const std::u16string& name : names) {
    for (char16_t unit : name) put_unit(unit);
    put_unit(0);
  }
  put_unit(0);
  return bytes;
}

std::string narrow_names(const std::vector<std::string>& names) {
  std::string bytes;
  for (const std::string& name : names) {
    bytes += name;
    bytes += '\0';
  }
  bytes += '\0';
  return bytes;
}

std::u16string query_name(HDROP drop, UINT index) {
  UINT length = DragQueryFileW(drop, index, nullptr, 0);
  std::u16string name(length + 1, u'#');
  UINT copied = DragQueryFileW(drop, index, name.data(), length + 1);
  EXPECT_EQ(copied, length);
  EXPECT_EQ(name[length], u'\0');
  name.resize(copied);
  return name;
}

const std::vector<std::u16string> THREE_PATHS = {u"/home/ann/fern.ifs", u"/tmp/b.ifs", u"/c"};

TEST(DragQueryFileW, WideListGivesCountLengthsAndNamesInOrder) {
  HDROP drop = drop_block(header_bytes(20, TRUE) + wide_names(THREE_PATHS));
  EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 3u);
  EXPECT_EQ(DragQueryFileW(drop, 0, nullptr, 0), 18u);
  EXPECT_EQ(DragQueryFileW(drop, 1, nullptr, 0), 10u);
  EXPECT_EQ(DragQueryFileW(drop, 2, nullptr, 0), 2u);
  for (UINT i = 0; i < 3; ++i) EXPECT_EQ(query_name(drop, i), THREE_PATHS[i]);
  DragFinish(drop);
}

TEST(DragQueryFileW, CountRequestIgnoresTheBuffer) {
  HDROP drop = drop_block(header_bytes(20, TRUE) + wide_names(THREE_PATHS));
  WCHAR buffer[8] = {u'x', u'x'};
  EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, buffer, 8), 3u);
  EXPECT_EQ(buffer[0], u'x');
  DragFinish(drop);
}

TEST(DragQueryFileW, ShortBufferGetsCutTerminatedName) {
  HDROP drop = drop_block(header_bytes(20, TRUE) + wide_names(THREE_PATHS));
  WCHAR buffer[6];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_EQ(DragQueryFileW(drop, 0, buffer, 6), 5u);
  EXPECT_EQ(std::u16string(buffer), u"/home");

  WCHAR one[1] = {u'#'};
  EXPECT_EQ(DragQueryFileW(drop, 0, one, 1), 0u);
  EXPECT_EQ(one[0], u'\0');

  WCHAR untouched[1] = {u'#'};
  EXPECT_EQ(DragQueryFileW(drop, 0, untouched, 0), 0u);
  EXPECT_EQ(untouched[0], u'#');
  DragFinish(drop);
}

TEST(DragQueryFileW, IndexPastTheEndAndNullHandleGiveZero) {
  HDROP drop = drop_block(header_bytes(20, TRUE) + wide_names(THREE_PATHS));
  WCHAR buffer[32] = {u'#'};
  EXPECT_EQ(DragQueryFileW(drop, 3, buffer, 32), 0u);
  EXPECT_EQ(DragQueryFileW(drop, 3, nullptr, 0), 0u);
  EXPECT_EQ(buffer[0], u'#');
  EXPECT_EQ(DragQueryFileW(nullptr, 0xFFFFFFFF, nullptr, 0), 0u);
  DragFinish(drop);
}

TEST(DragQueryFileW, NamesStartWhereTheHeaderSays) {
  // Some sources leave a gap after the header (and an odd offset must work too).
  std::string gap(7, '\x7F');
  HDROP drop = drop_block(header_bytes(27, TRUE) + gap + wide_names({u"/x/y.ifs"}));
  EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 1u);
  EXPECT_EQ(query_name(drop, 0), u"/x/y.ifs");
  DragFinish(drop);
}

TEST(DragQueryFileW, NarrowListIsDecodedAsUtf8) {
  // "/tmp/Farn-über.ifs" with a UTF-8 u-umlaut, and a plain name.
  HDROP drop = drop_block(header_bytes(20, FALSE) + narrow_names({"/tmp/Farn-\xC3\xBC" "ber.ifs", "/a"}));
  EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 2u);
  EXPECT_EQ(DragQueryFileW(drop, 0, nullptr, 0), 18u);  // 19 bytes, 18 UTF-16 units
  EXPECT_EQ(query_name(drop, 0), u"/tmp/Farn-\u00FCber.ifs");
  EXPECT_EQ(query_name(drop, 1), u"/a");
  DragFinish(drop);
}

TEST(DragQueryFileW, EmptyListHasNoNames) {
  HDROP drop = drop_block(header_bytes(20, TRUE) + wide_names({}));
  EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 0u);
  EXPECT_EQ(DragQueryFileW(drop, 0, nullptr, 0), 0u);
  DragFinish(drop);
}

TEST(DragQueryFileW, MalformedBlocksAreReadOnlyWithinTheirSize) {
  // Names offset beyond the block.
  HDROP far_offset = drop_block(header_bytes(4000, TRUE) + wide_names({u"/a"}));
  EXPECT_EQ(DragQueryFileW(far_offset, 0xFFFFFFFF, nullptr, 0), 0u);
  DragFinish(far_offset);

  // Smaller than its header.
  HDROP stub = drop_block(std::string(12, '\0'));
  EXPECT_EQ(DragQueryFileW(stub, 0xFFFFFFFF, nullptr, 0), 0u);
  DragFinish(stub);

  // The last name runs to the end of the block with no terminator: only the
  // terminated names count.
  std::string cut = header_bytes(20, TRUE) + wide_names({u"/first"});
  cut.resize(cut.size() - 2);  // drop the empty name
  cut += std::string("/\0s\0e", 5);  // "/s" and half a unit, unterminated
  HDROP unterminated = drop_block(cut);
  EXPECT_EQ(DragQueryFileW(unterminated, 0xFFFFFFFF, nullptr, 0), 1u);
  EXPECT_EQ(query_name(unterminated, 0), u"/first");
  DragFinish(unterminated);
}

TEST(DragQueryPoint, ReportsThePointAndWhetherItIsInTheClientArea) {
  HDROP client = drop_block(header_bytes(20, TRUE, 12, -5, FALSE) + wide_names({u"/a"}));
  POINT point{};
  EXPECT_TRUE(DragQueryPoint(client, &point));
  EXPECT_EQ(point.x, 12);
  EXPECT_EQ(point.y, -5);
  DragFinish(client);

  HDROP frame = drop_block(header_bytes(20, TRUE, 3, 4, TRUE) + wide_names({u"/a"}));
  EXPECT_FALSE(DragQueryPoint(frame, &point));
  EXPECT_EQ(point.x, 3);
  DragFinish(frame);
}

}  // namespace
