// The clipboard between processes: a copy is rendered only when another
// program asks for it, and what that program gets is the composite as
// last painted; pasted bitmaps of every depth, and damaged ones.
#include "viewer/shell/clipboard.h"

#include <gtest/gtest.h>

#include "tests/engine_windows/clipboard_reader.h"
#include "tests/engine_windows/support.h"
#include "viewer/engine/compose.h"

namespace {

// Stands in for the plug-ins: the tests fill the document by pasting.
class NoPlugins : public PictureDecoder {
 public:
  SpiResult DecodeFile(const char*, SpiHandle*, SpiHandle*) override { return kRefused; }
};

// The clipboard's owner: a window whose renderings come from the test's
// document and composite.
class Owner {
 public:
  Owner(const ImageDocument& document, const uint8_t* composite) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.lpszClassName = "TrellinClipboardTest";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, this);
    document_ = &document;
    composite_ = composite;
  }
  ~Owner() { DestroyWindow(window_); }
  HWND window() const { return window_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_RENDERFORMAT && wParam == CF_DIB) {
      RenderClipboard(*document_, composite_);
      return 0;
    }
    if (message == WM_RENDERALLFORMATS) {
      RenderAllClipboardFormats(window, *document_, composite_);
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  HWND window_;
  static const ImageDocument* document_;
  static const uint8_t* composite_;
};
const ImageDocument* Owner::document_ = nullptr;
const uint8_t* Owner::composite_ = nullptr;

// Puts a packed bitmap on the clipboard as another program would, in a
// block of exactly `size` bytes of it.
void PutOnClipboard(HWND window, const Bytes& packed, size_t size) {
  ASSERT_TRUE(OpenClipboard(window));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(memory), packed.data(), size);
  GlobalUnlock(memory);
  SetClipboardData(CF_DIB, memory);
  CloseClipboard();
}

Bytes Sprite32() {  // 2 × 1, BI_RGB: half-transparent white, opaque blue
  return PackedBitmap(2, 1, 32, {}, {200, 200, 200, 128, 255, 0, 0, 255});
}

TEST(Clipboard, ACopyIsTheCompositeAsOtherProgramsAskForIt) {
  NoPlugins none;
  ImageDocument document(none);
  HWND scratch = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  PutOnClipboard(scratch, PackedBitmap(3, 2, 24, {}, Bytes(24, 100)), 64);
  ASSERT_EQ(PasteImage(scratch, document, "[None title]"), Replaced::Background);
  PutOnClipboard(scratch, Sprite32(), 48);
  ASSERT_EQ(PasteImage(scratch, document, "[None title]"), Replaced::Foreground);
  DestroyWindow(scratch);

  Bytes composite(24);
  Compose(composite.data(), document.background(), document.foreground(), 1, 0);
  Owner owner(document, composite.data());
  CopyComposite(owner.window(), document);
  // Painted again after the copy: the other program gets this composite.
  Compose(composite.data(), document.background(), document.foreground(), 0, 1);
  const Bytes got = ReadClipboardInAnotherProcess();
  ASSERT_EQ(got.size(), 40u + 24u);
  EXPECT_EQ(got[14], 24) << "biBitCount";
  EXPECT_EQ(Bytes(got.begin() + 40, got.end()), composite);
}

TEST(Clipboard, ALoneForegroundIsCopiedAsItsPremultipliedRows) {
  NoPlugins none;
  ImageDocument document(none);
  const Bytes sprite = Sprite32();
  ASSERT_EQ(document.PastePicture(ByteSpan{sprite.data(), sprite.size()}, "[None title]"), Replaced::Foreground);
  Owner owner(document, nullptr);
  CopyComposite(owner.window(), document);
  const Bytes got = ReadClipboardInAnotherProcess();
  ASSERT_EQ(got.size(), 40u + 8u);
  EXPECT_EQ(got[14], 32);
  EXPECT_EQ(Bytes(got.begin() + 40, got.end()), (Bytes{100, 100, 100, 128, 255, 0, 0, 255}));
}

TEST(Clipboard, PastesOfEveryDepthAndOfDamagedBitmaps) {
  NoPlugins none;
  ImageDocument document(none);
  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  Bytes table(1024, 0);
  table[4 * 7 + 2] = 0xFF;  // entry 7 red
  const Bytes eightBit = PackedBitmap(1, 1, 8, table, {7, 0, 0, 0});
  PutOnClipboard(window, eightBit, eightBit.size());
  ASSERT_EQ(PasteImage(window, document, "[None title]"), Replaced::Background);
  EXPECT_EQ(Bytes(document.background().pixels, document.background().pixels + 3), (Bytes{0, 0, 0xFF}))
      << "read after its 256-entry table";
  const Bytes sprite = Sprite32();
  PutOnClipboard(window, sprite, sprite.size());
  EXPECT_EQ(PasteImage(window, document, "[None title]"), Replaced::Foreground);
  const Bytes rgb = PackedBitmap(2, 2, 24, {}, Bytes(16, 9));
  PutOnClipboard(window, rgb, rgb.size() - 1);  // a block one byte short of its rows
  EXPECT_EQ(PasteImage(window, document, "[None title]"), Replaced::Nothing);
  PutOnClipboard(window, rgb, 20);  // not even a whole header
  EXPECT_EQ(PasteImage(window, document, "[None title]"), Replaced::Nothing);
  EXPECT_EQ(document.background().pixels[2], 0xFF) << "the previous background stays";
  OpenClipboard(window);
  EmptyClipboard();
  CloseClipboard();
  EXPECT_EQ(PasteImage(window, document, "[None title]"), Replaced::Nothing) << "nothing on the clipboard";
  DestroyWindow(window);
}

}  // namespace
