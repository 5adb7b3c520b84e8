// The imaging component's factory, the entry to every decoder and encoder.
#pragma once

#include <wincodec.h>

// Asks for the first factory version, which every system with the imaging
// component has (the second needs Windows 8 or an update of Windows 7).
HRESULT CreateWicFactory(IWICImagingFactory** factory);
