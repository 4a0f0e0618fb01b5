// Keeps Wine's desktop answering while the bench is up.
//
// An elevated installer asks the desktop's shell (explorer.exe) for the
// user's folders and to open pages, through objects that explorer serves to
// other processes. When the last object of an interface is let go, Wine's
// COM unregisters that interface and waits for its calls to end; the call
// that has just answered may not have been counted out yet, and Wine's RPC
// runtime then misses its end: the wait never returns, and the desktop
// thread hangs with every window of the bench (once in a few thousand
// releases, more often on a loaded machine). Windows has no such wait.
//
// This program takes the same road to the shell's objects once and holds
// one of each until the bench ends it: every interface stays registered,
// and the waits never come.
#include <windows.h>
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

namespace {

constexpr int kHeld = 12;

// The installer's road to a folder's path; every object met is held.
bool HoldTheShellsObjects(IUnknown* (&held)[kHeld]) {
  int count = 0;
  auto hold = [&](IUnknown* object) {
    if (object) held[count++] = object;
    return object != nullptr;
  };
  IShellWindows* windows = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                              reinterpret_cast<void**>(&windows))) ||
      !hold(windows)) {
    return false;
  }
  VARIANT none = {};
  none.vt = VT_EMPTY;
  long window = 0;
  IDispatch* desktop = nullptr;
  IServiceProvider* services = nullptr;
  IShellBrowser* browser = nullptr;
  IShellView* view = nullptr;
  IDispatch* background = nullptr;
  IShellFolderViewDual* folderView = nullptr;
  IDispatch* application = nullptr;
  IShellDispatch2* shell = nullptr;
  Folder* folder = nullptr;
  Folder2* folder2 = nullptr;
  FolderItem* self = nullptr;
  VARIANT which = {};
  which.vt = VT_I4;
  which.lVal = ssfDESKTOPDIRECTORY;
  BSTR path = nullptr;
  const bool held_all =
      windows->FindWindowSW(&none, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &desktop) == S_OK && hold(desktop) &&
      SUCCEEDED(desktop->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&services))) && hold(services) &&
      SUCCEEDED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, reinterpret_cast<void**>(&browser))) &&
      hold(browser) && SUCCEEDED(browser->QueryActiveShellView(&view)) && hold(view) &&
      SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, reinterpret_cast<void**>(&background))) &&
      hold(background) &&
      SUCCEEDED(background->QueryInterface(IID_IShellFolderViewDual, reinterpret_cast<void**>(&folderView))) &&
      hold(folderView) && SUCCEEDED(folderView->get_Application(&application)) && hold(application) &&
      SUCCEEDED(application->QueryInterface(IID_IShellDispatch2, reinterpret_cast<void**>(&shell))) && hold(shell) &&
      shell->NameSpace(which, &folder) == S_OK && hold(folder) &&
      SUCCEEDED(folder->QueryInterface(IID_Folder2, reinterpret_cast<void**>(&folder2))) && hold(folder2) &&
      SUCCEEDED(folder2->get_Self(&self)) && hold(self) && SUCCEEDED(self->get_Path(&path));
  SysFreeString(path);
  return held_all;
}

}  // namespace

// The command line names a file that is made once the objects are held.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  if (FAILED(CoInitialize(nullptr))) return 1;
  // The desktop registers its shell objects a moment after its window shows.
  IUnknown* held[kHeld] = {};
  bool holding = false;
  for (int tries = 0; tries < 300 && !holding; ++tries) {
    holding = HoldTheShellsObjects(held);
    if (!holding) {
      for (IUnknown*& object : held) {
        if (object) object->Release();
        object = nullptr;
      }
      Sleep(100);
    }
  }
  if (!holding) return 2;
  HANDLE ready = CreateFileA(commandLine, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
