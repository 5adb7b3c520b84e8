// What the codec's COM objects share: the module's handle, the count of
// live objects and server locks that DllCanUnloadNow answers from, and
// the codec's identities as Windows GUIDs.
#pragma once

#include <windows.h>

#include "codec/codec_ids.h"
#include "codec/codec_status.h"

namespace codec {

HINSTANCE ModuleInstance();
// Every COM object counts itself in while it lives.
void ObjectCreated();
void ObjectDestroyed();
void LockServer(bool lock);
bool CanUnload();

inline GUID ToGuid(const CodecGuid& g) {
  GUID guid;
  guid.Data1 = g.data1;
  guid.Data2 = g.data2;
  guid.Data3 = g.data3;
  for (int i = 0; i < 8; ++i) guid.Data4[i] = g.data4[i];
  return guid;
}

// The imaging component's HRESULT for each of the core's answers.
HRESULT ResultOf(CodecStatus status);

// Made by the class factory.
HRESULT CreateDecoder(REFIID riid, void** object);
HRESULT CreateThumbnailProvider(REFIID riid, void** object);

}  // namespace codec
