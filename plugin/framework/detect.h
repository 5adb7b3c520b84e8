// Format detection: which decoder handles an image, chosen by the file
// name's extension and the first 32 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "plugin/framework/spi_base.h"

enum class ImageFormat { None, Tga, Bbm, Lfb, Lff, Lcf, Lgf, CZ1, CZ2, PX, PX2, PX3, PX4, PX5 };

constexpr size_t kDetectionBytes = 32;

// The tests in their fixed order; `header` holds the first 32 bytes.
// A null fileName opens every extension gate.
ImageFormat DetectFormat(const char* fileName, const uint8_t* header);

struct DecoderDeleter {
  void operator()(SpiBase* decoder) const;
};
using DecoderPtr = std::unique_ptr<SpiBase, DecoderDeleter>;

// A new decoder object of the format's class from the process heap; null
// when it cannot be allocated (or for ImageFormat::None).
DecoderPtr NewDecoder(ImageFormat format);

// Returns 1 when the data are recognised, 0 when not. With `decoder`
// non-null a recognised format also gets its object (null when it cannot
// be made). Data shorter than 32 bytes are tested as if zero-padded, the
// same as a short file read into the hosts' zero-filled header buffers.
int CreateDecoder(const char* fileName, ByteSpan data, DecoderPtr* decoder);
