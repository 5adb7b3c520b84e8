// What the codec's portable core answers. The COM glue turns each into the
// imaging component's own HRESULT in one place (codec/windows/hresults.h).
#pragma once

enum class CodecStatus {
  Ok,
  NotRecognised,      // no Leaf format: WINCODEC_ERR_UNKNOWNIMAGEFORMAT
  BadImage,           // recognised, but the data do not decode: WINCODEC_ERR_BADIMAGE
  UnsupportedPixels,  // a bitmap layout without a WIC pixel format: WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT
  OutOfMemory,        // E_OUTOFMEMORY
  StreamRead,         // the stream failed to read or to seek: WINCODEC_ERR_STREAMREAD
  TooLarge,           // more bytes than the picture cap: WINCODEC_ERR_IMAGESIZEOUTOFRANGE
  InvalidArgument,    // E_INVALIDARG
  BufferTooSmall,     // WINCODEC_ERR_INSUFFICIENTBUFFER
};
