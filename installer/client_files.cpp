#include "client_files.h"

#include <windows.h>

#include <vector>

bool CanOpenForWriting(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

namespace {

// The value `name` of the first of the two string blocks that holds it.
std::string QueryString(std::vector<char>& block, const char* name) {
  for (const char* language : {"040904E4", "080904E4"}) {
    const std::string query = std::string("\\StringFileInfo\\") + language + "\\" + name;
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), query.c_str(), &value, &length) && value) {
      return static_cast<const char*>(value);
    }
  }
  return {};
}

}  // namespace

DeclaredVersion ReadDeclaredVersion(const std::string& path) {
  DeclaredVersion declared;
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  if (size == 0) return declared;
  std::vector<char> block(size);
  if (GetFileVersionInfoA(path.c_str(), handle, size, block.data())) {
    declared.originalFilename = QueryString(block, "OriginalFilename");
    declared.productVersion = QueryString(block, "ProductVersion");
  }
  return declared;
}
