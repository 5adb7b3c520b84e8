#include "xxgrp/com.h"

ComScope::ComScope() {
  const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  // S_FALSE (already initialised alike) still counts and must be balanced.
  mustUninitialize_ = SUCCEEDED(result);
  ready_ = mustUninitialize_ || result == RPC_E_CHANGED_MODE;
}

ComScope::~ComScope() {
  if (mustUninitialize_) CoUninitialize();
}
