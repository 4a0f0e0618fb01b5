// trinstall.exe: the translation installer's entry point and its one
// application object.
#include <new>

#include "installer_app.h"
#include "library_search.h"
#include "stack_guard.h"

namespace {

// The application object, made and ended by the entry point below: no
// run-time library's start-up runs constructors before it, or after it.
alignas(CInstallerApp) unsigned char g_appStorage[sizeof(CInstallerApp)];
CInstallerApp* g_app = nullptr;

}  // namespace

CInstallerApp& TheApp() { return *g_app; }

// The program's entry, in place of the C run-time's start-up, of which the
// installer needs nothing: it reads no command line.
extern "C" __attribute__((no_stack_protector)) void WinMainCRTStartup() {
  SeedStackGuard();
  KeepLibrarySearchToSystem();
  g_app = new (g_appStorage) CInstallerApp;
  const int exitCode = g_app->Run(GetModuleHandleA(nullptr));
  g_app->~CInstallerApp();
  ExitProcess(static_cast<UINT>(exitCode));
}
