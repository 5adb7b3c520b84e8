#include "fuzz/fuzz_decoder.h"
#include "plugin/formats/spi_cz1.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return FuzzDecoder<SpiCZ1>(data, size); }
