// The system code page here is UTF-8 that keeps every byte, and it is the only other page.
#include <string>

#include <gtest/gtest.h>

#include "platform/win32/kernel32.h"

namespace {

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

TEST(CodePages, NoOtherCodePageAndTheDefaultCharacterForTheSystemPage) {
  WCHAR wide[4];
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -2, wide, 4), 0);  // a length Win32 leaves undefined
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, wide, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  const WCHAR lone[] = {u'a', 0xD800, 0};
  char text[8];
  BOOL used = FALSE;
  ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, lone, -1, text, 8, "?", &used), 3);
  EXPECT_STREQ(text, "a?");
  EXPECT_TRUE(used);
}

}  // namespace
