#include "installer_run.h"

#include <gtest/gtest.h>
// After windows.h, which it needs.
#include <dlgs.h>

std::string StandIn(const std::string& variant) {
  return testenv::BuildPath("tests\\support\\standin\\" + variant + ".exe");
}

void MakeClient(const std::string& folder, const std::string& variant) {
  CreateDirectoryA(folder.c_str(), nullptr);
  EXPECT_TRUE(CopyFileA(StandIn(variant).c_str(), (folder + "quop32.exe").c_str(), FALSE));
  EXPECT_TRUE(
      CopyFileA(testenv::SourcePath("tests\\support\\popups.ini").c_str(), (folder + "popups.ini").c_str(), FALSE));
  EXPECT_TRUE(
      CopyFileA(testenv::BuildPath("tests\\support\\donothing.exe").c_str(), (folder + "urlhop32.exe").c_str(), FALSE));
}

void LayOutPack(const std::string& folder) {
  CreateDirectoryA(folder.c_str(), nullptr);
  EXPECT_TRUE(
      CopyFileA(testenv::BuildPath("installer\\trinstall.exe").c_str(), (folder + "trinstall.exe").c_str(), FALSE));
  EXPECT_TRUE(CopyFileA(StandIn("quop32_catalan").c_str(), (folder + "quop32.ca").c_str(), FALSE));
  EXPECT_TRUE(
      CopyFileA(testenv::SourcePath("pack\\samples\\popups.ca").c_str(), (folder + "popups.ca").c_str(), FALSE));
  EXPECT_TRUE(
      CopyFileA(testenv::BuildPath("tests\\support\\urlrec.exe").c_str(), (folder + "urlhop32.ca").c_str(), FALSE));
}

PlantedFaults::PlantedFaults(const std::string& pack, const std::string& fault, const std::string& disk,
                             const std::string& log)
    : nativeFirst_("Software\\Wine\\AppDefaults\\trinstall.exe\\DllOverrides", "version", "native,builtin") {
  EXPECT_TRUE(CopyFileA(testenv::BuildPath("tests\\support\\faults\\version.dll").c_str(),
                        (pack + "version.dll").c_str(), FALSE));
  SetEnvironmentVariableA("QUOP_FAULT", fault.c_str());
  SetEnvironmentVariableA("QUOP_FAULT_DISK", disk.empty() ? nullptr : disk.c_str());
  SetEnvironmentVariableA("QUOP_FAULT_LOG", log.empty() ? nullptr : log.c_str());
}

PlantedFaults::~PlantedFaults() {
  for (const char* variable : {"QUOP_FAULT", "QUOP_FAULT_DISK", "QUOP_FAULT_LOG"}) {
    SetEnvironmentVariableA(variable, nullptr);
  }
}

InstallerRun::InstallerRun(bool newClient, const std::string& packFolder) {
  const std::string scratch = testenv::ScratchDir();
  pack = packFolder.empty() ? scratch + "pack\\" : packFolder;
  client = scratch + "client\\";
  const std::string exe = pack + "trinstall.exe";
  if (packFolder.empty()) LayOutPack(pack);
  if (newClient) MakeClient(client);

  process = std::make_unique<ui::Process>(exe, "", pack);
  EXPECT_TRUE(process->started());
  ui::WindowQuery query;
  query.processId = process->id();
  query.title = kMainTitle;
  query.className = "#32770";
  dialog = ui::WaitForWindow(query);
  EXPECT_NE(dialog, nullptr) << "the main dialog did not open";
}

namespace {

HWND WaitForOpenDialog(DWORD processId) { return ui::WaitForDialog(processId, "Open"); }

}  // namespace

bool InstallerRun::Pick(const std::string& path) {
  ui::Click(dialog, IDC_BROWSE);
  HWND open = WaitForOpenDialog(process->id());
  if (!open) return false;
  ui::SetText(ui::Control(open, cmb13), path);
  ui::Click(open, IDOK);
  return ui::WaitForWindowGone(open);
}

bool InstallerRun::PickAndCancel() {
  ui::Click(dialog, IDC_BROWSE);
  HWND open = WaitForOpenDialog(process->id());
  if (!open) return false;
  ui::Click(open, IDCANCEL);
  return ui::WaitForWindowGone(open);
}

std::string InstallerRun::ExpectMessage(int answer, const std::string& caption) {
  HWND box = ui::WaitForMessageBox(process->id(), caption);
  if (!box) return {};
  std::string text = ui::MessageBoxText(box);
  ui::AnswerMessageBox(box, answer);
  EXPECT_TRUE(ui::WaitForWindowGone(box));
  return text;
}

bool InstallerRun::NoMessage() { return ui::WaitForMessageBox(process->id(), "", 500) == nullptr; }

bool InstallerRun::WaitForResults(const std::string& text) {
  return ui::WaitUntil([&] { return ui::ControlText(dialog, IDC_RESULTS) == text; }, 5000);
}

HWND InstallerRun::WaitForDialog(const std::string& title) { return ui::WaitForDialog(process->id(), title); }

HWND InstallerRun::InstallUpToInfoDialog() {
  if (!Pick(client + "quop32.exe")) return nullptr;
  if (!ui::WaitUntil([&] { return ui::IsEnabled(ui::Control(dialog, IDC_INSTALL)); })) return nullptr;
  ui::Click(dialog, IDC_INSTALL);
  EXPECT_FALSE(ExpectMessage().empty());
  return WaitForDialog(kInfoTitle);
}

bool InstallerRun::DismissInfoDialog() {
  HWND info = WaitForDialog(kInfoTitle);
  if (!info) return false;
  ui::Click(info, IDCANCEL);
  return ui::WaitForWindowGone(info);
}
