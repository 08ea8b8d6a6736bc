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

TEST(CodePages, FailuresSetTheLastError) {
  WCHAR wide[4];
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "hello", -1, wide, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\x80", -1, wide, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "ok", -1, wide, 4), 3);
  for (int length : {0}) {
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
  // A lone surrogate becomes U+FFFD in UTF-8.
  const WCHAR lone[] = {u'a', 0xD800, 0};
  ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, lone, -1, text, 8, nullptr, nullptr), 5);
  EXPECT_STREQ(text, "a\xEF\xBF\xBD");
}

TEST(CodePages, Utf8TakesNoDefaultCharacter) {
  // There is nothing UTF-8 cannot encode, so Win32 refuses the parameters for one.
  char text[8];
  BOOL used = FALSE;
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"abc", -1, text, 8, "?", &used), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
