// Texts, menus and dialogs of the program's resources, in the language the
// user sees: the one place that loads them. The resources hold a Japanese
// and an English set under the same identifiers; each is found by its
// language (FindResourceExW), not by the thread's interface language, so
// that the choice works alike on every system. Texts are UTF-16, as the
// resources keep them.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>

#include "viewer/shell/language.h"

// The program's module, which holds the resources.
HINSTANCE ProgramInstance();

// The language of every text loaded from now on; Japanese until set.
void SetLanguage(Language language);
Language CurrentLanguage();
// The language a user sees by default on this system
// (GetUserDefaultUILanguage), or the one kept in the settings file.
Language ChosenLanguage(const std::string& stored);

// The entry, or an empty text when there is none. An entry one set lacks
// comes from the other rather than showing nothing.
std::wstring LoadText(UINT id);
std::wstring LoadTextIn(Language language, UINT id);
// The entry of that language in a module's string table, without a
// stand-in from the other set; nothing when there is none.
std::optional<std::wstring> ModuleText(HMODULE module, Language language, UINT id);
// The entry in UTF-8, for the portable parts (the caption's product name).
std::string LoadUtf8(UINT id);
// The part of an entry before its first line break: a command's prompt.
std::wstring PromptOf(UINT id);
// The part after the first line break: a toolbar button's tool-tip.
std::wstring ToolTipOf(UINT id);
// The entry with "%1" replaced by the number.
std::wstring TextWithNumber(UINT id, int number);

// `format` with %1, %2, ... %9 replaced by the texts in order.
std::wstring FillText(const std::wstring& format, std::initializer_list<std::wstring> texts);
// A new menu from the menu resource of the current language (or of
// `language`); the caller destroys it. Null when there is none.
HMENU LoadLanguageMenu(UINT id);
HMENU LoadLanguageMenuIn(Language language, UINT id);
// The dialog template of the current language; null when there is none.
const DLGTEMPLATE* LanguageDialog(UINT id);
