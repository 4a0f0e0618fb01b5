#include "screen_reader_names.h"

#include <oleacc.h>

#include "resource_strings.h"

namespace {
// The accessibility services' class, their interface and the name property.
constexpr CLSID kAccPropServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kNameProperty = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
}  // namespace

void NameForScreenReaders(HWND dialog, const ScreenReaderName* names, size_t count) {
  IAccPropServices* services = nullptr;
  if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                              reinterpret_cast<void**>(&services)))) {
    return;
  }
  for (size_t i = 0; i < count; ++i) {
    // The string table's texts are code page 1252 whatever the system's own.
    WCHAR name[128];
    if (MultiByteToWideChar(1252, 0, LoadResourceString(names[i].stringId).c_str(), -1, name,
                            sizeof name / sizeof *name)) {
      services->SetHwndPropStr(GetDlgItem(dialog, names[i].controlId), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                               kNameProperty, name);
    }
  }
  services->Release();
}
