// The installer's application object and its product constants.
#pragma once

#include "install_rules.h"
#include "framework.h"

class CInstallerApp : public CWinApp {
 public:
  BOOL InitInstance() override;
  int ExitInstance() override;

  // The chosen client program; reduced to its folder when an install starts.
  CString m_strClientPath;

  // Cuts `path` after its last separator (see ::StripFileName).
  static void StripFileName(CString& path) { path = ::StripFileName(path); }

 private:
  bool m_oleInitialised = false;
};

CInstallerApp& TheApp();
