#include "fuzz/fuzz_decoder.h"
#include "plugin/formats/spi_lgf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return FuzzDecoder<SpiLgf>(data, size); }
