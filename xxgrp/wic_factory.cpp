#include "xxgrp/wic_factory.h"

HRESULT CreateWicFactory(IWICImagingFactory** factory) {
  return CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                          reinterpret_cast<void**>(factory));
}
