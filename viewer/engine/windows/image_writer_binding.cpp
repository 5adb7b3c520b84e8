#include "viewer/engine/windows/image_writer_binding.h"

#include "platform/windows/text.h"

namespace {

// The wide saves where the library hands them out through their own export,
// all three of them; otherwise none. The writer's flags word is not asked:
// it is the installed writer's own, and a writer with three entries may set
// any bit of it.
const ImageWriterWideSaves* WideSavesOf(HMODULE library, const ImageWriter* writer) {
  const auto getWideSaves =
      reinterpret_cast<GetImageWriterWFn>(reinterpret_cast<void*>(GetProcAddress(library, kGetImageWriterW)));
  const ImageWriterWideSaves* saves = getWideSaves ? getWideSaves(writer) : nullptr;
  return saves && saves->SaveBmpW && saves->SavePngW && saves->SaveJpegW ? saves : nullptr;
}

}  // namespace

bool ImageWriterBinding::Bind(PluginList& plugins, const std::wstring& folder) {
  PluginRecord record(folder + L"\\xxgrp.dll");
  if (!record.Load()) return false;
  const auto getModuleInstance = reinterpret_cast<GetModuleInstanceFn>(
      reinterpret_cast<void*>(GetProcAddress(record.module(), "GetModuleInstance")));
  ImageWriter* writer = getModuleInstance ? getModuleInstance(0) : nullptr;
  if (!writer) return false;
  wide_ = WideSavesOf(record.module(), writer);
  plugins.Append(std::move(record));
  // The two low flag bits are the caller's to clear when it binds.
  writer->flags &= ~uint32_t{3};
  writer_ = writer;
  return true;
}

int32_t ImageWriterBinding::Save(SaveFormat format, const char* path, int32_t option, const BitmapInfoHeader& header,
                                 const uint8_t* pixels) {
  if (!writer_) return kWriterInternalError;
  const std::wstring wide = platform::Utf16(path);
  if (wide_) {
    const ImageWriterSaveWideFn save = format == SaveFormat::Png    ? wide_->SavePngW
                                       : format == SaveFormat::Jpeg ? wide_->SaveJpegW
                                                                    : wide_->SaveBmpW;
    return save(writer_, wide.c_str(), option, &header, pixels);
  }
  // A writer without them takes ANSI paths only: a path that no ANSI path
  // names is not written at all, rather than to another file.
  const std::optional<std::string> ansi = platform::AnsiPathOf(wide);
  if (!ansi) return kWriterWriteError;
  const ImageWriterTable& table = *writer_->table;
  const ImageWriterSaveFn save = format == SaveFormat::Png    ? table.SavePng
                                 : format == SaveFormat::Jpeg ? table.SaveJpeg
                                                              : table.SaveBmp;
  return save(writer_, ansi->c_str(), option, &header, pixels);
}
