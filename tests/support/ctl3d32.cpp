// A stand-in for the 3-D controls library of older shells: a program that
// uses it leaves one line per call in the file named by %QUOP_CTL3D_LOG%.
#include "library_log.h"

namespace {

BOOL Log(const char* call) {
  AppendLogLine("QUOP_CTL3D_LOG", call);
  return TRUE;
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI Ctl3dRegister(HINSTANCE) { return Log("register"); }
extern "C" __declspec(dllexport) BOOL WINAPI Ctl3dAutoSubclass(HINSTANCE) { return Log("autosubclass"); }
extern "C" __declspec(dllexport) BOOL WINAPI Ctl3dUnregister(HINSTANCE) { return Log("unregister"); }
