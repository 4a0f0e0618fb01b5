// A version.dll left beside a program, as a web page can leave one in a
// downloads folder: it notes each call of the functions that an 8-bit
// program reads version resources with in %QUOP_VERSION_LOG%, one name a line, and
// passes every call on to the system's own library. (Wine's own user32
// imports this library, so under Wine it is loaded into every program that
// finds it first, whatever the program does: its calls tell who uses it.)
#include <windows.h>

namespace {

HMODULE g_system;

FARPROC SystemEntry(const char* name) {
  if (!g_system) {
    char path[MAX_PATH];
    GetSystemDirectoryA(path, sizeof path);
    lstrcatA(path, "\\version.dll");
    g_system = LoadLibraryA(path);
  }
  return g_system ? GetProcAddress(g_system, name) : nullptr;
}

template <typename Fn>
Fn Entry(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(SystemEntry(name)));
}

// The system's function `name`, once the call is logged.
template <typename Fn>
Fn LoggedEntry(const char* name) {
  char log[MAX_PATH];
  if (GetEnvironmentVariableA("QUOP_VERSION_LOG", log, sizeof log)) {
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, name, lstrlenA(name), &written, nullptr);
      WriteFile(file, "\r\n", 2, &written, nullptr);
      CloseHandle(file);
    }
  }
  return Entry<Fn>(name);
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR file, LPDWORD handle) {
  const auto call = LoggedEntry<DWORD(WINAPI*)(LPCSTR, LPDWORD)>("GetFileVersionInfoSizeA");
  return call ? call(file, handle) : 0;
}
extern "C" __declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeW(LPCWSTR file, LPDWORD handle) {
  const auto call = Entry<DWORD(WINAPI*)(LPCWSTR, LPDWORD)>("GetFileVersionInfoSizeW");
  return call ? call(file, handle) : 0;
}
extern "C" __declspec(dllexport) BOOL WINAPI GetFileVersionInfoA(LPCSTR file, DWORD handle, DWORD size, LPVOID data) {
  const auto call = LoggedEntry<BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID)>("GetFileVersionInfoA");
  return call && call(file, handle, size, data);
}
extern "C" __declspec(dllexport) BOOL WINAPI GetFileVersionInfoW(LPCWSTR file, DWORD handle, DWORD size, LPVOID data) {
  const auto call = Entry<BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID)>("GetFileVersionInfoW");
  return call && call(file, handle, size, data);
}
extern "C" __declspec(dllexport) BOOL WINAPI VerQueryValueA(LPCVOID block, LPCSTR name, LPVOID* value, PUINT size) {
  const auto call = LoggedEntry<BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT)>("VerQueryValueA");
  return call && call(block, name, value, size);
}
extern "C" __declspec(dllexport) BOOL WINAPI VerQueryValueW(LPCVOID block, LPCWSTR name, LPVOID* value, PUINT size) {
  const auto call = Entry<BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT)>("VerQueryValueW");
  return call && call(block, name, value, size);
}
