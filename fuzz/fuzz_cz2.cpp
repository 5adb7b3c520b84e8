#include "fuzz/fuzz_decoder.h"
#include "plugin/formats/spi_cz2.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return FuzzDecoder<SpiCZ2>(data, size); }
