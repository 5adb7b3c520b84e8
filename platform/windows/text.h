// Text at the edge of Windows: the programs keep text as UTF-8 in their
// portable parts and hand Windows UTF-16; the ANSI code page is used only
// where a peer needs it (a Susie plug-in's file name, the settings file).
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

std::wstring Utf16(std::string_view utf8);
std::string Utf8(std::wstring_view utf16);

// ANSI text (the system's code page) as UTF-16.
std::wstring FromAnsi(std::string_view ansi);
// UTF-16 in the ANSI code page, when every character converts exactly:
// no character missing from the code page, none replaced by a look-alike.
std::optional<std::string> ToAnsiExactly(std::wstring_view utf16);
// UTF-16 in the ANSI code page, each character the code page lacks as '?':
// for a name that only shows, never for one that opens a file.
std::string ToAnsiLossy(std::wstring_view utf16);

// A file's path in the ANSI code page that names the same file and that a
// peer's char[MAX_PATH] holds with its zero (fewer than MAX_PATH bytes):
// the path itself when it converts exactly; otherwise the short (8.3) form
// of its folder followed by its own name, which keeps the name (a file yet
// to be written has no short form of its own); otherwise the short form of
// the whole path, only when it keeps the name's extension, by which many
// plug-ins choose; nothing when none of these serves.
std::optional<std::string> AnsiPathOf(const std::wstring& path);

// The name to show a plug-in beside a file handed over in memory, where it
// only looks at the extension: the file's own name in the ANSI code page,
// each character the code page lacks as '?', cut as MemoryModeName cuts
// it. Never MAX_PATH bytes or more.
std::string AnsiNameForMemory(const std::wstring& path);

// The running program's full path; empty where the system gives none.
std::wstring ProgramPath();

// Writes UTF-8 text to a standard stream: as UTF-16 to a console, which
// then shows every character, and as UTF-8 bytes to a file or a pipe.
void WriteText(std::FILE* stream, std::string_view utf8);

}  // namespace platform
