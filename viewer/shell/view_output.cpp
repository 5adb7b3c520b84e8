// The view's output commands: save, wallpaper, copy and paste, and the
// clipboard's requests to render what was copied.
#include "viewer/shell/trellin_view.h"

#include "platform/windows/text.h"
#include "viewer/engine/output.h"
#include "viewer/engine/windows/wallpaper.h"
#include "viewer/resources/resource.h"
#include "viewer/shell/clipboard.h"
#include "viewer/shell/strings.h"
#include "xxgrp/image_writer_abi.h"

// The commands' identifiers are the wallpaper styles' own values.
static_assert(static_cast<int>(WallpaperCommand::Centre) == ID_WALLPAPER_CENTRE);
static_assert(static_cast<int>(WallpaperCommand::Tile) == ID_WALLPAPER_TILE);
static_assert(static_cast<int>(WallpaperCommand::Stretch) == ID_WALLPAPER_STRETCH);

namespace {

// The save dialog's file names hold MAX_PATH characters with their zero.
constexpr DWORD kPathBuffer = MAX_PATH;

// The dialog's file types, from the string table: description and pattern
// pairs separated by '|', each ending in a zero, one more zero at the end.
std::wstring SaveFilter() {
  std::wstring filter = LoadText(IDS_SAVE_FILTER) + L'|';
  for (wchar_t& c : filter) c = c == L'|' ? L'\0' : c;
  return filter + L'\0';
}

}  // namespace

void CTrellinView::SaveComposite(UINT id) {
  wchar_t file[kPathBuffer] = {};
  wchar_t title[kPathBuffer] = {};
  // Cut to the buffer between two characters already.
  const std::wstring initial = platform::Utf16(InitialSaveName(document_.foregroundName()));
  initial.copy(file, kPathBuffer - 1);
  const std::wstring filter = SaveFilter();
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = hwnd();
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file;
  dialog.nMaxFile = kPathBuffer;
  dialog.lpstrFileTitle = title;
  dialog.nMaxFileTitle = kPathBuffer;
  dialog.lpstrDefExt = L"bmp";
  dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  if (!GetSaveFileNameW(&dialog)) return;
  OutputPicture picture;
  // The picture to save not made for want of memory says so as the writer would.
  const int32_t result = picture.Choose(document_, CompositePixels())
                             ? writer_.Save(SaveFormatForTitle(platform::Utf8(title)), platform::Utf8(file).c_str(),
                                            kWriterOptionSave, picture.header(), picture.pixels())
                             : kWriterOutOfMemory;
  if (result != kWriterOk) ReportCommandFailure(hwnd(), id, result, title);
}

void CTrellinView::SetWallpaper(UINT id) {
  OutputPicture picture;
  if (!picture.Choose(document_, CompositePixels()) ||
      !::SetWallpaper(writer_, picture, static_cast<WallpaperCommand>(id)))
    ReportCommandFailure(hwnd(), id, kWriterWriteError, LoadText(IDS_ERROR_CAPTION));
}

void CTrellinView::CopyComposite(UINT) { ::CopyComposite(hwnd(), document_); }

// The caption is refreshed whether or not the paste took.
void CTrellinView::PasteImage(UINT) {
  AfterReplacing(::PasteImage(hwnd(), document_, LoadUtf8(IDS_PASTED_NAME)));
  RefreshCaption();
}

void CTrellinView::RenderClipboard(bool everything) {
  if (everything) {
    RenderAllClipboardFormats(hwnd(), document_, CompositePixels());
  } else {
    ::RenderClipboard(document_, CompositePixels());
  }
}
