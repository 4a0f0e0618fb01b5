// The information dialog after an install: the desktop shortcut with the
// launcher it writes, the explanation and the subscription message.
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include "installer_run.h"
#include "site_address.h"

namespace {

const char kSubscription[] = "mailto:novetats@verbalia.cat?BODY=Envia'm_per_subscriute't";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// The shell refreshes the value above from this one when it loads.
const char kUserShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::string Launcher() { return testenv::WindowsDir() + "\\verbalia.exe"; }

// An installation up to its information dialog, with the user's desktop in a
// folder of the test's own and no launcher in the Windows directory.
struct InfoRun {
  InfoRun()
      : desktop(testenv::ScratchDir() + "Desktop"),
        desktopValue(kShellFolders, "Desktop", desktop.c_str()),
        userDesktopValue(kUserShellFolders, "Desktop", desktop.c_str()) {
    CreateDirectoryA(desktop.c_str(), nullptr);
    DeleteFileA(Launcher().c_str());
    info = run.InstallUpToInfoDialog();
    EXPECT_NE(info, nullptr) << "the information dialog did not open";
  }
  ~InfoRun() { DeleteFileA(Launcher().c_str()); }
  std::string Shortcut() const { return desktop + "\\Verbalia.LNK"; }

  std::string desktop;
  testenv::RegistryValueOverride desktopValue;
  testenv::RegistryValueOverride userDesktopValue;
  testenv::UrlLog log;
  InstallerRun run;
  HWND info = nullptr;
};

void SetCheck(HWND dialog, int id, bool checked) {
  PostMessageA(ui::Control(dialog, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Closed(HWND dialog) { return ui::WaitForWindowGone(dialog); }

struct ShortcutProperties {
  bool loaded = false;
  std::string path, description, arguments, iconPath;
  int iconIndex = -1;
};

ShortcutProperties ReadShortcut(const std::string& file) {
  ShortcutProperties properties;
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
      WCHAR wide[MAX_PATH];
      MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
      if (SUCCEEDED(persist->Load(wide, STGM_READ))) {
        properties.loaded = true;
        char text[MAX_PATH] = "";
        link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
        properties.path = text;
        text[0] = '\0';
        link->GetDescription(text, MAX_PATH);
        properties.description = text;
        text[0] = '\0';
        link->GetArguments(text, MAX_PATH);
        properties.arguments = text;
        text[0] = '\0';
        link->GetIconLocation(text, MAX_PATH, &properties.iconIndex);
        properties.iconPath = text;
      }
      persist->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return properties;
}

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
            "Em vull subscriure a la llista de novetats (us mantindrem informat per correu electrònic)");
}

TEST(InfoDialog, NothingTickedDoesNothing) {
  InfoRun run;
  ASSERT_NE(run.info, nullptr);
  SetCheck(run.info, IDC_SUBSCRIBE, false);
  SetCheck(run.info, IDC_CREATE_SHORTCUT, false);
  ui::Click(run.info, IDOK);
  ASSERT_TRUE(Closed(run.info));
  EXPECT_TRUE(ui::IsEnabled(run.run.dialog) || ui::WaitUntil([&] { return ui::IsEnabled(run.run.dialog); }));
  EXPECT_FALSE(testenv::FileExists(Launcher()));
  EXPECT_FALSE(testenv::FileExists(run.Shortcut()));
  EXPECT_FALSE(run.log.WaitForCount(1, 500));
}

// Both offers: the shortcut exists while the explanation is read, and the
// mail program is asked for only after it has closed, however it closed.
void BothOffers(void (*closeExplanation)(HWND)) {
  InfoRun run;
  ASSERT_NE(run.info, nullptr);
  ui::Click(run.info, IDOK);
  HWND explanation = run.run.WaitForDialog(kExplanationTitle);
  ASSERT_NE(explanation, nullptr);
  EXPECT_TRUE(testenv::FileExists(Launcher()));
  EXPECT_TRUE(testenv::FileExists(run.Shortcut()));
  EXPECT_TRUE(run.log.Entries().empty());
  EXPECT_FALSE(ui::IsEnabled(run.info));
  closeExplanation(explanation);
  ASSERT_TRUE(Closed(explanation));
  ASSERT_TRUE(Closed(run.info));
  ASSERT_TRUE(run.log.WaitForCount(1));
  EXPECT_FALSE(run.log.WaitForCount(2, 500));
  EXPECT_EQ(run.log.Urls(), std::vector<std::string>{kSubscription});
}

TEST(InfoDialog, BothOffersWithTheExplanationClosedByDacord) {
  BothOffers([](HWND explanation) { ui::Click(explanation, IDOK); });
}

TEST(InfoDialog, BothOffersWithTheExplanationClosedByEscape) {
  BothOffers([](HWND explanation) { ui::PressKey(explanation, VK_ESCAPE); });
}

TEST(InfoDialog, OnlyTheSubscriptionWritesNoLauncher) {
  InfoRun run;
  ASSERT_NE(run.info, nullptr);
  SetCheck(run.info, IDC_CREATE_SHORTCUT, false);
  ui::Click(run.info, IDOK);
  HWND explanation = run.run.WaitForDialog(kExplanationTitle);
  ASSERT_NE(explanation, nullptr);
  ui::Click(explanation, IDOK);
  ASSERT_TRUE(run.log.WaitForCount(1));
  EXPECT_FALSE(testenv::FileExists(Launcher()));
  EXPECT_FALSE(testenv::FileExists(run.Shortcut()));
}

void NothingDoneWhenLeftBy(void (*leave)(HWND)) {
  InfoRun run;
  ASSERT_NE(run.info, nullptr);
  leave(run.info);
  ASSERT_TRUE(Closed(run.info));
  EXPECT_FALSE(testenv::FileExists(Launcher()));
  EXPECT_FALSE(testenv::FileExists(run.Shortcut()));
  EXPECT_FALSE(run.log.WaitForCount(1, 500));
}

TEST(InfoDialog, CancelDoesNothing) {
  NothingDoneWhenLeftBy([](HWND info) { ui::Click(info, IDCANCEL); });
}

TEST(InfoDialog, EscapeDoesNothing) {
  NothingDoneWhenLeftBy([](HWND info) { ui::PressKey(info, VK_ESCAPE); });
}

TEST(InfoDialog, TheCloseBoxDoesNothing) {
  NothingDoneWhenLeftBy([](HWND info) { ui::CloseBox(info); });
}

TEST(InfoDialog, WithoutAMailHandlerItClosesQuietly) {
  testenv::RemovedUrlHandler noMail("mailto");
  InfoRun run;
  ASSERT_NE(run.info, nullptr);
  SetCheck(run.info, IDC_CREATE_SHORTCUT, false);
  ui::Click(run.info, IDOK);
  HWND explanation = run.run.WaitForDialog(kExplanationTitle);
  ASSERT_NE(explanation, nullptr);
  ui::Click(explanation, IDOK);
  ASSERT_TRUE(Closed(run.info));
  EXPECT_TRUE(run.run.NoMessage());
  EXPECT_TRUE(ui::WaitUntil([&] { return ui::IsEnabled(run.run.dialog); }));
}

// ---------------------------------------------------------------------------
// The shortcut and the launcher.

const char kNoShortcut[] = "No s'ha pogut crear l'accés directe a l'escriptori.";

// Ticks only the shortcut and presses "D'acord"; a shortcut that could not be
// made is said.
void MakeShortcut(InfoRun& run, bool made = true) {
  SetCheck(run.info, IDC_SUBSCRIBE, false);
  ui::Click(run.info, IDOK);
  if (!made) {
    EXPECT_EQ(run.run.ExpectMessage(), kNoShortcut);
  }
  EXPECT_TRUE(Closed(run.info));
  EXPECT_TRUE(run.run.NoMessage());
}

TEST(Shortcut, WritesTheLauncherItCarriesOverAnOlderOne) {
  ASSERT_TRUE(testenv::WriteFile(Launcher(), "an older launcher"));
  InfoRun run;
  ASSERT_NE(run.info, nullptr);
  MakeShortcut(run);
  EXPECT_EQ(testenv::ReadFile(Launcher()), testenv::ReadFile(testenv::BuildPath("weblauncher\\verbalia.exe")));

  // Started through the written file, the launcher opens the site.
  ui::Process launcher(Launcher());
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
  const ShortcutProperties shortcut = ReadShortcut(run.Shortcut());
  ASSERT_TRUE(shortcut.loaded);
  // The link names the launcher by its bare name; a shell may store the file
  // that the name stands for on the program search path instead.
  EXPECT_TRUE(shortcut.path == "verbalia.exe" || shortcut.path == Launcher()) << shortcut.path;
  EXPECT_EQ(shortcut.description, "Accés directe a Verbalia");
  EXPECT_EQ(shortcut.arguments, "");
  EXPECT_EQ(shortcut.iconPath, Launcher());
  EXPECT_EQ(shortcut.iconIndex, 0);
}

// The user's desktop folder is `desktop` while "D'acord" runs, which makes
// no shortcut there.
void MakeNoShortcutWithDesktop(InfoRun& run, const char* desktop) {
  testenv::RegistryValueOverride value(kShellFolders, "Desktop", desktop);
  testenv::RegistryValueOverride userValue(kUserShellFolders, "Desktop", desktop);
  MakeShortcut(run, false);
}

TEST(Shortcut, WithoutADesktopFolderOnlyTheLauncherIsWritten) {
  InfoRun run;
  ASSERT_NE(run.info, nullptr);
  MakeNoShortcutWithDesktop(run, "");
  EXPECT_TRUE(testenv::FileExists(Launcher()));
  EXPECT_FALSE(testenv::FileExists(run.Shortcut()));
  EXPECT_FALSE(testenv::FileExists("\\Verbalia.LNK"));
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
    ASSERT_TRUE(testenv::WriteFile(Launcher(), "held by the test"));
    HANDLE held = CreateFileA(Launcher().c_str(), h.access, h.sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    if (h.lock) {
      ASSERT_TRUE(LockFile(held, 0, 0, 1, 0));
    }
    MakeShortcut(run);
    CloseHandle(held);
    EXPECT_TRUE(testenv::ReadFile(Launcher()) == "held by the test") << "the launcher was changed";
    EXPECT_FALSE(testenv::AnyFileLike(testenv::WindowsDir() + "\\qca*.tmp")) << "something was left beside it";
    const ShortcutProperties shortcut = ReadShortcut(run.Shortcut());
    EXPECT_TRUE(shortcut.loaded);
    EXPECT_EQ(shortcut.iconPath, Launcher());
    ui::Click(run.run.dialog, 2);
    EXPECT_TRUE(run.run.process->WaitExit());
  }
}

TEST(Shortcut, ADesktopFolderThatIsNotThereGetsNoShortcutAndIsSaid) {
  InfoRun run;
  ASSERT_NE(run.info, nullptr);
  const std::string absent = run.desktop + "\\absent";
  MakeNoShortcutWithDesktop(run, absent.c_str());
  EXPECT_TRUE(testenv::FileExists(Launcher()));
  EXPECT_FALSE(testenv::FileExists(absent + "\\Verbalia.LNK"));
}

TEST(Shortcut, ADesktopPathTooLongForTheShortcutMakesNone) {
  // 259 characters with the terminator is the most a path may have; the
  // desktop plus "\Verbalia.LNK" must fit in it.
  std::string deep = testenv::ScratchDir();
  while (deep.size() < 250) deep += "d";
  InfoRun run;
  ASSERT_NE(run.info, nullptr);
  MakeNoShortcutWithDesktop(run, deep.c_str());
  EXPECT_TRUE(testenv::FileExists(Launcher()));
  EXPECT_FALSE(testenv::FileExists(deep + "\\Verbalia.LNK"));
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
  EXPECT_TRUE(ui::ControlText(run.run.dialog, IDC_RESULTS).find("Procés finalitzat!") != std::string::npos);
  ui::Click(run.info, IDOK);
  HWND explanation = run.run.WaitForDialog(kExplanationTitle);
  ASSERT_NE(explanation, nullptr);
  ui::Click(explanation, IDOK);
  ASSERT_TRUE(Closed(run.info));
  ASSERT_TRUE(run.log.WaitForCount(1));
  ASSERT_TRUE(ui::WaitUntil([&] { return ui::IsEnabled(run.run.dialog); }));
  ui::Click(run.run.dialog, 2);
  ASSERT_TRUE(run.run.process->WaitExit());
  EXPECT_EQ(run.log.Urls(), std::vector<std::string>{kSubscription});
  EXPECT_EQ(run.log.Entries()[0].parent, testenv::ScreenUserLauncher());  // the person's own mail program
  EXPECT_TRUE(ReadShortcut(run.Shortcut()).loaded);
  EXPECT_EQ(testenv::ReadFile(run.run.client + "quop32.exe"), testenv::ReadFile(run.run.pack + "quop32.ca"));
  EXPECT_TRUE(testenv::FileExists(run.run.client + "original\\quop32.exe"));
  // The client's version resource was read through the system's library.
  EXPECT_EQ(testenv::ReadFile(planted.log), "");
}

}  // namespace
