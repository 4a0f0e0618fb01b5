// Starts the real installer from a scratch folder of the test's own and finds
// its main dialog.
#pragma once

#include <memory>
#include <string>

#include "test_env.h"
#include "uidriver.h"

constexpr char kMainTitle[] = "Actualitzador del Quop 5.61";

struct InstallerRun {
  // Copies trinstall.exe into a fresh folder and starts it there.
  InstallerRun();

  std::string folder;  // the installer's own folder, with a trailing backslash
  std::unique_ptr<ui::Process> process;
  HWND dialog = nullptr;
};
