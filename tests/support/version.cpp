// A version.dll left beside a program, as a web page can leave one in a
// downloads folder: each call of the functions that an 8-bit program reads
// version resources with leaves its name in %QUOP_VERSION_LOG%, a line each,
// and fails. (Wine's own user32 imports this library, so under Wine it is
// loaded into every program that finds it first, whatever the program does:
// its calls tell who uses it. The wide functions are there for user32.)
#include "library_log.h"

namespace {

BOOL Logged(const char* call) {
  AppendLogLine("QUOP_VERSION_LOG", call);
  return FALSE;
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR, LPDWORD) {
  return Logged("GetFileVersionInfoSizeA");
}
extern "C" __declspec(dllexport) BOOL WINAPI GetFileVersionInfoA(LPCSTR, DWORD, DWORD, LPVOID) {
  return Logged("GetFileVersionInfoA");
}
extern "C" __declspec(dllexport) BOOL WINAPI VerQueryValueA(LPCVOID, LPCSTR, LPVOID*, PUINT) {
  return Logged("VerQueryValueA");
}
extern "C" __declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeW(LPCWSTR, LPDWORD) { return 0; }
extern "C" __declspec(dllexport) BOOL WINAPI GetFileVersionInfoW(LPCWSTR, DWORD, DWORD, LPVOID) { return FALSE; }
extern "C" __declspec(dllexport) BOOL WINAPI VerQueryValueW(LPCVOID, LPCWSTR, LPVOID*, PUINT) { return FALSE; }
