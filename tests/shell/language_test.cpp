#include "viewer/shell/language.h"

#include <gtest/gtest.h>

namespace {

// Windows language identifiers: the primary language in the low ten bits,
// the sublanguage above.
constexpr uint16_t kJapaneseJapan = 0x0411;
constexpr uint16_t kEnglishUs = 0x0409;
constexpr uint16_t kEnglishUk = 0x0809;
constexpr uint16_t kGerman = 0x0407;
constexpr uint16_t kChineseTaiwan = 0x0404;
constexpr uint16_t kKorean = 0x0412;
// Japanese with a sublanguage Windows does not define: still Japanese.
constexpr uint16_t kJapaneseOther = 0x0811;
constexpr uint16_t kNeutral = 0x0000;

TEST(ChooseLanguage, ByTheInterfaceLanguageWhenNothingIsStored) {
  EXPECT_EQ(ChooseLanguage(kJapaneseJapan, ""), Language::kJapanese);
  EXPECT_EQ(ChooseLanguage(kJapaneseOther, ""), Language::kJapanese);
  for (uint16_t other : {kEnglishUs, kEnglishUk, kGerman, kChineseTaiwan, kKorean, kNeutral})
    EXPECT_EQ(ChooseLanguage(other, ""), Language::kEnglish) << std::hex << other;
}

TEST(ChooseLanguage, TheStoredChoiceWinsOverTheInterfaceLanguage) {
  EXPECT_EQ(ChooseLanguage(kJapaneseJapan, "en"), Language::kEnglish);
  EXPECT_EQ(ChooseLanguage(kEnglishUs, "ja"), Language::kJapanese);
  EXPECT_EQ(ChooseLanguage(kGerman, "ja"), Language::kJapanese);
  EXPECT_EQ(ChooseLanguage(kJapaneseJapan, "ja"), Language::kJapanese);
  // As a hand-edited file may have them.
  EXPECT_EQ(ChooseLanguage(kEnglishUs, "JA"), Language::kJapanese);
  EXPECT_EQ(ChooseLanguage(kJapaneseJapan, "En"), Language::kEnglish);
}

TEST(ChooseLanguage, AnUnknownStoredValueLeavesTheDefault) {
  for (const char* stored : {"de", "jp", "japanese", "english", "e", "enn", "ja en", "\xE6\x97\xA5"}) {
    EXPECT_EQ(ChooseLanguage(kJapaneseJapan, stored), Language::kJapanese) << stored;
    EXPECT_EQ(ChooseLanguage(kEnglishUs, stored), Language::kEnglish) << stored;
  }
}

TEST(LanguageValue, RoundTripsThroughTheSettingsValue) {
  for (Language language : {Language::kJapanese, Language::kEnglish})
    EXPECT_EQ(ParseLanguage(LanguageValue(language)), language);
  EXPECT_STREQ(LanguageValue(Language::kJapanese), "ja");
  EXPECT_STREQ(LanguageValue(Language::kEnglish), "en");
  EXPECT_EQ(ParseLanguage(""), std::nullopt);
}

TEST(ResourceLanguageId, JapaneseJapanAndEnglishUnitedStates) {
  EXPECT_EQ(ResourceLanguageId(Language::kJapanese), kJapaneseJapan);
  EXPECT_EQ(ResourceLanguageId(Language::kEnglish), kEnglishUs);
}

}  // namespace
