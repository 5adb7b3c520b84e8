// The one place that knows every decoder class.
#include <new>

#include "platform/platform.h"
#include "plugin/framework/detect.h"
#include "plugin/formats/spi_bbm.h"
#include "plugin/formats/spi_cz1.h"
#include "plugin/formats/spi_cz2.h"
#include "plugin/formats/spi_tga.h"

namespace {

// Decoder objects come from the process heap, like every working buffer.
template <class Decoder>
DecoderPtr Make() {
  void* memory = platform::HeapAllocate(sizeof(Decoder));
  return DecoderPtr(memory ? new (memory) Decoder() : nullptr);
}

}  // namespace

void DecoderDeleter::operator()(SpiBase* decoder) const {
  decoder->~SpiBase();
  platform::HeapRelease(decoder);
}

DecoderPtr NewDecoder(ImageFormat format) {
  switch (format) {
    case ImageFormat::Tga: return Make<SpiTga>();
    case ImageFormat::Bbm: return Make<SpiBbm>();
    case ImageFormat::CZ1: return Make<SpiCZ1>();
    case ImageFormat::CZ2: return Make<SpiCZ2>();
    default: return nullptr;
  }
}
