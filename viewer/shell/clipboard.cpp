#include "viewer/shell/clipboard.h"

#include "viewer/engine/output.h"

void CopyComposite(HWND owner, const ImageDocument& document) {
  if (!document.HasForeground() && !document.HasBackground()) return;
  if (!OpenClipboard(owner)) return;
  if (EmptyClipboard()) SetClipboardData(CF_DIB, nullptr);
  CloseClipboard();
}

void RenderClipboard(const ImageDocument& document, const uint8_t* composite) {
  const size_t size = ClipboardBitmapSize(document);
  if (size == 0) return;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
  if (!memory) return;
  void* bytes = GlobalLock(memory);
  if (!bytes) {
    GlobalFree(memory);
    return;
  }
  WriteClipboardBitmap(document, composite, static_cast<uint8_t*>(bytes));
  GlobalUnlock(memory);
  if (!SetClipboardData(CF_DIB, memory)) GlobalFree(memory);
}

void RenderAllClipboardFormats(HWND owner, const ImageDocument& document, const uint8_t* composite) {
  if (!OpenClipboard(owner)) return;
  RenderClipboard(document, composite);
  CloseClipboard();
}

// The block is read only as far as GlobalSize says it reaches.
Replaced PasteImage(HWND owner, ImageDocument& document, std::string_view name) {
  if (!OpenClipboard(owner)) return Replaced::Nothing;
  Replaced replaced = Replaced::Nothing;
  if (HGLOBAL memory = GetClipboardData(CF_DIB)) {
    if (const void* bytes = GlobalLock(memory)) {
      replaced = document.PastePicture(ByteSpan{static_cast<const uint8_t*>(bytes), GlobalSize(memory)}, name);
      GlobalUnlock(memory);
    }
  }
  CloseClipboard();
  return replaced;
}
