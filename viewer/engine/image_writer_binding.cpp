#include "viewer/engine/image_writer_binding.h"

void ExitForMissingImageWriter() {
  MessageBoxA(nullptr, "xxgrp.dll is not found.", "Warning!", MB_ICONERROR);
  ExitProcess(0);
}

bool ImageWriterBinding::Bind(PluginList& plugins, const std::string& folder) {
  PluginRecord record(folder + "\\xxgrp.dll");
  if (!record.Load()) return false;
  const auto getModuleInstance = reinterpret_cast<GetModuleInstanceFn>(
      reinterpret_cast<void*>(GetProcAddress(record.module(), "GetModuleInstance")));
  ImageWriter* writer = getModuleInstance ? getModuleInstance(0) : nullptr;
  if (!writer) return false;
  plugins.Append(std::move(record));
  // The two low flag bits are the caller's to clear when it binds.
  writer->flags &= ~uint32_t{3};
  writer_ = writer;
  return true;
}

int32_t ImageWriterBinding::Save(SaveFormat format, const char* path, int32_t option, const BitmapInfoHeader& header,
                                 const uint8_t* pixels) {
  if (!writer_) ExitForMissingImageWriter();
  const ImageWriterTable& table = *writer_->table;
  const ImageWriterSaveFn save = format == SaveFormat::Png    ? table.SavePng
                                 : format == SaveFormat::Jpeg ? table.SaveJpeg
                                                              : table.SaveBmp;
  return save(writer_, path, option, &header, pixels);
}
