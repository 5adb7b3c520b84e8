// The part every COM object of the codec shares: its reference count, its
// place in the module's count of live objects, and QueryInterface over
// the interfaces it lists (and any further one Derived answers for).
#pragma once

#include <windows.h>

#include <new>

#include "codec/windows/module.h"

namespace codec {

template <class... Interfaces>
class ComObject : public Interfaces... {
 public:
  ComObject() { ObjectCreated(); }
  virtual ~ComObject() { ObjectDestroyed(); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    void* found = riid == __uuidof(IUnknown) ? static_cast<void*>(First()) : nullptr;
    ((found = found ? found : riid == __uuidof(Interfaces) ? static_cast<void*>(static_cast<Interfaces*>(this)) : nullptr),
     ...);
    if (!found) found = Further(riid);
    *object = found;
    if (!found) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
  }

 protected:
  // An interface the object has besides those listed (a base of one of them).
  virtual void* Further(REFIID) { return nullptr; }

 private:
  template <class I, class...>
  struct Head {
    using Type = I;
  };
  IUnknown* First() { return static_cast<typename Head<Interfaces...>::Type*>(this); }

  LONG refs_ = 1;
};

// A new object of class Made, handed out as the interface asked for.
template <class Made, class... Args>
HRESULT CreateObject(REFIID riid, void** object, Args&&... args) {
  if (!object) return E_POINTER;
  *object = nullptr;
  auto* made = new (std::nothrow) Made(static_cast<Args&&>(args)...);
  if (!made) return E_OUTOFMEMORY;
  const HRESULT hr = made->QueryInterface(riid, object);
  made->Release();
  return hr;
}

}  // namespace codec
