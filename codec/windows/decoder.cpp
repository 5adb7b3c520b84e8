// The imaging component's decoder and its one frame. Initialize reads the
// caller's stream whole into a bounded buffer and decodes it at once; the
// frame then hands out the decoded rows as they are (codec_picture.h says
// which pixel format each bitmap becomes). Every argument is checked, and
// every failure is one of the imaging component's own HRESULTs.
#include <wincodec.h>
#include <windows.h>

#include <new>

#include "base/sizes.h"
#include "codec/codec_picture.h"
#include "codec/windows/com_object.h"
#include "codec/windows/module.h"
#include "codec/windows/stream_source.h"

namespace codec {
namespace {

// The imaging factory's class, for the decoder's component information.
const GUID kImagingFactory = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};

// Capability questions read this much of a file, as the decoders need to
// read a header.
constexpr size_t kHeadBytes = 2048;

// A decoded picture shared by the decoder and its frames, which may
// outlive it.
class SharedPicture {
 public:
  CodecPicture picture;
  void AddRef() { InterlockedIncrement(&refs_); }
  void Release() {
    if (InterlockedDecrement(&refs_) == 0) delete this;
  }

 private:
  LONG refs_ = 1;
};

// What the decoder and its frame both lack: metadata, colour contexts and
// a stored thumbnail.
HRESULT NoColorContexts(UINT* actualCount) {
  if (!actualCount) return E_INVALIDARG;
  *actualCount = 0;
  return S_OK;
}

template <class T>
HRESULT Unsupported(T** object, HRESULT result = WINCODEC_ERR_UNSUPPORTEDOPERATION) {
  if (object) *object = nullptr;
  return result;
}

class Frame final : public ComObject<IWICBitmapFrameDecode> {
 public:
  explicit Frame(SharedPicture* shared) : shared_(shared), view_(shared->picture.view()) { shared_->AddRef(); }
  ~Frame() override { shared_->Release(); }

  STDMETHODIMP GetSize(UINT* width, UINT* height) override {
    if (!width || !height) return E_INVALIDARG;
    *width = view_.width;
    *height = view_.height;
    return S_OK;
  }
  STDMETHODIMP GetPixelFormat(WICPixelFormatGUID* format) override {
    if (!format) return E_INVALIDARG;
    *format = ToGuid(PixelFormatOf(view_.layout));
    return S_OK;
  }
  STDMETHODIMP GetResolution(double* dpiX, double* dpiY) override {
    if (!dpiX || !dpiY) return E_INVALIDARG;
    *dpiX = view_.dpiX;
    *dpiY = view_.dpiY;
    return S_OK;
  }
  STDMETHODIMP CopyPalette(IWICPalette* palette) override {
    if (!palette) return E_INVALIDARG;
    if (view_.layout != PixelLayout::Indexed8) return WINCODEC_ERR_PALETTEUNAVAILABLE;
    WICColor colours[kPaletteSize];
    for (uint32_t i = 0; i < view_.paletteCount; ++i) colours[i] = view_.palette[i];
    return palette->InitializeCustom(colours, view_.paletteCount);
  }
  STDMETHODIMP CopyPixels(const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer) override {
    const PixelRect* r = nullptr;
    PixelRect asked;
    if (rect) {
      asked = PixelRect{rect->X, rect->Y, rect->Width, rect->Height};
      r = &asked;
    }
    return ResultOf(::CopyPixels(view_, r, stride, bufferSize, buffer));
  }
  STDMETHODIMP GetMetadataQueryReader(IWICMetadataQueryReader** reader) override { return Unsupported(reader); }
  STDMETHODIMP GetColorContexts(UINT, IWICColorContext**, UINT* actualCount) override {
    return NoColorContexts(actualCount);
  }
  STDMETHODIMP GetThumbnail(IWICBitmapSource** thumbnail) override {
    return Unsupported(thumbnail, WINCODEC_ERR_CODECNOTHUMBNAIL);
  }

 private:
  void* Further(REFIID riid) override {
    return riid == __uuidof(IWICBitmapSource) ? static_cast<IWICBitmapSource*>(this) : nullptr;
  }

  SharedPicture* shared_;
  const PictureView& view_;
};

class Decoder final : public ComObject<IWICBitmapDecoder> {
 public:
  Decoder() { InitializeCriticalSection(&lock_); }
  ~Decoder() override {
    if (shared_) shared_->Release();
    DeleteCriticalSection(&lock_);
  }

  STDMETHODIMP QueryCapability(IStream* stream, DWORD* capability) override {
    if (!stream || !capability) return E_INVALIDARG;
    *capability = 0;
    uint8_t head[kHeadBytes];
    size_t got = 0;
    StreamSource source(stream);
    const CodecStatus status = ReadStreamHead(source, head, sizeof head, &got);
    if (status != CodecStatus::Ok) return ResultOf(status);
    if (CanDecode(ByteSpan{head, got})) *capability = WICBitmapDecoderCapabilityCanDecodeAllImages;
    return S_OK;
  }
  STDMETHODIMP Initialize(IStream* stream, WICDecodeOptions) override {
    if (!stream) return E_INVALIDARG;
    EnterCriticalSection(&lock_);
    const HRESULT hr = shared_ ? WINCODEC_ERR_WRONGSTATE : Load(stream);
    LeaveCriticalSection(&lock_);
    return hr;
  }
  STDMETHODIMP GetContainerFormat(GUID* format) override {
    if (!format) return E_INVALIDARG;
    *format = ToGuid(kContainerFormat);
    return S_OK;
  }
  STDMETHODIMP GetDecoderInfo(IWICBitmapDecoderInfo** info) override {
    if (!info) return E_INVALIDARG;
    *info = nullptr;
    IWICImagingFactory* factory = nullptr;
    HRESULT hr = CoCreateInstance(kImagingFactory, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWICImagingFactory),
                                  reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    IWICComponentInfo* component = nullptr;
    hr = factory->CreateComponentInfo(ToGuid(kDecoderClass), &component);
    factory->Release();
    if (FAILED(hr)) return hr;
    hr = component->QueryInterface(__uuidof(IWICBitmapDecoderInfo), reinterpret_cast<void**>(info));
    component->Release();
    return hr;
  }
  STDMETHODIMP CopyPalette(IWICPalette* palette) override {
    return palette ? WINCODEC_ERR_PALETTEUNAVAILABLE : E_INVALIDARG;
  }
  STDMETHODIMP GetMetadataQueryReader(IWICMetadataQueryReader** reader) override { return Unsupported(reader); }
  STDMETHODIMP GetPreview(IWICBitmapSource** preview) override { return Unsupported(preview); }
  STDMETHODIMP GetColorContexts(UINT, IWICColorContext**, UINT* actualCount) override {
    return NoColorContexts(actualCount);
  }
  STDMETHODIMP GetThumbnail(IWICBitmapSource** thumbnail) override {
    return Unsupported(thumbnail, WINCODEC_ERR_CODECNOTHUMBNAIL);
  }
  STDMETHODIMP GetFrameCount(UINT* count) override {
    if (!count) return E_INVALIDARG;
    *count = 0;
    SharedPicture* shared = Loaded();
    if (!shared) return WINCODEC_ERR_NOTINITIALIZED;
    shared->Release();
    *count = 1;
    return S_OK;
  }
  STDMETHODIMP GetFrame(UINT index, IWICBitmapFrameDecode** frame) override {
    if (!frame) return E_INVALIDARG;
    *frame = nullptr;
    SharedPicture* shared = Loaded();
    if (!shared) return WINCODEC_ERR_NOTINITIALIZED;
    HRESULT hr = WINCODEC_ERR_FRAMEMISSING;
    if (index == 0) {
      hr = CreateObject<Frame>(__uuidof(IWICBitmapFrameDecode), reinterpret_cast<void**>(frame), shared);
    }
    shared->Release();
    return hr;
  }

 private:
  // The picture, held for the caller, or null before Initialize succeeded.
  SharedPicture* Loaded() {
    EnterCriticalSection(&lock_);
    SharedPicture* shared = shared_;
    if (shared) shared->AddRef();
    LeaveCriticalSection(&lock_);
    return shared;
  }

  HRESULT Load(IStream* stream) {
    auto* shared = new (std::nothrow) SharedPicture();
    if (!shared) return E_OUTOFMEMORY;
    CodecStatus status;
    {
      StreamSource source(stream);
      FileBytes file;
      status = ReadWholeStream(source, &file, kMaxPictureFileBytes);
      if (status == CodecStatus::Ok) status = shared->picture.Decode(file.span());
    }
    if (status != CodecStatus::Ok) {
      shared->Release();
      return ResultOf(status);
    }
    shared_ = shared;
    return S_OK;
  }

  CRITICAL_SECTION lock_;
  SharedPicture* shared_ = nullptr;
};

}  // namespace

HRESULT CreateDecoder(REFIID riid, void** object) { return CreateObject<Decoder>(riid, object); }

}  // namespace codec
