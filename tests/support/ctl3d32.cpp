// A stand-in for the 3-D controls library of older shells: a program that
// uses it leaves one line per call in the file named by %QUOP_CTL3D_LOG%.
#include <windows.h>

namespace {

BOOL Log(const char* call) {
  char path[MAX_PATH];
  if (!GetEnvironmentVariableA("QUOP_CTL3D_LOG", path, sizeof path)) return TRUE;
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return TRUE;
  DWORD written = 0;
  WriteFile(file, call, lstrlenA(call), &written, nullptr);
  WriteFile(file, "\r\n", 2, &written, nullptr);
  CloseHandle(file);
  return TRUE;
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI Ctl3dRegister(HINSTANCE) { return Log("register"); }
extern "C" __declspec(dllexport) BOOL WINAPI Ctl3dAutoSubclass(HINSTANCE) { return Log("autosubclass"); }
extern "C" __declspec(dllexport) BOOL WINAPI Ctl3dUnregister(HINSTANCE) { return Log("unregister"); }
