#include "helper_run.h"

#include <gtest/gtest.h>

HelperSetup::HelperSetup(const std::string& settings) : folder(testenv::ScratchDir() + "Quop\\") {
  CreateDirectoryA(folder.c_str(), nullptr);
  EXPECT_TRUE(
      CopyFileA(testenv::BuildPath("linkhelper\\urlhop32.exe").c_str(), (folder + "urlhop32.exe").c_str(), FALSE));
  EXPECT_TRUE(CopyFileA(testenv::BuildPath("tests\\support\\standin\\quop32_us.exe").c_str(),
                        (folder + "quop32.exe").c_str(), FALSE));
  testenv::WriteFile(folder + "quop.ini", "[quop]\r\nnick=Convidat\r\n[quoplink]\r\n" + settings + "\r\n");
  StandInLogPath();  // the clients that the helper starts log here too
}

std::string HelperSetup::Request(const std::string& name, const std::string& content) const {
  std::string path = testenv::ScratchDir() + name;
  testenv::WriteFile(path, content);
  return path;
}

std::unique_ptr<ui::Process> HelperSetup::Start(const std::string& tail, const std::string& dir) const {
  return std::make_unique<ui::Process>(folder + "urlhop32.exe", tail, dir.empty() ? folder : dir);
}

int HelperSetup::Run(const std::string& tail, const std::string& dir) const {
  auto helper = Start(tail, dir);
  const ui::AssertionResult ended = helper->WaitExit();
  EXPECT_TRUE(ended);
  return ended ? static_cast<int>(helper->ExitCode()) : -1;
}

ui::AssertionResult HelperSetup::WaitForDialog(const ui::Process& helper, const std::string& title, HWND& found) {
  return ui::WaitForDialog(helper.id(), title, found);
}
