#include "resource_strings.h"

CString LoadResourceString(UINT id) {
  char text[1024] = "";
  LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
  return text;
}

CString FormatResourceString(UINT id, std::initializer_list<const char*> arguments) {
  // A text that could not be loaded makes a failed text, not an empty one.
  const CString format = LoadResourceString(id);
  return format.failed() ? format : CString::Format(format.c_str(), arguments);
}
