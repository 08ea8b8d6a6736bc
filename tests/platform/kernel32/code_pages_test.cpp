// MultiByteToWideChar / WideCharToMultiByte: Win32's sizing and error rules.
#include <cstring>

#include <gtest/gtest.h>

#include "platform/win32/kernel32.h"

namespace {

TEST(CodePages, LengthMinusOneCountsTheTerminator) {
  const char* text = "h\xC3\xA9llo";  // "héllo": 6 bytes, 5 characters
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0), 6);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, 6, nullptr, 0), 5);
  WCHAR wide[8];
  std::memset(wide, 0x55, sizeof wide);
  ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, 8), 6);
  EXPECT_EQ(std::u16string(wide), u"h\u00E9llo");
  // With an explicit length nothing is terminated: the unit after stays as it was.
  std::memset(wide, 0x55, sizeof wide);
  ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, 6, wide, 8), 5);
  EXPECT_EQ(wide[5], 0x5555);
}

TEST(CodePages, AnsiCodePageIsUtf8AndKeepsInvalidBytesWhereUtf8ReplacesThem) {
  const char* text = "a\xF0\x9F\x98\x80\xFF\xC3";
  WCHAR from_acp[8] = {};
  WCHAR from_utf8[8] = {};
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, from_acp, 8), 6);
  ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, from_utf8, 8), 6);
  EXPECT_EQ(std::u16string(from_acp), u"a\U0001F600\xDCFF\xDCC3");
  EXPECT_EQ(std::u16string(from_utf8), u"a\U0001F600\uFFFD\uFFFD");
  // The system code page gives the very bytes back; UTF-8 cannot.
  char bytes[16] = {};
  ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, from_acp, -1, bytes, 16, nullptr, nullptr), 8);
  EXPECT_EQ(std::string(bytes), text);
  BOOL used_default = FALSE;
  ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\xD800", 1, bytes, 16, "?", &used_default), 1);
  EXPECT_EQ(bytes[0], '?');
  EXPECT_TRUE(used_default);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, from_acp, 8), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(CodePages, FailuresSetTheLastError) {
  WCHAR wide[4];
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "hello", -1, wide, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\x80", -1, wide, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "ok", -1, wide, 4), 3);
  for (int length : {0, -2}) {
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", length, wide, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, nullptr, 3, wide, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, nullptr, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, wide, 4), 0);  // no other code page here
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(CodePages, WideToMultiByteFollowsTheSameRules) {
  const WCHAR* wide = u"\u20AC\U0001F600";
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr), 8);
  char text[8];
  ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, 8, nullptr, nullptr), 8);
  EXPECT_STREQ(text, "\xE2\x82\xAC\xF0\x9F\x98\x80");
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, 7, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  BOOL used = FALSE;
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, 8, "?", &used), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  // A lone surrogate: U+FFFD in UTF-8, the caller's default character in the ANSI page.
  const WCHAR lone[] = {u'a', 0xD800, 0};
  ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, lone, -1, text, 8, nullptr, nullptr), 5);
  EXPECT_STREQ(text, "a\xEF\xBF\xBD");
  ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, lone, -1, text, 8, "?", &used), 3);
  EXPECT_STREQ(text, "a?");
  EXPECT_TRUE(used);
}

}  // namespace
