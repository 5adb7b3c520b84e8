// The one place that knows every decoder class.
#include <new>

#include "platform/platform.h"
#include "plugin/framework/detect.h"
#include "plugin/formats/spi_bbm.h"
#include "plugin/formats/spi_cz1.h"
#include "plugin/formats/spi_cz2.h"
#include "plugin/formats/spi_lcf.h"
#include "plugin/formats/spi_lfb.h"
#include "plugin/formats/spi_lff.h"
#include "plugin/formats/spi_lgf.h"
#include "plugin/formats/spi_px.h"
#include "plugin/formats/spi_px2.h"
#include "plugin/formats/spi_px3.h"
#include "plugin/formats/spi_px4.h"
#include "plugin/formats/spi_px5.h"
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
    case ImageFormat::Lfb: return Make<SpiLfb>();
    case ImageFormat::Lff: return Make<SpiLff>();
    case ImageFormat::Lcf: return Make<SpiLcf>();
    case ImageFormat::Lgf: return Make<SpiLgf>();
    case ImageFormat::CZ1: return Make<SpiCZ1>();
    case ImageFormat::CZ2: return Make<SpiCZ2>();
    case ImageFormat::PX: return Make<SpiPX>();
    case ImageFormat::PX2: return Make<SpiPX2>();
    case ImageFormat::PX3: return Make<SpiPX3>();
    case ImageFormat::PX4: return Make<SpiPX4>();
    case ImageFormat::PX5: return Make<SpiPX5>();
    case ImageFormat::None: break;
  }
  return nullptr;
}
