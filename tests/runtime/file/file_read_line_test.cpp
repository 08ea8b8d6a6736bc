#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/kernel32/text_conversion.h"
#include "runtime/file/file.h"
#include "support/file_reading_fixture.h"

namespace {

using namespace std::string_literals;

// Every case runs buffered, unbuffered and with a buffer so small that lines
// and CR LF pairs straddle refills.
class FileReadLine : public FileReadingTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    FileReadingTest::SetUp();
    file_buffer_size_set(GetParam());
  }

  // Opens the bytes as file 0.
  void open(std::string_view bytes) { ASSERT_NE(file_open_read(0, write_file("lines.txt", bytes).c_str()), 0); }

  std::vector<std::u16string> read_all(std::uint32_t flags = FILE_ANSI) {
    std::vector<std::u16string> lines;
    while (file_eof(0) == 0 && lines.size() < 100000) lines.push_back(file_read_line(0, flags));
    return lines;
  }
};

using Lines = std::vector<std::u16string>;

TEST_P(FileReadLine, LfCrLfAndCrEndLinesAlike) {
  for (const char* bytes : {"one\ntwo\nthree\n", "one\r\ntwo\r\nthree\r\n", "one\rtwo\rthree\r", "one\ntwo\r\nthree",
                            "one\rtwo\nthree"}) {
    open(bytes);
    EXPECT_EQ(read_all(), (Lines{u"one", u"two", u"three"})) << bytes;
    EXPECT_NE(file_eof(0), 0);
  }
}

TEST_P(FileReadLine, EmptyLinesAndNulBytes) {
  open("a\n\nb\r\n\r\nc\r\rd");
  EXPECT_EQ(read_all(), (Lines{u"a", u"", u"b", u"", u"c", u"", u"d"}));

  // A NUL ends the line early; what follows starts the next one.
  open("ab\0cd\nef"s);
  EXPECT_EQ(read_all(), (Lines{u"ab", u"cd", u"ef"}));

  // Two line ends at the end make one empty line, one makes none.
  open("x\n\n");
  EXPECT_EQ(read_all(), (Lines{u"x", u""}));
}

TEST_P(FileReadLine, TheEndOfTheFile) {
  open("last line without end");
  EXPECT_EQ(file_eof(0), 0);
  EXPECT_EQ(file_read_line(0, FILE_ANSI), u"last line without end");
  EXPECT_NE(file_eof(0), 0);
  EXPECT_EQ(file_read_line(0, FILE_ANSI), u"");
  EXPECT_NE(file_eof(0), 0) << "reading at the end stays at the end";

  open("x\r");
  EXPECT_EQ(read_all(), (Lines{u"x"})) << "a lone CR at the end adds no empty line";

  open("");
  EXPECT_NE(file_eof(0), 0);
  EXPECT_EQ(file_read_line(0, FILE_ANSI), u"");
}

TEST_P(FileReadLine, LongLinesAreReadWhole) {
  for (std::size_t length : {4094u, 4095u, 4096u, 4097u, 12289u}) {
    std::string long_line;
    for (std::size_t k = 0; k < length; ++k) long_line += static_cast<char>('a' + k % 26);
    open(long_line + "\r\nshort\n" + long_line);
    const Lines lines = read_all();
    ASSERT_EQ(lines.size(), 3u) << length;
    EXPECT_EQ(lines[0], widen(long_line)) << length;
    EXPECT_EQ(lines[1], u"short");
    EXPECT_EQ(lines[2], widen(long_line)) << length;
  }
}

TEST_P(FileReadLine, SeekingRereadsAndSkips) {
  open("first\nsecond\nthird\n");
  EXPECT_EQ(read_all(), (Lines{u"first", u"second", u"third"}));
  EXPECT_EQ(file_seek(0, 0, 0), 0u);
  EXPECT_EQ(read_all(), (Lines{u"first", u"second", u"third"}));

  // Relative moves count from the read position, not from how far the buffer read ahead.
  file_seek(0, 0, 0);
  EXPECT_EQ(file_read_line(0, FILE_ANSI), u"first");
  EXPECT_EQ(file_seek(0, 3, 1), 9u);  // 6 bytes of "first\n" + 3
  EXPECT_EQ(file_read_line(0, FILE_ANSI), u"ond");
  EXPECT_EQ(file_seek(0, -4, 1), 9u);
  EXPECT_EQ(file_read_line(0, FILE_ANSI), u"ond");
  EXPECT_EQ(file_seek(0, 13, 0), 13u);
  EXPECT_EQ(read_all(), (Lines{u"third"}));
}

TEST_P(FileReadLine, IgnoringLineEndsKeepsCrAndLf) {
  open("a\nb\r\nc\0d"s);
  EXPECT_EQ(file_read_line(0, FILE_ANSI | FILE_IGNORE_EOL), u"a\nb\r\nc");
  EXPECT_EQ(file_read_line(0, FILE_ANSI | FILE_IGNORE_EOL), u"d");
  EXPECT_NE(file_eof(0), 0);
}

TEST_P(FileReadLine, ByteFormatsDecodeThroughTheirCodePage) {
  open("caf\xC3\xA9\nbad \xFF byte\n");
  EXPECT_EQ(file_read_line(0, FILE_UTF8), u"caf\u00E9");
  EXPECT_EQ(file_read_line(0, FILE_UTF8), u"bad \uFFFD byte");
  // The system code page is UTF-8 here; unknown formats read as FILE_ANSI.
  for (std::uint32_t flags : {FILE_ANSI, 7u, 31u}) {
    file_seek(0, 0, 0);
    EXPECT_EQ(file_read_line(0, flags), u"caf\u00E9") << flags;
  }
}

TEST_P(FileReadLine, Utf16ReadsLittleEndianCodeUnits) {
  // "hé" CR LF "x" CR "€" LF "y" NUL "z" CR, then half a code unit, which
  // is dropped.
  open("h\0\xE9\0\r\0\n\0x\0\r\0\xAC\x20\n\0y\0\0\0z\0\r\0!"s);
  EXPECT_EQ(read_all(FILE_UTF16), (Lines{u"h\u00E9", u"x", u"\u20AC", u"y", u"z"}));

  // The unit after a CR straddles two refills of a small buffer and is
  // given back whole.
  open("\r\0x\0\r\0y\0"s);
  EXPECT_EQ(read_all(FILE_UTF16), (Lines{u"", u"x", u"y"}));

  open("a\0\n\0b\0"s);
  EXPECT_EQ(file_read_line(0, FILE_UTF16 | FILE_IGNORE_EOL), u"a\nb");
}

TEST_P(FileReadLine, NumbersWithoutAnOpenFileDoNothing) {
  EXPECT_EQ(file_eof(7), 0);
  EXPECT_EQ(file_read_line(7, FILE_ANSI), u"");
  EXPECT_EQ(file_seek(7, 10, 0), 0u);
  file_close(7);
  EXPECT_EQ(file_eof(-5), 0);
  EXPECT_EQ(file_read_line(123456789, FILE_ANSI), u"");
}

// Lines past a megabyte are read a second time and decoded in pieces: what
// comes out must be what decoding the whole line at once gives, wherever the
// pieces end, and the line end must be consumed just the same.
TEST_P(FileReadLine, VeryLongLinesComeBackWholeWithTheirLineEnds) {
  // Multibyte characters and stray bytes at every offset, so that pieces end
  // inside characters; then each kind of line end.
  std::string long_line;
  const std::string pattern = "ab\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xFF\xE2\x82 ";
  while (long_line.size() < (std::size_t{1} << 20) + 200000) long_line += pattern;
  // Unbuffered and tiny buffers read byte by byte from the system: one case will do.
  const bool thorough = GetParam() == 4096;
  const std::vector<const char*> ends = thorough ? std::vector<const char*>{"\n", "\r\n", "\r", "\0"}
                                                 : std::vector<const char*>{"\r\n"};
  for (const char* end : ends) {
    open(long_line + std::string(end, end[0] ? std::strlen(end) : 1) + "next");
    const std::u16string first = file_read_line(0, FILE_ANSI);
    EXPECT_EQ(first, bytes_to_utf16(long_line)) << "end " << int(end[0]);
    EXPECT_EQ(file_read_line(0, FILE_ANSI), u"next");
    EXPECT_NE(file_eof(0), 0);
  }
  if (!thorough) return;
  // UTF-8 reading replaces the stray bytes, still in one piece with the rest.
  open(long_line);
  EXPECT_EQ(file_read_line(0, FILE_UTF8), utf8_to_utf16(long_line));
  EXPECT_NE(file_eof(0), 0);
  // A line exactly as long as the limit, then a second one.
  const std::string exact(std::size_t{1} << 20, 'x');
  open(exact + "\r\n" + exact);
  EXPECT_EQ(file_read_line(0, FILE_ANSI).size(), exact.size());
  EXPECT_EQ(file_read_line(0, FILE_ANSI).size(), exact.size());
  EXPECT_NE(file_eof(0), 0);
}

INSTANTIATE_TEST_SUITE_P(BufferSizes, FileReadLine, ::testing::Values(4096, 0, 3),
                         [](const ::testing::TestParamInfo<int>& buffer) { return "buffer" + std::to_string(buffer.param); });

}  // namespace
