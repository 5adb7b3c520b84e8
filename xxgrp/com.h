// COM for the length of one call, and an owning interface pointer.
#pragma once

#include <windows.h>

// Initialises COM on this thread unless the host already has, and undoes
// exactly what it did. A thread already in the other apartment kind
// (RPC_E_CHANGED_MODE) still has COM, which is all the imaging component needs.
class ComScope {
 public:
  ComScope();
  ~ComScope();
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

  bool Ready() const { return ready_; }

 private:
  bool ready_ = false;
  bool mustUninitialize_ = false;
};

// Releases the interface it holds when it goes away.
template <class T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() { Reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;

  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  // For the out-parameter of a creating call; drops what was held.
  T** Receive() {
    Reset();
    return &pointer_;
  }
  void Reset() {
    if (pointer_) pointer_->Release();
    pointer_ = nullptr;
  }

 private:
  T* pointer_ = nullptr;
};
