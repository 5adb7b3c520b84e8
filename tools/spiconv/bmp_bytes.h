// A BMP file of the two blocks a plug-in handed over, as they are: the
// file header, the information block's header and colour table, the rows.
#pragma once

#include <cstdint>
#include <vector>

#include "base/bytes.h"

// The bytes of the information block a BMP file keeps: the header and the
// colour table its depth or biClrUsed implies, as far as the block has them.
// `info` holds at least a 40-byte header.
size_t KeptInfoBytes(ByteSpan info);

// The whole file. False when the file would pass the 4 GiB a BMP's size
// fields hold. May throw std::bad_alloc.
bool MakeBmpFile(ByteSpan info, ByteSpan bits, std::vector<uint8_t>* file);
