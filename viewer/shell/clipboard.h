// The composite on the clipboard as a device-independent bitmap (CF_DIB),
// rendered only when another program asks for it, and a bitmap from the
// clipboard taken in as a new foreground or background.
#pragma once

#include <windows.h>

#include "viewer/engine/image_document.h"

// Announces CF_DIB for `owner` without data; nothing happens when there is
// no picture or the clipboard cannot be opened and emptied.
void CopyComposite(HWND owner, const ImageDocument& document);
// Answers WM_RENDERFORMAT for CF_DIB: puts the bitmap of the pictures as
// they are now (the composite as last painted) on the open clipboard.
void RenderClipboard(const ImageDocument& document, const uint8_t* composite);
// Answers WM_RENDERALLFORMATS before `owner` goes away.
void RenderAllClipboardFormats(HWND owner, const ImageDocument& document, const uint8_t* composite);
// Takes the clipboard's CF_DIB into the document under the name `name`;
// what it replaced, or Replaced::Nothing (silently) when there is none or
// it cannot be used.
Replaced PasteImage(HWND owner, ImageDocument& document, std::string_view name);
