#include "xxgrp/picture_encoder.h"

#include <cstring>

#include "base/blocks.h"
#include "xxgrp/com.h"
#include "xxgrp/image_writer_abi.h"
#include "xxgrp/wic_factory.h"

namespace {

int32_t Failure(HRESULT result) {
  return result == E_OUTOFMEMORY || result == STG_E_INSUFFICIENTMEMORY || result == STG_E_MEDIUMFULL
             ? kWriterOutOfMemory
             : kWriterInternalError;
}

// The header's resolution in dots per inch; 96 where it gives none.
double DotsPerInch(int32_t pixelsPerMeter) { return pixelsPerMeter > 0 ? pixelsPerMeter * 0.0254 : 96.0; }

HRESULT SetQuality(IPropertyBag2* options, float quality) {
  PROPBAG2 option{};
  option.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_R4;
  value.fltVal = quality;
  return options->Write(1, &option, &value);
}

HRESULT InitializeFrame(const GUID& container, const DibRows& rows, IWICBitmapFrameEncode* frame,
                        IPropertyBag2* options) {
  HRESULT result = container == GUID_ContainerFormatJpeg ? SetQuality(options, kJpegQuality) : S_OK;
  if (SUCCEEDED(result)) result = frame->Initialize(options);
  if (SUCCEEDED(result)) result = frame->SetSize(rows.width, rows.height);
  if (SUCCEEDED(result))
    result = frame->SetResolution(DotsPerInch(rows.pixelsPerMeterX), DotsPerInch(rows.pixelsPerMeterY));
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (SUCCEEDED(result)) result = frame->SetPixelFormat(&format);
  // An encoder that wants another pixel format would need a conversion we do not make.
  if (SUCCEEDED(result) && format != GUID_WICPixelFormat24bppBGR) result = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
  return result;
}

// Hands the rows to the encoder top row first, each packed to 24 bits.
HRESULT WriteRows(const DibRows& rows, IWICBitmapFrameEncode* frame) {
  HeapBuffer line;
  // Packed, without the row padding; the rows passed the size cap, so a
  // UINT holds the length.
  size_t lineBytes;
  if (!MulSize(rows.width, 3, &lineBytes) || !line.Allocate(lineBytes)) return E_OUTOFMEMORY;
  const size_t pixelBytes = static_cast<size_t>(rows.bytesPerPixel);
  for (uint32_t y = 0; y < rows.height; ++y) {
    const uint8_t* row = rows.Row(y);
    for (size_t x = 0; x < rows.width; ++x) std::memcpy(line.data() + x * 3, row + x * pixelBytes, 3);
    const HRESULT result =
        frame->WritePixels(1, static_cast<UINT>(lineBytes), static_cast<UINT>(lineBytes), line.data());
    if (FAILED(result)) return result;
  }
  return S_OK;
}

}  // namespace

int32_t EncodePicture(const GUID& container, const DibRows& rows, IStream* out) {
  ComRef<IWICImagingFactory> factory;
  ComRef<IWICBitmapEncoder> encoder;
  ComRef<IWICBitmapFrameEncode> frame;
  ComRef<IPropertyBag2> options;
  HRESULT result = CreateWicFactory(factory.Receive());
  if (SUCCEEDED(result)) result = factory->CreateEncoder(container, nullptr, encoder.Receive());
  if (SUCCEEDED(result)) result = encoder->Initialize(out, WICBitmapEncoderNoCache);
  if (SUCCEEDED(result)) result = encoder->CreateNewFrame(frame.Receive(), options.Receive());
  if (SUCCEEDED(result)) result = InitializeFrame(container, rows, frame.get(), options.get());
  if (SUCCEEDED(result)) result = WriteRows(rows, frame.get());
  if (SUCCEEDED(result)) result = frame->Commit();
  if (SUCCEEDED(result)) result = encoder->Commit();
  return FAILED(result) ? Failure(result) : kWriterOk;
}
