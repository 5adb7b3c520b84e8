#include "viewer/shell/strings.h"

std::string LoadText(UINT id) {
  char text[1024];
  const int length = LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
  return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string PromptOf(UINT id) {
  const std::string text = LoadText(id);
  return text.substr(0, text.find('\n'));
}

std::string ToolTipOf(UINT id) {
  const std::string text = LoadText(id);
  const size_t lineBreak = text.find('\n');
  return lineBreak == std::string::npos ? std::string() : text.substr(lineBreak + 1);
}
