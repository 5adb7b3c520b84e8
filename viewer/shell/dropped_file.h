// The name of a file dropped on the view.
#pragma once

#include <windows.h>
// After windows.h, on which it builds.
#include <shellapi.h>

#include <functional>
#include <optional>
#include <string>

// A drop asked as DragQueryFile asks it: with a null buffer, the length of
// name `index`; with a buffer of `size` characters, the name cut to fit and
// the number of characters copied.
using DropQuery = std::function<UINT(UINT index, wchar_t* buffer, UINT size)>;

// The first file's name, in UTF-8; nothing when it is empty or 260
// characters or longer. Its length is asked first: a buffer's answer is
// what was copied, and a name cut to fit could name another file.
std::optional<std::string> FirstDroppedName(const DropQuery& query);
// The same for a drop the shell handed to a window.
std::optional<std::string> FirstDroppedName(HDROP drop);
