#include "client_files.h"

#include <windows.h>
// After windows.h, which it needs.
#include <winver.h>

#include "install_rules.h"
#include "system_library.h"

bool CanOpenForWriting(const CString& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

namespace {

// The version functions, from the system directory when first needed: the
// library is none of those that every system keeps to its own copy, and the
// installer's folder (a downloads folder) could hold another of that name.
struct VersionLibrary {
  decltype(&::GetFileVersionInfoSizeA) size;
  decltype(&::GetFileVersionInfoA) info;
  decltype(&::VerQueryValueA) query;
};

bool LoadVersionLibrary(VersionLibrary& functions) {
  static HMODULE library;
  functions.size =
      SystemFunction<decltype(&::GetFileVersionInfoSizeA)>(library, "version.dll", "GetFileVersionInfoSizeA");
  functions.info = SystemFunction<decltype(&::GetFileVersionInfoA)>(library, "version.dll", "GetFileVersionInfoA");
  functions.query = SystemFunction<decltype(&::VerQueryValueA)>(library, "version.dll", "VerQueryValueA");
  return functions.size && functions.info && functions.query;
}

// The value `name` of the first of the two string blocks that holds it.
CString QueryString(const VersionLibrary& version, void* block, const char* name) {
  for (const char* language : {"040904E4", "080904E4"}) {
    const CString query = CString::Format("\\StringFileInfo\\%s\\%s", {language, name});
    void* value = nullptr;
    UINT length = 0;
    if (!query.failed() && version.query(block, query.c_str(), &value, &length) && value) {
      // The value is as long as the platform says: a block from any file the
      // user picks need not end it with a zero byte.
      const char* text = static_cast<const char*>(value);
      size_t used = 0;
      while (used < length && text[used]) ++used;
      return CString(text, used);
    }
  }
  return {};
}

HANDLE OpenForReading(const CString& path) {
  return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

bool CanOpenForReading(const CString& path) {
  HANDLE file = OpenForReading(path);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

bool SameContents(const CString& a, const CString& b) {
  HANDLE first = OpenForReading(a), second = OpenForReading(b);
  bool same = first != INVALID_HANDLE_VALUE && second != INVALID_HANDLE_VALUE;
  while (same) {
    char one[1024], other[sizeof one];
    DWORD oneRead = 0, otherRead = 0;
    if (!ReadFile(first, one, sizeof one, &oneRead, nullptr) ||
        !ReadFile(second, other, sizeof other, &otherRead, nullptr) || oneRead != otherRead) {
      same = false;
      break;
    }
    if (oneRead == 0) break;  // both ended together
    for (DWORD i = 0; i < oneRead && same; ++i) same = one[i] == other[i];
  }
  if (first != INVALID_HANDLE_VALUE) CloseHandle(first);
  if (second != INVALID_HANDLE_VALUE) CloseHandle(second);
  return same;
}

DeclaredVersion ReadDeclaredVersion(const CString& path) {
  DeclaredVersion declared;
  VersionLibrary version;
  if (!LoadVersionLibrary(version)) return declared;
  DWORD handle = 0;
  const DWORD size = version.size(path.c_str(), &handle);
  declared.read = size == 0;  // no resource
  if (size == 0) return declared;
  void* block = HeapAlloc(GetProcessHeap(), 0, size);
  if (!block) return declared;
  declared.read = true;
  if (version.info(path.c_str(), handle, size, block)) {
    declared.originalFilename = QueryString(version, block, "OriginalFilename");
    declared.productVersion = QueryString(version, block, "ProductVersion");
  }
  HeapFree(GetProcessHeap(), 0, block);
  return declared;
}
