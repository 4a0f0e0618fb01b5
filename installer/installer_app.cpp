#include "installer_app.h"

#include <ole2.h>

#include "installer_dlg.h"

BOOL CInstallerApp::InitInstance() {
  // OLE serves the desktop shortcut later on; without it only that fails,
  // so a failure here is not reported.
  m_oleInitialised = SUCCEEDED(OleInitialize(nullptr));
  CInstallerDlg dialog;
  dialog.DoModal();
  return FALSE;  // the program ends with its dialog
}

int CInstallerApp::ExitInstance() {
  if (m_oleInitialised) OleUninitialize();
  return 0;
}
