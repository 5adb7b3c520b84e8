#include "tests/xxgrp/wic_codec.h"

#include <wincodec.h>

#include <cstring>
#include <memory>

namespace {

// Releases a COM interface when it goes away.
struct Releaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <class T>
using Owned = std::unique_ptr<T, Releaser>;

template <class T>
Owned<T> Take(T* object) {
  return Owned<T>(object);
}

// One factory for the test process; COM stays initialised while it runs.
IWICImagingFactory* Factory() {
  static IWICImagingFactory* factory = [] {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IWICImagingFactory* created = nullptr;
    CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                     reinterpret_cast<void**>(&created));
    return created;
  }();
  return factory;
}

Owned<IWICBitmapFrameDecode> FirstFrame(const std::string& path, GUID* container = nullptr) {
  const std::wstring wide(path.begin(), path.end());
  IWICBitmapDecoder* decoder = nullptr;
  if (FAILED(Factory()->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnLoad,
                                                  &decoder)))
    return nullptr;
  Owned<IWICBitmapDecoder> owned = Take(decoder);
  if (container) decoder->GetContainerFormat(container);
  IWICBitmapFrameDecode* frame = nullptr;
  if (FAILED(decoder->GetFrame(0, &frame))) return nullptr;
  return Take(frame);
}

}  // namespace

Bytes EncodeJpeg(const Picture& bgr) {
  IStream* stream = nullptr;
  CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  Owned<IStream> ownedStream = Take(stream);
  IWICBitmapEncoder* encoder = nullptr;
  Factory()->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder);
  Owned<IWICBitmapEncoder> ownedEncoder = Take(encoder);
  encoder->Initialize(stream, WICBitmapEncoderNoCache);
  IWICBitmapFrameEncode* frame = nullptr;
  IPropertyBag2* options = nullptr;
  encoder->CreateNewFrame(&frame, &options);
  Owned<IWICBitmapFrameEncode> ownedFrame = Take(frame);
  Owned<IPropertyBag2> ownedOptions = Take(options);
  frame->Initialize(options);
  frame->SetSize(static_cast<UINT>(bgr.width), static_cast<UINT>(bgr.height));
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  frame->SetPixelFormat(&format);
  Bytes pixels = bgr.pixels;
  const UINT stride = static_cast<UINT>(bgr.width) * 3;
  frame->WritePixels(static_cast<UINT>(bgr.height), stride, static_cast<UINT>(pixels.size()), pixels.data());
  frame->Commit();
  encoder->Commit();
  STATSTG status;
  stream->Stat(&status, STATFLAG_NONAME);
  Bytes out(static_cast<size_t>(status.cbSize.QuadPart));
  HGLOBAL memory = nullptr;
  GetHGlobalFromStream(stream, &memory);
  std::memcpy(out.data(), GlobalLock(memory), out.size());
  GlobalUnlock(memory);
  return out;
}

Picture ReadBackBgr(const std::string& path) {
  Owned<IWICBitmapFrameDecode> frame = FirstFrame(path);
  IWICBitmapSource* converted = nullptr;
  if (!frame || FAILED(WICConvertBitmapSource(GUID_WICPixelFormat24bppBGR, frame.get(), &converted))) return {};
  Owned<IWICBitmapSource> owned = Take(converted);
  UINT width = 0, height = 0;
  converted->GetSize(&width, &height);
  Picture picture{static_cast<int>(width), static_cast<int>(height), 3, Bytes(static_cast<size_t>(width) * height * 3)};
  if (FAILED(
          converted->CopyPixels(nullptr, width * 3, static_cast<UINT>(picture.pixels.size()), picture.pixels.data())))
    return {};
  return picture;
}

std::string ContainerOf(const std::string& path) {
  GUID container{};
  if (!FirstFrame(path, &container)) return "";
  if (container == GUID_ContainerFormatBmp) return "bmp";
  if (container == GUID_ContainerFormatPng) return "png";
  if (container == GUID_ContainerFormatJpeg) return "jpeg";
  return "other";
}
