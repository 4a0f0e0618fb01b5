// The bench itself: what a test killed by its time limit leaves in the
// prefix is swept before the next test program runs (and when the bench
// comes up), so that it fails no later test; the desktop's shell objects
// are held while it is up, so that Wine's desktop does not hang.
#include <gtest/gtest.h>

#include "installer_road.h"

namespace {

using testenv::ClassValue;

TEST(Bench, SweepsWhatAKilledTestLeft) {
  char system[MAX_PATH] = "";
  GetSystemDirectoryA(system, sizeof system);
  const std::string library = std::string(system) + "\\comdlg32.dll";
  const std::string overrides = "Software\\Wine\\AppDefaults\\trinstall.exe\\DllOverrides";
  const std::string journal = testenv::BuildPath("wine-bench\\undo\\00000000000000000001-0.undo");
  // What killed tests leave: the irc: class, the installer's Wine settings
  // (no version library it could load: it would never open), a system
  // library moved aside, the launcher, a folder outside the scratch
  // folders, and a value of the user's that a registry override changed
  // (its journal entry names what it was: no value).
  ASSERT_EQ(RegSetValueA(HKEY_LOCAL_MACHINE, "Software\\Classes\\irc\\shell\\open\\command", REG_SZ, "left", 0),
            ERROR_SUCCESS);
  HKEY key;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, overrides.c_str(), &key), ERROR_SUCCESS);
  RegSetValueExA(key, "version", 0, REG_SZ, reinterpret_cast<const BYTE*>("native"), 7);
  RegCloseKey(key);
  ASSERT_TRUE(MoveFileA(library.c_str(), (library + ".away").c_str()));
  ASSERT_TRUE(testenv::WriteFile(testenv::LauncherPath(), "a launcher left behind"));
  ASSERT_TRUE(CreateDirectoryA("C:\\QUOP", nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key), ERROR_SUCCESS);
  const DWORD dpi = 144;
  RegSetValueExA(key, "QuopLeftover", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  RegCloseKey(key);
  CreateDirectoryA(testenv::BuildPath("wine-bench\\undo").c_str(), nullptr);
  ASSERT_TRUE(testenv::WriteFile(journal, "Control Panel\\Desktop\nQuopLeftover\n-\n"));

  EXPECT_EQ(ui::RunToExit(testenv::BuildPath("tests\\support\\prefix_sweep.exe")), 0);

  EXPECT_EQ(ClassValue("irc\\shell\\open\\command"), "(none)");
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, overrides.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_TRUE(testenv::FileExists(library)) << library << " not back";
  EXPECT_FALSE(testenv::FileExists(library + ".away"));
  EXPECT_FALSE(testenv::FileExists(testenv::LauncherPath()));
  EXPECT_FALSE(testenv::FileExists("C:\\QUOP"));
  DWORD size = sizeof dpi;
  EXPECT_NE(RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "QuopLeftover", RRF_RT_REG_DWORD, nullptr,
                         nullptr, &size),
            ERROR_SUCCESS)
      << "the journal's value is not undone";
  EXPECT_FALSE(testenv::FileExists(journal));
  // The installer opens as on a fresh prefix.
  InstallerRun run;
  EXPECT_NE(run.dialog, nullptr);
}

// Without the keeper nothing fails at once: the desktop hangs in one run of
// many, somewhere in the sweeps.
TEST(Bench, HoldsTheDesktopShellsObjects) {
  EXPECT_TRUE(testenv::ProgramRuns("desktop_keeper.exe")) << "no desktop keeper runs";
  EXPECT_TRUE(testenv::FileExists(testenv::BuildPath("wine-bench\\keeper-holds"))) << "the keeper holds nothing";
}

}  // namespace
