#include "fuzz/fuzz_decoder.h"
#include "plugin/formats/spi_px3.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return FuzzDecoder<SpiPX3>(data, size); }
