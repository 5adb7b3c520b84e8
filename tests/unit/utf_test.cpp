// UTF-8 and UTF-16 both ways, lone surrogates of file names included.
#include "base/utf.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf, WellFormedTextIsPlainUtf8BothWays) {
  const std::u16string text = u"C:\\한글 ☃ テスト\\\U0001F600 α.png";
  const std::string utf8 = Utf8FromUtf16(text);
  EXPECT_EQ(utf8, "C:\\\xED\x95\x9C\xEA\xB8\x80 \xE2\x98\x83 \xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\\"
                  "\xF0\x9F\x98\x80 \xCE\xB1.png");
  EXPECT_EQ(Utf16FromUtf8(utf8), text);
}

// NTFS keeps such names; each must come back unit for unit, and never as
// another name.
TEST(Utf, LoneSurrogatesComeBackExactly) {
  const std::u16string names[] = {
      std::u16string(u"a") + char16_t(0xD800) + u"b.png",                      // lone high
      std::u16string(u"a") + char16_t(0xDC00) + u".png",                       // lone low
      std::u16string(1, char16_t(0xDBFF)),                                     // high at the end
      std::u16string(1, char16_t(0xDC00)) + char16_t(0xD800),                  // low before high: no pair
      std::u16string(1, char16_t(0xD800)) + char16_t(0xD800) + char16_t(0xDC00),  // lone, then a pair
  };
  for (const std::u16string& name : names) {
    const std::string utf8 = Utf8FromUtf16(name);
    EXPECT_EQ(Utf16FromUtf8(utf8), name);
    EXPECT_NE(Utf16FromUtf8(utf8), Utf16FromUtf8(Utf8FromUtf16(u"a\uFFFDb.png")));
  }
  EXPECT_EQ(Utf8FromUtf16(std::u16string(1, char16_t(0xD800))), "\xED\xA0\x80");
}

TEST(Utf, BytesThatFormNoCharacterEachBecomeTheReplacement) {
  EXPECT_EQ(Utf16FromUtf8("a\x80" "b"), u"a\uFFFDb");             // stray continuation
  EXPECT_EQ(Utf16FromUtf8("a\xE3\x81"), u"a\uFFFD\uFFFD");         // cut short by the end
  EXPECT_EQ(Utf16FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");           // overlong '/'
  EXPECT_EQ(Utf16FromUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // past U+10FFFF
  EXPECT_EQ(Utf16FromUtf8("\xFF"), u"\uFFFD");
  EXPECT_EQ(Utf16FromUtf8(""), u"");
}

}  // namespace
