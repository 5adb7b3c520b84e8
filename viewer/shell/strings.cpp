#include "viewer/shell/strings.h"

#include "platform/windows/text.h"

HINSTANCE ProgramInstance() { return GetModuleHandleW(nullptr); }

std::wstring LoadText(UINT id) {
  // With no room given, LoadStringW hands out the resource's own text,
  // which holds entries of any length.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(ProgramInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

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
