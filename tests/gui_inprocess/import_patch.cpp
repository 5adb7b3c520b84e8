#include "tests/gui_inprocess/import_patch.h"

#include "platform/windows/text.h"

namespace {

template <class T>
T* At(BYTE* base, DWORD offset) {
  return reinterpret_cast<T*>(base + offset);
}

// The program's import address table slot of the function, or null.
void** FindSlot(const char* dll, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = At<IMAGE_NT_HEADERS>(base, static_cast<DWORD>(dos->e_lfanew));
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* entry = At<IMAGE_IMPORT_DESCRIPTOR>(base, imports.VirtualAddress); entry->Name; ++entry) {
    if (lstrcmpiA(At<char>(base, entry->Name), dll) != 0) continue;
    auto* names = At<IMAGE_THUNK_DATA>(base, entry->OriginalFirstThunk);
    auto* slots = At<IMAGE_THUNK_DATA>(base, entry->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = At<IMAGE_IMPORT_BY_NAME>(base, static_cast<DWORD>(names->u1.AddressOfData));
      if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) == 0)
        return reinterpret_cast<void**>(&slots->u1.Function);
    }
  }
  return nullptr;
}

void Write(void** slot, void* value) {
  DWORD previous;
  VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous);
  *slot = value;
  VirtualProtect(slot, sizeof *slot, previous, &previous);
}

MessageRecorder* recorder = nullptr;

}  // namespace

ImportPatch::ImportPatch(const char* dll, const char* function, void* replacement) : slot_(FindSlot(dll, function)) {
  if (!slot_) return;
  original_ = *slot_;
  Write(slot_, replacement);
}

ImportPatch::~ImportPatch() {
  if (slot_) Write(slot_, original_);
}

MessageRecorder::MessageRecorder()
    : patch_("user32.dll", "MessageBoxW", reinterpret_cast<void*>(&MessageRecorder::Record)) {
  recorder = this;
}

MessageRecorder::~MessageRecorder() { recorder = nullptr; }

int WINAPI MessageRecorder::Record(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
  if (recorder)
    recorder->shown_.push_back(
        {owner, platform::Utf8(text ? text : L""), platform::Utf8(caption ? caption : L""), style});
  return IDOK;
}
