// A program's import table, read and repointed in its own process: how the
// fault injector takes over the installer's calls, and how an in-process
// test answers a system call in the test's place.
#pragma once

#include <windows.h>

namespace imports {

using Slot = decltype(IMAGE_THUNK_DATA::u1.Function);

// Calls `visit(function, slot)` for every function that `module` imports by
// name, from the library `library` (any, when null).
template <typename Visit>
void ForEach(HMODULE module, const char* library, Visit visit) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* nt =
      reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& table = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + table.VirtualAddress); dll->Name; ++dll) {
    if (library && lstrcmpiA(reinterpret_cast<const char*>(base + dll->Name), library) != 0) continue;
    auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
    auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
    for (; name->u1.AddressOfData; ++name, ++slot) {
      if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
      visit(reinterpret_cast<const char*>(byName->Name), &slot->u1.Function);
    }
  }
}

// Points an import at `value`; returns what it pointed at.
inline Slot Repoint(Slot* slot, Slot value) {
  DWORD protection = 0;
  VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
  const Slot old = *slot;
  *slot = value;
  VirtualProtect(slot, sizeof *slot, protection, &protection);
  return old;
}

// This program's import of `function` from `library` points at
// `replacement` for the life of the object.
class Patch {
 public:
  Patch(const char* library, const char* function, void* replacement) {
    ForEach(GetModuleHandleA(nullptr), library, [&](const char* name, Slot* slot) {
      if (lstrcmpA(name, function) != 0) return;
      slot_ = slot;
      original_ = Repoint(slot, reinterpret_cast<Slot>(replacement));
    });
  }
  ~Patch() {
    if (slot_) Repoint(slot_, original_);
  }
  Patch(const Patch&) = delete;
  Patch& operator=(const Patch&) = delete;
  bool patched() const { return slot_ != nullptr; }

 private:
  Slot* slot_ = nullptr;
  Slot original_ = 0;
};

}  // namespace imports
