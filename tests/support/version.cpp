// A version.dll left beside a program, as a web page can leave one in a
// downloads folder: each call of the functions that an 8-bit program reads
// version resources with leaves its name in %QUOP_VERSION_LOG%, a line each,
// and fails. (Wine's own user32 imports this library, so under Wine it is
// loaded into every program that finds it first, whatever the program does:
// its calls tell who uses it. The wide functions are there for user32.)
#include <windows.h>

namespace {

BOOL Logged(const char* call) {
  char log[MAX_PATH];
  if (!GetEnvironmentVariableA("QUOP_VERSION_LOG", log, sizeof log)) return FALSE;
  HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  DWORD written = 0;
  WriteFile(file, call, lstrlenA(call), &written, nullptr);
  WriteFile(file, "\r\n", 2, &written, nullptr);
  CloseHandle(file);
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
