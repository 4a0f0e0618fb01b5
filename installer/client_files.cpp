#include "client_files.h"

#include <windows.h>

#include <cstdlib>

bool CanOpenForWriting(const CString& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

namespace {

// The value `name` of the first of the two string blocks that holds it.
CString QueryString(void* block, const char* name) {
  for (const char* language : {"040904E4", "080904E4"}) {
    const CString query = CString::Format("\\StringFileInfo\\%s\\%s", {language, name});
    void* value = nullptr;
    UINT length = 0;
    if (!query.failed() && VerQueryValueA(block, query.c_str(), &value, &length) && value) {
      return static_cast<const char*>(value);
    }
  }
  return {};
}

}  // namespace

DeclaredVersion ReadDeclaredVersion(const CString& path) {
  DeclaredVersion declared;
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  if (size == 0) return declared;
  // Without memory for the block the program counts as having no resource.
  void* block = std::malloc(size);
  if (block && GetFileVersionInfoA(path.c_str(), handle, size, block)) {
    declared.originalFilename = QueryString(block, "OriginalFilename");
    declared.productVersion = QueryString(block, "ProductVersion");
  }
  std::free(block);
  return declared;
}
