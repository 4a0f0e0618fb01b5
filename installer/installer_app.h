// The installer's application object and its product constants.
#pragma once

#include <string>

#include "framework.h"

constexpr char kProductName[] = "Quop";
constexpr char kProductExe[] = "quop32.exe";
constexpr char kProductVersion[] = "5.61";

class CInstallerApp : public CWinApp {
 public:
  BOOL InitInstance() override;
  int ExitInstance() override;

  // The chosen client program; reduced to its folder when an install starts.
  std::string m_strClientPath;

 private:
  bool m_oleInitialised = false;
};

CInstallerApp& TheApp();
