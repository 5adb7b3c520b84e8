#include "tools/spiconv/png_encoder.h"

#include <wincodec.h>

#include <new>

namespace {

// Releases the interface it holds when it goes away.
template <class T>
class Held {
 public:
  Held() = default;
  ~Held() {
    if (pointer_) pointer_->Release();
  }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  T* operator->() const { return pointer_; }
  T* get() const { return pointer_; }
  T** Receive() { return &pointer_; }

 private:
  T* pointer_ = nullptr;
};

// The header's resolution in dots per inch; 96 where it gives none.
double DotsPerInch(int32_t pixelsPerMeter) { return pixelsPerMeter > 0 ? pixelsPerMeter * 0.0254 : 96.0; }

HRESULT InitializeFrame(const PngRows& rows, IWICBitmapFrameEncode* frame, IPropertyBag2* options) {
  const WICPixelFormatGUID wanted = rows.alpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR;
  WICPixelFormatGUID format = wanted;
  HRESULT result = frame->Initialize(options);
  if (SUCCEEDED(result)) result = frame->SetSize(rows.width, rows.height);
  if (SUCCEEDED(result))
    result = frame->SetResolution(DotsPerInch(rows.pixelsPerMeterX), DotsPerInch(rows.pixelsPerMeterY));
  if (SUCCEEDED(result)) result = frame->SetPixelFormat(&format);
  // An encoder that wants another pixel format would need a conversion we do not make.
  if (SUCCEEDED(result) && format != wanted) result = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
  return result;
}

// Top row first; the rows passed the picture cap, so a UINT holds a row's length.
HRESULT WriteRows(const PngRows& rows, IWICBitmapFrameEncode* frame) {
  const UINT stride = static_cast<UINT>(rows.stride);
  for (uint32_t y = 0; y < rows.height; ++y) {
    const HRESULT result = frame->WritePixels(1, stride, stride, const_cast<BYTE*>(rows.Row(y)));
    if (FAILED(result)) return result;
  }
  return S_OK;
}

HRESULT CopyOut(IStream* stream, std::vector<uint8_t>* file) {
  HGLOBAL memory = nullptr;
  STATSTG status{};
  HRESULT result = GetHGlobalFromStream(stream, &memory);
  if (SUCCEEDED(result)) result = stream->Stat(&status, STATFLAG_NONAME);
  if (FAILED(result)) return result;
  const auto* bytes = static_cast<const uint8_t*>(GlobalLock(memory));
  if (!bytes) return E_OUTOFMEMORY;
  try {
    file->assign(bytes, bytes + status.cbSize.QuadPart);
  } catch (const std::bad_alloc&) {
    result = E_OUTOFMEMORY;
  }
  GlobalUnlock(memory);
  return result;
}

}  // namespace

HRESULT EncodePng(const PngRows& rows, std::vector<uint8_t>* file) {
  Held<IWICImagingFactory> factory;
  Held<IStream> stream;
  Held<IWICBitmapEncoder> encoder;
  Held<IWICBitmapFrameEncode> frame;
  Held<IPropertyBag2> options;
  // The first factory version: every Windows with the imaging component has it.
  HRESULT result = CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    reinterpret_cast<void**>(factory.Receive()));
  if (SUCCEEDED(result)) result = CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive());
  if (SUCCEEDED(result)) result = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Receive());
  if (SUCCEEDED(result)) result = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache);
  if (SUCCEEDED(result)) result = encoder->CreateNewFrame(frame.Receive(), options.Receive());
  if (SUCCEEDED(result)) result = InitializeFrame(rows, frame.get(), options.get());
  if (SUCCEEDED(result)) result = WriteRows(rows, frame.get());
  if (SUCCEEDED(result)) result = frame->Commit();
  if (SUCCEEDED(result)) result = encoder->Commit();
  if (SUCCEEDED(result)) result = CopyOut(stream.get(), file);
  return result;
}
