// The DLL's five exports: the class objects of the decoder and the
// thumbnail provider, and registration machine-wide (DllRegisterServer)
// or, through DllInstall, for the user alone and with tga and bbm.
#include <shlobj.h>
#include <wincodec.h>
#include <windows.h>

#include <new>
#include <string>

#include "codec/registration.h"
#include "codec/windows/com_object.h"
#include "codec/windows/module.h"
#include "codec/windows/registry_windows.h"

namespace {

HINSTANCE g_instance = nullptr;
LONG g_objects = 0;
LONG g_locks = 0;

using Creator = HRESULT (*)(REFIID, void**);

class ClassFactory final : public codec::ComObject<IClassFactory> {
 public:
  explicit ClassFactory(Creator create) : create_(create) {}

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return create_(riid, object);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    codec::LockServer(lock != FALSE);
    return S_OK;
  }

 private:
  Creator create_;
};

// The module's own path, however long.
bool ModulePath(std::wstring* path) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(g_instance, &buffer[0], static_cast<DWORD>(buffer.size()));
    if (length == 0) return false;
    if (length < buffer.size()) {
      buffer.resize(length);
      *path = buffer;
      return true;
    }
    if (buffer.size() >= 32768) return false;
    buffer.resize(buffer.size() * 2);
  }
}

HRESULT Install(bool install, const InstallOptions& options) {
  try {
    WindowsRegistry registry(options.scope == RegistryScope::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE);
    long status;
    if (install) {
      std::wstring path;
      if (!ModulePath(&path)) return HRESULT_FROM_WIN32(GetLastError());
      status = Register(registry, path, options);
    } else {
      status = Unregister(registry);
    }
    if (status != kRegistryOk) return HRESULT_FROM_WIN32(static_cast<DWORD>(status));
    // Explorer reads the extensions' handlers afresh.
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace

namespace codec {

HINSTANCE ModuleInstance() { return g_instance; }
void ObjectCreated() { InterlockedIncrement(&g_objects); }
void ObjectDestroyed() { InterlockedDecrement(&g_objects); }
void LockServer(bool lock) {
  if (lock) InterlockedIncrement(&g_locks);
  else InterlockedDecrement(&g_locks);
}
bool CanUnload() { return g_objects == 0 && g_locks == 0; }

HRESULT ResultOf(CodecStatus status) {
  switch (status) {
    case CodecStatus::Ok: return S_OK;
    case CodecStatus::NotRecognised: return WINCODEC_ERR_UNKNOWNIMAGEFORMAT;
    case CodecStatus::BadImage: return WINCODEC_ERR_BADIMAGE;
    case CodecStatus::UnsupportedPixels: return WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    case CodecStatus::OutOfMemory: return E_OUTOFMEMORY;
    case CodecStatus::StreamRead: return WINCODEC_ERR_STREAMREAD;
    case CodecStatus::TooLarge: return WINCODEC_ERR_IMAGESIZEOUTOFRANGE;
    case CodecStatus::InvalidArgument: return E_INVALIDARG;
    case CodecStatus::BufferTooSmall: return WINCODEC_ERR_INSUFFICIENTBUFFER;
  }
  return E_FAIL;
}

}  // namespace codec

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_instance = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  Creator create = nullptr;
  if (clsid == codec::ToGuid(kDecoderClass)) create = codec::CreateDecoder;
  if (clsid == codec::ToGuid(kThumbnailClass)) create = codec::CreateThumbnailProvider;
  if (!create) return CLASS_E_CLASSNOTAVAILABLE;
  return codec::CreateObject<ClassFactory>(riid, object, create);
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return codec::CanUnload() ? S_OK : S_FALSE; }

extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer() { return Install(true, InstallOptions()); }

extern "C" __declspec(dllexport) HRESULT WINAPI DllUnregisterServer() { return Install(false, InstallOptions()); }

// regsvr32 /i:"user tga bbm" /n registers for the user alone, with
// thumbnails for tga and bbm too; regsvr32 /u /i:user /n removes that.
extern "C" __declspec(dllexport) HRESULT WINAPI DllInstall(BOOL install, LPCWSTR commandLine) {
  InstallOptions options;
  try {
    if (!ParseInstallOptions(commandLine ? commandLine : L"", &options)) return E_INVALIDARG;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return Install(install != FALSE, options);
}
