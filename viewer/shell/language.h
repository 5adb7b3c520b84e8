// The language of the texts the user sees: Japanese, the program's first,
// or English. The resources hold one set of texts for each.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

enum class Language { kJapanese, kEnglish };

// The value a choice is kept under in the settings file: "ja" or "en".
const char* LanguageValue(Language language);
// The language a stored value names; nothing for an absent or unknown one.
// The case of its letters does not count.
std::optional<Language> ParseLanguage(std::string_view stored);

// The language the texts are shown in: the one the user chose (`stored`,
// as kept in the settings file), else Japanese where the user's interface
// language (a Windows language identifier) is Japanese, English elsewhere.
Language ChooseLanguage(uint16_t interfaceLanguage, std::string_view stored);

// The Windows language identifier of a set of texts in the resources:
// Japanese (Japan), English (United States).
uint16_t ResourceLanguageId(Language language);
