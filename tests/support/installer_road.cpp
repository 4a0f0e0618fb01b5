#include "installer_road.h"

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

namespace {

const char* const kFaultVariables[] = {"QUOP_FAULT", "QUOP_FAULT_DISK", "QUOP_FAULT_LOG", "QUOP_FAULT_ABSENT"};

}  // namespace

PlantedFaults::PlantedFaults(const std::string& pack, const std::string& fault, const std::string& disk,
                             const std::string& log, const std::string& notImplemented)
    : nativeFirst_("Software\\Wine\\AppDefaults\\trinstall.exe\\DllOverrides", "version", "native,builtin") {
  EXPECT_TRUE(CopyFileA(testenv::BuildPath("tests\\support\\faults\\version.dll").c_str(),
                        (pack + "version.dll").c_str(), FALSE));
  const std::string* values[] = {&fault, &disk, &log, &notImplemented};
  for (size_t i = 0; i < 4; ++i) {
    SetEnvironmentVariableA(kFaultVariables[i], values[i]->empty() ? nullptr : values[i]->c_str());
  }
}

PlantedFaults::~PlantedFaults() {
  for (const char* variable : kFaultVariables) SetEnvironmentVariableA(variable, nullptr);
}

InstallerRun::InstallerRun(bool newClient, const std::string& packFolder) {
  const std::string scratch = testenv::ScratchDir();
  pack = packFolder.empty() ? scratch + "pack\\" : packFolder;
  client = scratch + "client\\";
  const std::string exe = pack + "trinstall.exe";
  if (packFolder.empty()) LayOutPack(pack);
  if (newClient) MakeClient(client);

  process = std::make_unique<ui::Process>(exe, "", pack);
  EXPECT_TRUE(process->started()) << exe << " did not start, error " << process->startError();
  EXPECT_TRUE(ui::WaitForDialog(process->id(), kMainTitle, dialog));
}

ui::AssertionResult InstallerRun::WaitForDialog(const std::string& title, HWND& found) const {
  return ui::WaitForDialog(process->id(), title, found);
}

ui::AssertionResult InstallerRun::Pick(const std::string& path) const {
  ui::Click(dialog, IDC_BROWSE);
  HWND open = nullptr;
  if (auto opened = WaitForDialog("Open", open); !opened) return opened;
  ui::SetText(ui::Control(open, cmb13), path);
  ui::Click(open, IDOK);
  return ui::WaitForWindowGone(open);
}

ui::AssertionResult InstallerRun::PickAndCancel() const {
  ui::Click(dialog, IDC_BROWSE);
  HWND open = nullptr;
  if (auto opened = WaitForDialog("Open", open); !opened) return opened;
  ui::Click(open, IDCANCEL);
  return ui::WaitForWindowGone(open);
}

ui::AssertionResult InstallerRun::PickAndInstall(const std::string& program) const {
  if (auto picked = Pick(program.empty() ? client + "quop32.exe" : program); !picked) return picked;
  if (auto enabled = ui::WaitForEnabled(ui::Control(dialog, IDC_INSTALL)); !enabled) return enabled;
  ui::Click(dialog, IDC_INSTALL);
  return ::testing::AssertionSuccess();
}

void InstallerRun::InstallWhole() const {
  ASSERT_TRUE(PickAndInstall());
  EXPECT_EQ(ExpectMessage(), kInstalled);
  ASSERT_TRUE(DismissInfoDialog());
}

std::string InstallerRun::ExpectMessage(int answer, const std::string& caption) const {
  HWND box = nullptr;
  const ui::AssertionResult came = ui::WaitForMessageBox(process->id(), caption, box);
  EXPECT_TRUE(came);
  if (!came) return {};
  std::string text = ui::MessageBoxText(box);
  if (answer == kPressEnter) {
    ui::PressKey(box, VK_RETURN);
  } else {
    ui::AnswerMessageBox(box, answer);
  }
  EXPECT_TRUE(ui::WaitForWindowGone(box));
  return text;
}

ui::AssertionResult InstallerRun::NoMessage() const { return ui::WaitIdle(dialog); }

ui::AssertionResult InstallerRun::DismissInfoDialog() const {
  HWND info = nullptr;
  if (auto opened = WaitForDialog(kInfoTitle, info); !opened) return opened;
  ui::Click(info, kCancella);
  return ui::WaitForWindowGone(info);
}

ui::AssertionResult InstallerRun::Quit() const {
  if (auto enabled = ui::WaitForEnabled(dialog); !enabled) return enabled;
  ui::Click(dialog, kSortir);
  return process->WaitExit();
}
