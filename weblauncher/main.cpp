// verbalia.exe: opens the organisation's web site in the default browser and
// exits. It has no window; the desktop shortcut made by the installer runs it.
#include <windows.h>
#include <shellapi.h>

#include "site_address.h"

// The program's entry, in place of the C run-time's start-up, of which the
// launcher needs nothing: it reads no arguments and returns one exit code.
extern "C" void WinMainCRTStartup() {
  const HINSTANCE result = ShellExecuteA(nullptr, "open", kSiteAddress, nullptr, nullptr, SW_SHOW);
  // Exit code 1 reports success and 0 failure: the shell's result, not the
  // usual convention, is what callers of this program look at.
  ExitProcess(reinterpret_cast<UINT_PTR>(result) > 32 ? 1 : 0);
}
