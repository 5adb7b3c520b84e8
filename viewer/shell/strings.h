// Texts of the program's string table, in the ANSI code page.
#pragma once

#include <windows.h>

#include <string>

// The entry, or an empty text when there is none.
std::string LoadText(UINT id);
// The part of an entry before its first line break: a command's prompt.
std::string PromptOf(UINT id);
// The part after the first line break: a toolbar button's tool-tip.
std::string ToolTipOf(UINT id);
