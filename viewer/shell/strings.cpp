#include "viewer/shell/strings.h"

#include <optional>

#include "platform/windows/text.h"

namespace {

Language currentLanguage = Language::kJapanese;

Language OtherLanguage(Language language) {
  return language == Language::kJapanese ? Language::kEnglish : Language::kJapanese;
}

// The resource of that type, name and language, locked; null when the
// module has none of that language.
const void* FindIn(HMODULE module, Language language, LPCWSTR type, LPCWSTR name, DWORD* size = nullptr) {
  HRSRC found = FindResourceExW(module, type, name, ResourceLanguageId(language));
  if (!found) return nullptr;
  HGLOBAL loaded = LoadResource(module, found);
  if (size) *size = SizeofResource(module, found);
  return loaded ? LockResource(loaded) : nullptr;
}

const void* FindIn(Language language, LPCWSTR type, LPCWSTR name) {
  return FindIn(ProgramInstance(), language, type, name);
}

}  // namespace

// A string table keeps its entries sixteen to a block, block n + 1 holding
// identifiers 16n to 16n + 15, each entry a count of UTF-16 units and the
// units. The block's size bounds every read.
std::optional<std::wstring> ModuleText(HMODULE module, Language language, UINT id) {
  DWORD size = 0;
  const auto* block = static_cast<const wchar_t*>(
      FindIn(module, language, RT_STRING, MAKEINTRESOURCEW((id >> 4) + 1), &size));
  if (!block) return std::nullopt;
  const size_t units = size / sizeof(wchar_t);
  size_t at = 0;
  for (UINT index = 0; index < (id & 15); ++index) {
    if (at >= units) return std::nullopt;
    at += 1 + block[at];
  }
  if (at >= units || block[at] == 0 || block[at] > units - at - 1) return std::nullopt;
  return std::wstring(block + at + 1, block[at]);
}

HINSTANCE ProgramInstance() { return GetModuleHandleW(nullptr); }

void SetLanguage(Language language) { currentLanguage = language; }

Language CurrentLanguage() { return currentLanguage; }

Language ChosenLanguage(const std::string& stored) { return ChooseLanguage(GetUserDefaultUILanguage(), stored); }

std::wstring LoadTextIn(Language language, UINT id) {
  if (std::optional<std::wstring> text = ModuleText(ProgramInstance(), language, id)) return *text;
  return ModuleText(ProgramInstance(), OtherLanguage(language), id).value_or(std::wstring());
}

std::wstring LoadText(UINT id) { return LoadTextIn(currentLanguage, id); }

std::string LoadUtf8(UINT id) { return platform::Utf8(LoadText(id)); }

std::wstring PromptOf(UINT id) {
  const std::wstring text = LoadText(id);
  return text.substr(0, text.find(L'\n'));
}

std::wstring ToolTipOf(UINT id) {
  const std::wstring text = LoadText(id);
  const size_t lineBreak = text.find(L'\n');
  return lineBreak == std::wstring::npos ? std::wstring() : text.substr(lineBreak + 1);
}

std::wstring FillText(const std::wstring& format, std::initializer_list<std::wstring> texts) {
  std::wstring out;
  for (size_t i = 0; i < format.size(); ++i) {
    const size_t index = i + 1 < format.size() ? static_cast<size_t>(format[i + 1] - L'1') : texts.size();
    if (format[i] == L'%' && index < texts.size()) {
      out += texts.begin()[index];
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

std::wstring TextWithNumber(UINT id, int number) {
  return FillText(LoadText(id), {std::to_wstring(number)});
}

HMENU LoadLanguageMenuIn(Language language, UINT id) {
  const void* menu = FindIn(language, RT_MENU, MAKEINTRESOURCEW(id));
  if (!menu) menu = FindIn(OtherLanguage(language), RT_MENU, MAKEINTRESOURCEW(id));
  return menu ? LoadMenuIndirectW(menu) : nullptr;
}

HMENU LoadLanguageMenu(UINT id) { return LoadLanguageMenuIn(currentLanguage, id); }

const DLGTEMPLATE* LanguageDialog(UINT id) {
  const void* dialog = FindIn(currentLanguage, RT_DIALOG, MAKEINTRESOURCEW(id));
  if (!dialog) dialog = FindIn(OtherLanguage(currentLanguage), RT_DIALOG, MAKEINTRESOURCEW(id));
  return static_cast<const DLGTEMPLATE*>(dialog);
}
