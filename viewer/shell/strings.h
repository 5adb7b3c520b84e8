// Texts of the program's string table, as the resources keep them: UTF-16.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

// The program's module, which holds the resources.
HINSTANCE ProgramInstance();

// The entry, or an empty text when there is none.
std::wstring LoadText(UINT id);
// The entry in UTF-8, for the portable parts (the caption's product name).
std::string LoadUtf8(UINT id);
// The part of an entry before its first line break: a command's prompt.
std::wstring PromptOf(UINT id);
// The part after the first line break: a toolbar button's tool-tip.
std::wstring ToolTipOf(UINT id);

// `format` with %1, %2, ... %9 replaced by the texts in order.
std::wstring FillText(const std::wstring& format, std::initializer_list<std::wstring> texts);
