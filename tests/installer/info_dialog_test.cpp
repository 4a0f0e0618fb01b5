// The information dialog after an install: the desktop shortcut with the
// launcher it writes, the explanation and the subscription message.
#include <gtest/gtest.h>

#include "installer_road.h"
#include "site_address.h"

namespace {

using testenv::LauncherPath;
using testenv::ReadShortcut;

const char kSubscription[] = "mailto:novetats@verbalia.cat?BODY=Envia'm_per_subscriute't";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kUserShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// An installation up to its information dialog, with the user's desktop in a
// folder of the test's own and no launcher in the Windows directory.
struct InfoRun {
  InfoRun() : desktop(testenv::ScratchDir() + "Desktop") {
    DeleteFileA(LauncherPath().c_str());
    EXPECT_TRUE(run.PickAndInstall());
    EXPECT_EQ(run.ExpectMessage(), kInstalled);
    EXPECT_TRUE(run.WaitForDialog(kInfoTitle, info));
  }
  ~InfoRun() { DeleteFileA(LauncherPath().c_str()); }
  std::string Shortcut() const { return desktop.Shortcut(); }

  testenv::DesktopFolder desktop;
  testenv::UrlLog log;
  InstallerRun run;
  HWND info = nullptr;
};

void SetCheck(HWND dialog, int id, bool checked) {
  PostMessageA(ui::Control(dialog, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

ui::AssertionResult Closed(HWND dialog) { return ui::WaitForWindowGone(dialog); }

TEST(InfoDialog, OpensWithBothOffersTickedAndTheFocusOnDacord) {
  InfoRun run;
  ASSERT_NE(run.info, nullptr);
  EXPECT_TRUE(ui::IsChecked(ui::Control(run.info, IDC_SUBSCRIBE)));
  EXPECT_TRUE(ui::IsChecked(ui::Control(run.info, IDC_CREATE_SHORTCUT)));
  GUITHREADINFO thread = {};
  thread.cbSize = sizeof thread;
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(run.info, nullptr), &thread));
  EXPECT_EQ(thread.hwndFocus, ui::Control(run.info, IDOK));
  // Centred over the main dialog, which it disables while it is open.
  const RECT owner = ui::ScreenRect(run.run.dialog), mine = ui::ScreenRect(run.info);
  EXPECT_NEAR((mine.left + mine.right) / 2, (owner.left + owner.right) / 2, 1);
  EXPECT_NEAR((mine.top + mine.bottom) / 2, (owner.top + owner.bottom) / 2, 1);
  EXPECT_FALSE(ui::IsEnabled(run.run.dialog));
  EXPECT_EQ(ui::ControlText(run.info, IDC_SUBSCRIBE),
            "&Em vull subscriure a la llista de novetats (us mantindrem informat per correu electrònic)");
}

TEST(InfoDialog, NothingTickedDoesNothing) {
  InfoRun run;
  ASSERT_NE(run.info, nullptr);
  SetCheck(run.info, IDC_SUBSCRIBE, false);
  SetCheck(run.info, IDC_CREATE_SHORTCUT, false);
  ui::Click(run.info, kDacord);
  ASSERT_TRUE(Closed(run.info));
  EXPECT_TRUE(run.run.NoMessage());
  EXPECT_FALSE(testenv::FileExists(LauncherPath()));
  EXPECT_FALSE(testenv::FileExists(run.Shortcut()));
  EXPECT_EQ(run.log.UrlsAtRest(), std::vector<std::string>{});
}

// Both offers: the shortcut exists while the explanation is read, and the
// mail program is asked for only after it has closed, however it closed.
TEST(InfoDialog, BothOffersTheShortcutFirstThenTheMailOnceExplained) {
  for (const bool escape : {false, true}) {
    SCOPED_TRACE(escape ? "the explanation closed by Escape" : "closed by D'acord");
    InfoRun run;
    ASSERT_NE(run.info, nullptr);
    ui::Click(run.info, kDacord);
    HWND explanation = nullptr;
    ASSERT_TRUE(run.run.WaitForDialog(kExplanationTitle, explanation));
    EXPECT_TRUE(testenv::FileExists(LauncherPath()));
    EXPECT_TRUE(testenv::FileExists(run.Shortcut()));
    EXPECT_TRUE(run.log.Entries().empty());
    EXPECT_FALSE(ui::IsEnabled(run.info));
    if (escape) {
      ui::PressKey(explanation, VK_ESCAPE);
    } else {
      ui::Click(explanation, IDOK);
    }
    ASSERT_TRUE(Closed(explanation));
    ASSERT_TRUE(Closed(run.info));
    ASSERT_TRUE(run.run.NoMessage());
    EXPECT_EQ(run.log.UrlsAtRest(), std::vector<std::string>{kSubscription});
  }
}

TEST(InfoDialog, OnlyTheSubscriptionWritesNoLauncher) {
  InfoRun run;
  ASSERT_NE(run.info, nullptr);
  SetCheck(run.info, IDC_CREATE_SHORTCUT, false);
  ui::Click(run.info, kDacord);
  HWND explanation = nullptr;
  ASSERT_TRUE(run.run.WaitForDialog(kExplanationTitle, explanation));
  ui::Click(explanation, IDOK);
  ASSERT_TRUE(run.log.WaitForCount(1));
  EXPECT_FALSE(testenv::FileExists(LauncherPath()));
  EXPECT_FALSE(testenv::FileExists(run.Shortcut()));
}

// "Cancel·la", Escape and the close box do nothing of what is offered.
TEST(InfoDialog, EachWayOutButDacordDoesNothing) {
  const struct {
    const char* way;
    void (*leave)(HWND);
  } ways[] = {
      {"Cancel·la", [](HWND info) { ui::Click(info, kCancella); }},
      {"Escape", [](HWND info) { ui::PressKey(info, VK_ESCAPE); }},
      {"the close box", [](HWND info) { ui::CloseBox(info); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.way);
    InfoRun run;
    ASSERT_NE(run.info, nullptr);
    way.leave(run.info);
    ASSERT_TRUE(Closed(run.info));
    EXPECT_TRUE(run.run.NoMessage());
    EXPECT_FALSE(testenv::FileExists(LauncherPath()));
    EXPECT_FALSE(testenv::FileExists(run.Shortcut()));
    EXPECT_EQ(run.log.UrlsAtRest(), std::vector<std::string>{});
  }
}

TEST(InfoDialog, WithoutAMailHandlerItClosesQuietly) {
  testenv::RemovedUrlHandler noMail("mailto");
  InfoRun run;
  ASSERT_NE(run.info, nullptr);
  SetCheck(run.info, IDC_CREATE_SHORTCUT, false);
  ui::Click(run.info, kDacord);
  HWND explanation = nullptr;
  ASSERT_TRUE(run.run.WaitForDialog(kExplanationTitle, explanation));
  ui::Click(explanation, IDOK);
  ASSERT_TRUE(Closed(run.info));
  EXPECT_TRUE(run.run.NoMessage());
}

// ---------------------------------------------------------------------------
// The shortcut and the launcher.

const char kNoShortcut[] = "No s'ha pogut crear la icona a l'escriptori.";

// Ticks only the shortcut and presses "D'acord"; a shortcut that could not be
// made is said.
void MakeShortcut(InfoRun& run, bool made = true) {
  SetCheck(run.info, IDC_SUBSCRIBE, false);
  ui::Click(run.info, kDacord);
  if (!made) {
    EXPECT_EQ(run.run.ExpectMessage(), kNoShortcut);
  }
  EXPECT_TRUE(Closed(run.info));
  EXPECT_TRUE(run.run.NoMessage());
}

TEST(Shortcut, WritesTheLauncherItCarriesOverAnOlderOne) {
  ASSERT_TRUE(testenv::WriteFile(LauncherPath(), "an older launcher"));
  InfoRun run;
  ASSERT_NE(run.info, nullptr);
  MakeShortcut(run);
  EXPECT_EQ(testenv::ReadFile(LauncherPath()), testenv::ReadFile(testenv::BuildPath("weblauncher\\verbalia.exe")));

  // Started through the written file, the launcher opens the site.
  ui::Process launcher(LauncherPath());
  ASSERT_TRUE(launcher.WaitExit());
  EXPECT_EQ(launcher.ExitCode(), 1u);
  ASSERT_TRUE(run.log.WaitForCount(1));
  EXPECT_EQ(run.log.Urls(), std::vector<std::string>{kSiteAddress});
}

TEST(Shortcut, NamesTheLauncherWithItsIconAndDescription) {
  InfoRun run;
  ASSERT_NE(run.info, nullptr);
  ASSERT_TRUE(testenv::WriteFile(run.Shortcut(), "an older shortcut"));
  MakeShortcut(run);
  const testenv::ShortcutProperties shortcut = ReadShortcut(run.Shortcut());
  ASSERT_TRUE(shortcut.loaded);
  // The link names the launcher by its bare name; a shell may store the file
  // that the name stands for on the program search path instead.
  EXPECT_TRUE(shortcut.path == "verbalia.exe" || shortcut.path == LauncherPath()) << shortcut.path;
  EXPECT_EQ(shortcut.description, "Accés directe a Verbalia");
  EXPECT_EQ(shortcut.arguments, "");
  EXPECT_EQ(shortcut.iconPath, LauncherPath());
  EXPECT_EQ(shortcut.iconIndex, 0);
}

// A desktop folder that is not known, not there, or too deep for the
// shortcut's path (259 characters with the terminator is the most a path may
// have; the desktop plus "\\Verbalia.LNK" must fit in it): the launcher is
// written, no shortcut is made anywhere, and the user is told.
TEST(Shortcut, WithoutAUsableDesktopFolderOnlyTheLauncherIsWritten) {
  std::string deep = testenv::ScratchDir();
  while (deep.size() < 250) deep += "d";
  for (const std::string& desktop : {std::string(), testenv::ScratchDir() + "Desktop\\absent", deep}) {
    SCOPED_TRACE(desktop);
    InfoRun run;
    ASSERT_NE(run.info, nullptr);
    {
      testenv::RegistryValueOverride value(kShellFolders, "Desktop", desktop.c_str());
      testenv::RegistryValueOverride userValue(kUserShellFolders, "Desktop", desktop.c_str());
      MakeShortcut(run, false);
    }
    EXPECT_TRUE(testenv::FileExists(LauncherPath()));
    EXPECT_FALSE(testenv::FileExists(desktop + "\\Verbalia.LNK"));
    EXPECT_FALSE(testenv::FileExists(run.Shortcut()));
    EXPECT_TRUE(run.run.Quit());
  }
}

// A launcher that another program holds: open without sharing, as a
// running launcher is, or open for writing with its first byte locked, so
// that a write into it fails (as on a full disk) once it was emptied. It
// stays whole, nothing is left beside it, and the shortcut is still made.
TEST(Shortcut, ALauncherThatCannotBeReplacedStaysWholeAndTheShortcutIsStillMade) {
  const struct {
    const char* holder;
    DWORD access, sharing;
    bool lock;
  } holders[] = {
      {"running", GENERIC_READ, 0, false},
      {"locked", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
  };
  for (const auto& h : holders) {
    SCOPED_TRACE(h.holder);
    InfoRun run;
    ASSERT_NE(run.info, nullptr);
    ASSERT_TRUE(testenv::WriteFile(LauncherPath(), "held by the test"));
    HANDLE held = CreateFileA(LauncherPath().c_str(), h.access, h.sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    if (h.lock) {
      ASSERT_TRUE(LockFile(held, 0, 0, 1, 0));
    }
    MakeShortcut(run);
    CloseHandle(held);
    EXPECT_TRUE(testenv::ReadFile(LauncherPath()) == "held by the test") << "the launcher was changed";
    EXPECT_FALSE(testenv::AnyFileLike(testenv::WindowsDir() + "\\qca*.tmp")) << "something was left beside it";
    const testenv::ShortcutProperties shortcut = ReadShortcut(run.Shortcut());
    EXPECT_TRUE(shortcut.loaded);
    EXPECT_EQ(shortcut.iconPath, LauncherPath());
    EXPECT_TRUE(run.run.Quit());
  }
}

// ---------------------------------------------------------------------------

// A version.dll that a web page left beside the installer in the downloads
// folder, found first in the order Windows looks for a library that is no
// KnownDLL.
struct PlantedVersionLibrary {
  PlantedVersionLibrary()
      : pack(testenv::ScratchDir() + "pack\\"),
        log(testenv::ScratchDir() + "version.log"),
        order("Software\\Wine\\AppDefaults\\trinstall.exe\\DllOverrides", "version", "native,builtin") {
    CreateDirectoryA(pack.c_str(), nullptr);
    EXPECT_TRUE(
        CopyFileA(testenv::BuildPath("tests\\support\\version.dll").c_str(), (pack + "version.dll").c_str(), FALSE));
    SetEnvironmentVariableA("QUOP_VERSION_LOG", log.c_str());
  }
  ~PlantedVersionLibrary() { SetEnvironmentVariableA("QUOP_VERSION_LOG", nullptr); }
  std::string pack, log;
  testenv::RegistryValueOverride order;
};

TEST(WholeRoad, OneInstallationFromStartToSortir) {
  PlantedVersionLibrary planted;
  InfoRun run;
  ASSERT_NE(run.info, nullptr);
  EXPECT_TRUE(run.run.Results().find("Procés finalitzat!") != std::string::npos);
  ui::Click(run.info, kDacord);
  HWND explanation = nullptr;
  ASSERT_TRUE(run.run.WaitForDialog(kExplanationTitle, explanation));
  ui::Click(explanation, IDOK);
  ASSERT_TRUE(Closed(run.info));
  ASSERT_TRUE(run.log.WaitForCount(1));
  ASSERT_TRUE(run.run.Quit());
  EXPECT_EQ(run.log.Urls(), std::vector<std::string>{kSubscription});
  EXPECT_EQ(run.log.Entries()[0].parent, testenv::ScreenUserLauncher());  // the person's own mail program
  EXPECT_TRUE(ReadShortcut(run.Shortcut()).loaded);
  EXPECT_EQ(testenv::ReadFile(run.run.client + "quop32.exe"), testenv::ReadFile(run.run.pack + "quop32.ca"));
  EXPECT_TRUE(testenv::FileExists(run.run.client + "original\\quop32.exe"));
  // The client's version resource was read through the system's library.
  EXPECT_EQ(testenv::ReadFile(planted.log), "");
}

}  // namespace
