// The least that does the installer's start, the yardstick of its start: no
// run-time start-up, OLE initialised, one modal dialog of the installer's
// size that ends on Escape or its close box.
#include <windows.h>
#include <ole2.h>

namespace {

INT_PTR CALLBACK FloorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    EndDialog(dialog, 0);
    return TRUE;
  }
  return message == WM_INITDIALOG;
}

}  // namespace

extern "C" void WinMainCRTStartup() {
  const HRESULT ole = OleInitialize(nullptr);
  DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(129), nullptr, FloorDialogProc, 0);
  if (SUCCEEDED(ole)) OleUninitialize();
  ExitProcess(0);
}
