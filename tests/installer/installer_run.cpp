#include "installer_run.h"

#include <gtest/gtest.h>

InstallerRun::InstallerRun() : folder(testenv::ScratchDir() + "pack\\") {
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string exe = folder + "trinstall.exe";
  EXPECT_TRUE(CopyFileA(testenv::BuildPath("installer\\trinstall.exe").c_str(), exe.c_str(), FALSE));
  process = std::make_unique<ui::Process>(exe, "", folder);
  EXPECT_TRUE(process->started());
  ui::WindowQuery query;
  query.processId = process->id();
  query.title = kMainTitle;
  query.className = "#32770";
  dialog = ui::WaitForWindow(query);
  EXPECT_NE(dialog, nullptr) << "the main dialog did not open";
}
