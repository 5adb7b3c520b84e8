#include "viewer/shell/language.h"

#include "viewer/engine/path_text.h"

namespace {

// Windows' primary language identifiers: the low ten bits of a language
// identifier.
constexpr uint16_t kPrimaryLanguageMask = 0x3FF;
constexpr uint16_t kLangJapanese = 0x11;
constexpr uint16_t kJapaneseJapan = 0x0411;
constexpr uint16_t kEnglishUnitedStates = 0x0409;

}  // namespace

const char* LanguageValue(Language language) { return language == Language::kJapanese ? "ja" : "en"; }

std::optional<Language> ParseLanguage(std::string_view stored) {
  for (const Language language : {Language::kJapanese, Language::kEnglish})
    if (EqualIgnoringAsciiCase(stored, LanguageValue(language))) return language;
  return std::nullopt;
}

Language ChooseLanguage(uint16_t interfaceLanguage, std::string_view stored) {
  if (const std::optional<Language> chosen = ParseLanguage(stored)) return *chosen;
  return (interfaceLanguage & kPrimaryLanguageMask) == kLangJapanese ? Language::kJapanese : Language::kEnglish;
}

uint16_t ResourceLanguageId(Language language) {
  return language == Language::kJapanese ? kJapaneseJapan : kEnglishUnitedStates;
}
