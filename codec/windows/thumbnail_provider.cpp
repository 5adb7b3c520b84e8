// Explorer's thumbnails: the picture decoded from the stream the shell
// hands over, reduced to fit the size asked (never enlarged) and returned
// as a 32-bit top-down bitmap with straight alpha (WTSAT_ARGB), the
// same pixels the decoder's 32bppBGRA gives. It runs in the shell's
// isolated process, holds nothing but the stream between calls, and
// keeps every failure inside an HRESULT.
#include <propsys.h>
#include <thumbcache.h>
#include <windows.h>

#include <new>

#include "base/sizes.h"
#include "codec/thumbnail.h"
#include "codec/windows/com_object.h"
#include "codec/windows/module.h"
#include "codec/windows/stream_source.h"

namespace codec {
namespace {

class ThumbnailProvider final : public ComObject<IThumbnailProvider, IInitializeWithStream> {
 public:
  ~ThumbnailProvider() override {
    if (stream_) stream_->Release();
  }

  STDMETHODIMP Initialize(IStream* stream, DWORD) override {
    if (!stream) return E_INVALIDARG;
    if (stream_) return HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED);
    stream_ = stream;
    stream_->AddRef();
    return S_OK;
  }

  STDMETHODIMP GetThumbnail(UINT edge, HBITMAP* bitmap, WTS_ALPHATYPE* alpha) override {
    if (!bitmap || !alpha) return E_INVALIDARG;
    *bitmap = nullptr;
    *alpha = WTSAT_UNKNOWN;
    if (!stream_) return E_UNEXPECTED;
    CodecPicture picture;
    CodecStatus status;
    {
      StreamSource source(stream_);
      FileBytes file;
      status = ReadWholeStream(source, &file, kMaxPictureFileBytes);
      if (status == CodecStatus::Ok) status = picture.Decode(file.span());
    }
    if (status != CodecStatus::Ok) return ResultOf(status);
    const PictureView& view = picture.view();
    const ThumbnailSize size = FitThumbnail(view.width, view.height, edge);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(size.width);
    info.bmiHeader.biHeight = -static_cast<LONG>(size.height);  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP made = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!made || !bits) {
      if (made) DeleteObject(made);
      return E_OUTOFMEMORY;
    }
    if (!ReduceToBgra(view, size, static_cast<uint8_t*>(bits))) {
      DeleteObject(made);
      return E_OUTOFMEMORY;
    }
    *bitmap = made;
    *alpha = WTSAT_ARGB;
    return S_OK;
  }

 private:
  IStream* stream_ = nullptr;
};

}  // namespace

HRESULT CreateThumbnailProvider(REFIID riid, void** object) {
  return CreateObject<ThumbnailProvider>(riid, object);
}

}  // namespace codec
