// Choosing the client program and installing the translated files, driven
// through the real installer and the real open-file dialog.
#include <gtest/gtest.h>

#include <thread>

#include "installer_road.h"
// After windows.h, which it needs.
#include <shlobj.h>

namespace {

using testenv::ClassValue;

const char kNotClient[] = "El fitxer que heu seleccionat no és el programa principal del Quop.";
const char kOtherVersion[] =
    "Aquesta actualització no ha estat dissenyada per a la vostra\nversió del Quop. Podeu provar de continuar, "
    "però no\nus garantim que el programa funcioni correctament.";
const char kCannotOpenClient[] =
    "No es pot accedir al fitxer. Assegureu-vos que el Quop\nno s'està executant en aquest moment.";
const char kNothingChosen[] = "(cap camí seleccionat)";

// The message that names the files an install could not replace.
std::string NotReplaced(const std::string& files) {
  return "No s'han pogut substituir aquests fitxers:\n" + files + "\nTanqueu el Quop i torneu a prémer Instal·lar.";
}

std::string Read(const std::string& path) { return testenv::ReadFile(path); }

const char kChatLinksLine[] = "\r\nL'ajudant del Quop s'ha registrat per als enllaços irc://.";

// The results box's lines of a complete install: the report, then what else
// happened (no program was named for irc:// links: the helper is).
std::string InstalledResult(const std::string& client, const std::string& more = "") {
  return "El Quop en català ha estat copiat a " + client + "\r\nProcés finalitzat!" + more + kChatLinksLine;
}
std::string CompleteResults(const std::string& client, const std::string& backups = "original\\") {
  return "La versió original del Quop ha estat copiada a '" + client + backups + "'\r\n" + InstalledResult(client);
}

bool Enabled(HWND dialog, int id) { return ui::IsEnabled(ui::Control(dialog, id)); }

ui::AssertionResult WaitForPath(const InstallerRun& run, const std::string& path) {
  return ui::WaitForText(ui::Control(run.dialog, IDC_CLIENT_PATH), path);
}

// True while `path` cannot be opened for writing (a running program's file).
bool Locked(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return true;
  CloseHandle(file);
  return false;
}

ui::AssertionResult WaitForLock(const std::string& path, bool locked) {
  return ui::WaitUntil([&] { return Locked(path) == locked; },
                       [&] { return path + (locked ? " still free" : " still locked"); });
}

// Starts the client from its folder and waits until its file is locked.
std::unique_ptr<ui::Process> StartClient(const std::string& client) {
  auto process = std::make_unique<ui::Process>(client + "quop32.exe", "", client);
  EXPECT_TRUE(WaitForLock(client + "quop32.exe", true));
  return process;
}

// Replaces the client's program with another stand-in variant.
void UseVariant(const std::string& client, const std::string& variant) {
  ASSERT_TRUE(CopyFileA(StandIn(variant).c_str(), (client + "quop32.exe").c_str(), FALSE));
}

// ---------------------------------------------------------------------------
// Choosing the client program.

// A program that declares the client's name is accepted under any file name;
// the U.K. block is read when the U.S. one lacks a value, and no further
// than the length the block gives a value, whether or not a zero byte ends
// it. Another version is said after the path is shown and the button enabled.
TEST(ChooseClient, AcceptsWhatDeclaresTheClientAndWarnsOfAnotherVersion) {
  const struct {
    const char *variant, *name, *message;
  } rows[] = {
      {"quop32_us", "quop32.exe", nullptr},
      {"quop32_us", "Xat.exe", nullptr},
      {"quop32_uk", "quop32.exe", nullptr},
      {"quop32_us_unnamed_uk", "quop32.exe", nullptr},
      {"quop32_unterminated", "quop32.exe", nullptr},
      {"quop32_trailing_blank", "quop32.exe", kOtherVersion},
      {"quop32_561_dotted", "quop32.exe", kOtherVersion},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.variant) + " as " + row.name);
    InstallerRun run;
    const std::string program = run.client + row.name;
    ASSERT_TRUE(CopyFileA(StandIn(row.variant).c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(run.Pick(program));
    if (row.message) {
      EXPECT_EQ(run.ExpectMessage(), row.message);
    } else {
      EXPECT_TRUE(WaitForPath(run, program));
      EXPECT_TRUE(run.NoMessage());
    }
    EXPECT_EQ(ui::ControlText(run.dialog, IDC_CLIENT_PATH), program);
    EXPECT_TRUE(Enabled(run.dialog, IDC_INSTALL));
  }
}

TEST(ChooseClient, EnterOpensTheFileSelection) {
  InstallerRun run;
  ui::PressKey(run.dialog, VK_RETURN);
  HWND open = nullptr;
  ASSERT_TRUE(run.WaitForDialog("Open", open));
  ui::Click(open, IDCANCEL);
}

TEST(ChooseClient, ACancelledSelectionChangesNothing) {
  InstallerRun run;
  ASSERT_TRUE(run.PickAndCancel());
  EXPECT_TRUE(run.NoMessage());
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_CLIENT_PATH), kNothingChosen);
  EXPECT_FALSE(Enabled(run.dialog, IDC_INSTALL));
}

TEST(ChooseClient, ARunningClientCannotBeChosen) {
  InstallerRun run;
  auto client = StartClient(run.client);
  ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
  EXPECT_EQ(run.ExpectMessage(), kCannotOpenClient);
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_CLIENT_PATH), kNothingChosen);
  EXPECT_FALSE(Enabled(run.dialog, IDC_INSTALL));
}

TEST(ChooseClient, RefusesAProgramThatDeclaresAnotherNameAndKeepsTheEarlierChoice) {
  InstallerRun run;
  // Nothing chosen yet: the refusal leaves the display and the button alone.
  ASSERT_NO_FATAL_FAILURE(UseVariant(run.client, "quop32_upper"));
  ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
  EXPECT_EQ(run.ExpectMessage(), kNotClient);
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_CLIENT_PATH), kNothingChosen);
  EXPECT_FALSE(Enabled(run.dialog, IDC_INSTALL));

  // After an accepted choice, a refused one in another folder leaves the
  // display, the button and the install's destination as they were.
  ASSERT_NO_FATAL_FAILURE(UseVariant(run.client, "quop32_us"));
  ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
  ASSERT_TRUE(WaitForPath(run, run.client + "quop32.exe"));
  const std::string other = testenv::ScratchDir() + "other\\";
  MakeClient(other, "quop32_unversioned");
  ASSERT_TRUE(run.Pick(other + "quop32.exe"));
  EXPECT_EQ(run.ExpectMessage(), kNotClient);
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_CLIENT_PATH), run.client + "quop32.exe");
  ASSERT_TRUE(Enabled(run.dialog, IDC_INSTALL));
  ui::Click(run.dialog, IDC_INSTALL);
  EXPECT_EQ(run.ExpectMessage(), kInstalled);
  EXPECT_TRUE(run.DismissInfoDialog());
  EXPECT_EQ(run.Results(), CompleteResults(run.client));
  EXPECT_FALSE(testenv::FileExists(other + "original"));
  EXPECT_EQ(Read(other + "popups.ini"), Read(testenv::SourcePath("tests\\support\\popups.ini")));
}

// ---------------------------------------------------------------------------
// Installing.

struct Originals {
  explicit Originals(const std::string& client)
      : program(Read(client + "quop32.exe")),
        popups(Read(client + "popups.ini")),
        helper(Read(client + "urlhop32.exe")) {}
  std::string program, popups, helper;
};

// Compared whole, and named (not printed) when they differ: they are programs.
void ExpectSame(const std::string& path, const std::string& expected) {
  EXPECT_TRUE(Read(path) == expected) << path << " is not what it should be";
}

void ExpectTranslated(const InstallerRun& run) {
  ExpectSame(run.client + "quop32.exe", Read(run.pack + "quop32.ca"));
  ExpectSame(run.client + "popups.ini", Read(run.pack + "popups.ca"));
  ExpectSame(run.client + "urlhop32.exe", Read(run.pack + "urlhop32.ca"));
}

void ExpectBackups(const InstallerRun& run, const Originals& originals, const std::string& backups = "original\\") {
  ExpectSame(run.client + backups + "quop32.exe", originals.program);
  ExpectSame(run.client + backups + "popups.ini", originals.popups);
  ExpectSame(run.client + backups + "urlhop32.exe", originals.helper);
}

// The mark of the web that a copy of a downloaded file carries on Windows
// (a stream of the file; under Wine a file of that name beside it).
std::string WebMark(const std::string& file) { return file + ":Zone.Identifier"; }

// A whole install, backups and translations checked.
void ExpectInstallFrom(const InstallerRun& run) {
  const Originals originals(run.client);
  ASSERT_NO_FATAL_FAILURE(run.InstallWhole());
  EXPECT_EQ(run.Results(), CompleteResults(run.client));
  ExpectTranslated(run);
  ExpectBackups(run, originals);
}

// A second press of "Instal·lar" while the first one's message is open
// (the click of a user who thinks the first did not take, or a queued one)
// is no second install.
TEST(Install, BacksUpReplacesAndReports) {
  InstallerRun run;
  for (const char* target : {"quop32.exe", "popups.ini", "urlhop32.exe"}) {
    ASSERT_TRUE(testenv::WriteFile(WebMark(run.client + target), "[ZoneTransfer]\r\nZoneId=3\r\n"));
  }
  const Originals originals(run.client);
  ASSERT_TRUE(run.PickAndInstall());
  HWND done = nullptr;
  ASSERT_TRUE(ui::WaitForMessageBox(run.process->id(), kCaption, done));
  ui::Click(run.dialog, IDC_INSTALL);
  EXPECT_EQ(run.ExpectMessage(), kInstalled);
  ASSERT_TRUE(run.DismissInfoDialog());
  EXPECT_TRUE(run.NoMessage());
  EXPECT_EQ(run.Results(), CompleteResults(run.client));
  ExpectTranslated(run);
  ExpectBackups(run, originals);
  EXPECT_FALSE(Enabled(run.dialog, IDC_BROWSE));
  EXPECT_FALSE(Enabled(run.dialog, IDC_INSTALL));
  EXPECT_TRUE(Enabled(run.dialog, kSortir));
  // Installed files carry no mark: Windows would warn at every start of the client.
  for (const char* target : {"quop32.exe", "popups.ini", "urlhop32.exe"}) {
    EXPECT_FALSE(testenv::FileExists(WebMark(run.client + target))) << target;
  }
}

// Windows Vista on keeps the menus that a client under Program Files saved in
// the user's VirtualStore, and the client reads them first: they are copied
// and translated as the client's own file is. Any user can make a folder of
// that path a link (a junction), or the file a second name of one that only
// an administrator may change: the installer, an administrator, then
// neither writes nor reads through it.
TEST(Install, TheMenusKeptApartForAClientUnderProgramFilesAreTranslatedOnlyWhereNoLinkLeads) {
  const std::string client = testenv::ProgramFilesFolder(testenv::kProgramFilesClient);
  const std::string store = testenv::VirtualStoreOf(client), guarded = testenv::GuardedFolder();
  ASSERT_FALSE(store.empty());
  const char kAdminOnly[] = "ADMIN-ONLY CONTENT";
  enum class Store { kFolder, kLink, kHardLink };
  for (const Store kind : {Store::kFolder, Store::kLink, Store::kHardLink}) {
    SCOPED_TRACE(kind == Store::kFolder ? "a folder" : kind == Store::kLink ? "the folder is a link" : "a second name");
    testenv::ClearFoldersOutsideScratch();
    MakeClient(client);
    ASSERT_TRUE(CreateDirectoryA(guarded.c_str(), nullptr));
    ASSERT_TRUE(testenv::WriteFile(guarded + "popups.ini", kAdminOnly));
    const std::string parent = store.substr(0, store.rfind('\\', store.size() - 2));
    const int made = SHCreateDirectoryExA(nullptr, parent.c_str(), nullptr);
    ASSERT_TRUE(made == ERROR_SUCCESS || made == ERROR_ALREADY_EXISTS) << made;
    if (kind == Store::kLink) {
      ASSERT_TRUE(testenv::MakeLink(store.substr(0, store.size() - 1), guarded.substr(0, guarded.size() - 1)));
    } else {
      ASSERT_TRUE(CreateDirectoryA(store.c_str(), nullptr)) << store << " " << GetLastError();
      if (kind == Store::kHardLink) {
        ASSERT_TRUE(testenv::MakeHardLink(store + "popups.ini", guarded + "popups.ini"));
      } else {
        ASSERT_TRUE(testenv::WriteFile(store + "popups.ini", "[menus]\r\nmy own=1\r\n"));
      }
    }
    const Originals originals(client);

    InstallerRun run(false);
    ASSERT_TRUE(run.PickAndInstall(client + "quop32.exe"));
    EXPECT_EQ(run.ExpectMessage(), kInstalled);
    ASSERT_TRUE(run.DismissInfoDialog());
    const bool used = kind == Store::kFolder;
    // A file that the installer would reach only through a link, or that has
    // a second name, is said, with what to do.
    const std::string menusLine =
        used ? "\r\nTambé s'han traduït els menús del Quop que el Windows desava a " + store + "popups.ini"
             : "\r\nEls menús del Quop que el Windows desa a " + store +
                   "popups.ini no s'han traduït: el camí passa per un enllaç o el fitxer té un altre nom. Per "
                   "traduir-los, copieu-hi popups.ca amb el nom popups.ini.";
    EXPECT_EQ(run.Results(), "La versió original del Quop ha estat copiada a '" + client + "original\\'\r\n" +
                                 InstalledResult(client, menusLine));
    EXPECT_EQ(Read(client + "popups.ini"), Read(run.pack + "popups.ca"));
    EXPECT_EQ(Read(client + "original\\popups.ini"), originals.popups);
    EXPECT_EQ(Read(guarded + "popups.ini"), kAdminOnly);
    if (used) {
      EXPECT_EQ(Read(store + "popups.ini"), Read(run.pack + "popups.ca"));
      EXPECT_EQ(Read(client + "original\\popups (VirtualStore).ini"), "[menus]\r\nmy own=1\r\n");
    } else {
      EXPECT_FALSE(testenv::FileExists(client + "original\\popups (VirtualStore).ini"));
    }
    EXPECT_TRUE(run.Quit());
  }
  testenv::ClearFoldersOutsideScratch();
}

TEST(Install, AMissingTranslatedFileStopsBeforeAnythingChanges) {
  InstallerRun run;
  const Originals originals(run.client);
  ASSERT_TRUE(DeleteFileA((run.pack + "popups.ca").c_str()));
  ASSERT_TRUE(run.PickAndInstall());
  EXPECT_EQ(run.ExpectMessage(), "No es pot accedir al fitxer " + run.pack + "popups.ca");
  EXPECT_FALSE(testenv::FileExists(run.client + "original"));
  ExpectSame(run.client + "quop32.exe", originals.program);
  EXPECT_EQ(run.Results(), "");
  EXPECT_TRUE(Enabled(run.dialog, IDC_INSTALL));
  EXPECT_TRUE(Enabled(run.dialog, IDC_BROWSE));
}

// The translated files are only read: a pack with read-only files, or on a
// read-only medium (a CD, a read-only share), installs as any other.
TEST(Install, ReadOnlyTranslatedFilesAreInstalled) {
  InstallerRun run;
  for (const char* source : {"quop32.ca", "popups.ca", "urlhop32.ca"}) {
    ASSERT_TRUE(SetFileAttributesA((run.pack + source).c_str(), FILE_ATTRIBUTE_READONLY));
  }
  if (!Locked(run.pack + "urlhop32.ca")) {
    // Wine keeps the attribute as the file's mode bits, which do not bind root.
    GTEST_SKIP() << "this user may write to read-only files here (Wine run as root)";
  }
  ExpectInstallFrom(run);
}

// The pack as the bench lays it out on a read-only medium (a folder mounted
// read-only over itself, which root cannot write either).
TEST(Install, APackOnAReadOnlyMediumIsInstalled) {
  const std::string medium = testenv::BuildPath("readonly-pack\\");
  if (!Locked(medium + "trinstall.exe")) {
    GTEST_SKIP() << "the bench could not make a read-only medium here (a read-only bind mount needs root)";
  }
  InstallerRun run(true, medium);
  ExpectInstallFrom(run);
}

const char kNoPopupsBackup[] =
    "No s'ha pogut fer una còpia del Quop original popups.ini.\nVoleu continuar amb el procés d'actualització?";

TEST(Install, WithoutPopupsIniAskingYesGoesOnAndCreatesIt) {
  InstallerRun run;
  ASSERT_TRUE(DeleteFileA((run.client + "popups.ini").c_str()));
  ASSERT_TRUE(run.PickAndInstall());
  EXPECT_EQ(run.ExpectMessage(IDYES), kNoPopupsBackup);
  EXPECT_EQ(run.ExpectMessage(), kInstalled);
  EXPECT_TRUE(run.DismissInfoDialog());
  ExpectTranslated(run);
  EXPECT_FALSE(testenv::FileExists(run.client + "original\\popups.ini"));
  // Not every file could be backed up: the backup line would say otherwise.
  EXPECT_EQ(run.Results(), InstalledResult(run.client));
}

// Enter answers No: Yes would go on with a file unsaved.
TEST(Install, WithoutPopupsIniEnterAnswersNoAndStopsWithNothingInstalled) {
  InstallerRun run;
  const Originals originals(run.client);
  ASSERT_TRUE(DeleteFileA((run.client + "popups.ini").c_str()));
  ASSERT_TRUE(run.PickAndInstall());
  EXPECT_EQ(run.ExpectMessage(kPressEnter), kNoPopupsBackup);
  EXPECT_TRUE(run.NoMessage()) << "neither a message nor the information dialog";
  ExpectSame(run.client + "quop32.exe", originals.program);
  EXPECT_FALSE(testenv::FileExists(run.client + "popups.ini"));
  EXPECT_EQ(run.Results(), "");
  EXPECT_TRUE(Enabled(run.dialog, IDC_INSTALL));
  // The backup made before the question stays.
  ExpectSame(run.client + "original\\quop32.exe", originals.program);
}

TEST(Install, WhileTheClientRunsTheOthersAreReplacedAndARetryCompletes) {
  InstallerRun run;
  const Originals originals(run.client);
  ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
  ASSERT_TRUE(ui::WaitForEnabled(ui::Control(run.dialog, IDC_INSTALL)));
  const std::string backupLine = "La versió original del Quop ha estat copiada a '" + run.client + "original\\'\r\n";
  {
    auto client = StartClient(run.client);
    ui::Click(run.dialog, IDC_INSTALL);
    // The file that could not be replaced is said, and stays whole.
    EXPECT_EQ(run.ExpectMessage(), NotReplaced(run.client + "quop32.exe"));
    ASSERT_TRUE(ui::WaitForText(ui::Control(run.dialog, IDC_RESULTS), backupLine));
    ExpectSame(run.client + "quop32.exe", originals.program);
    EXPECT_EQ(Read(run.client + "popups.ini"), Read(run.pack + "popups.ca"));
    ExpectSame(run.client + "urlhop32.exe", Read(run.pack + "urlhop32.ca"));
    // The information dialog follows all the same.
    EXPECT_TRUE(run.DismissInfoDialog());
    EXPECT_TRUE(Enabled(run.dialog, IDC_INSTALL));
    EXPECT_TRUE(Enabled(run.dialog, IDC_BROWSE));
  }  // the client ends here
  ASSERT_TRUE(WaitForLock(run.client + "quop32.exe", false));
  ui::Click(run.dialog, IDC_INSTALL);
  EXPECT_EQ(run.ExpectMessage(), kInstalled);
  EXPECT_TRUE(run.DismissInfoDialog());
  // The retry had nothing left to copy: it says so by no line of its own.
  EXPECT_EQ(run.Results(), backupLine + InstalledResult(run.client));
  ExpectTranslated(run);
  // The retry kept the first backups: the untranslated originals.
  ExpectBackups(run, originals);
}

TEST(Install, UsesABackupFolderThatIsAlreadyThere) {
  InstallerRun run;
  const Originals originals(run.client);
  ASSERT_TRUE(CreateDirectoryA((run.client + "original").c_str(), nullptr));
  ASSERT_TRUE(testenv::WriteFile(run.client + "original\\notes.txt", "keep me"));
  ASSERT_NO_FATAL_FAILURE(run.InstallWhole());
  ExpectBackups(run, originals);
  EXPECT_EQ(Read(run.client + "original\\notes.txt"), "keep me");
}

// The installer again, on the client of a first run that `change` changes
// meanwhile: the English originals of the first run stay in "original\\",
// and whatever else the second run replaces is copied first, into `backups`
// (empty: nothing needed a copy, and the results say none was made).
// Returns the client's folder.
std::string InstallTwice(void (*change)(const std::string& client), const std::string& backups) {
  std::string client;
  std::unique_ptr<Originals> originals;
  {
    InstallerRun first;
    client = first.client;
    originals = std::make_unique<Originals>(first.client);
    first.InstallWhole();
    EXPECT_TRUE(first.Quit());
  }
  if (change) change(client);
  const Originals changed(client);
  InstallerRun second(false);
  second.InstallWhole();
  ExpectTranslated(second);
  // The first run's copies, where the change left them, are as they were.
  if (testenv::FileExists(client + "original")) ExpectBackups(second, *originals);
  if (backups.empty()) {
    EXPECT_EQ(second.Results(), InstalledResult(client));
    EXPECT_FALSE(testenv::FileExists(client + "original.2"));
    return client;
  }
  EXPECT_EQ(second.Results(), CompleteResults(client, backups));
  EXPECT_TRUE(Read(client + backups + "quop32.exe") == changed.program) << "the update is not kept";
  EXPECT_TRUE(Read(client + backups + "popups.ini") == changed.popups) << "the user's menus are not kept";
  // Still the translation of the first run: nothing to keep.
  EXPECT_FALSE(testenv::FileExists(client + backups + "urlhop32.exe"));
  return client;
}

// An English update of the program, and the user's own menus.
void UpdateAndChangeMenus(const std::string& client) {
  UseVariant(client, "quop32_uk");
  ASSERT_TRUE(testenv::WriteFile(client + "popups.ini", "[menus]\r\nmy own=1\r\n"));
}

TEST(Install, ASecondRunKeepsTheFirstBackups) { InstallTwice(nullptr, ""); }

TEST(Install, ASecondRunCopiesWhatChangedSinceBesideTheFirstBackups) {
  InstallTwice(UpdateAndChangeMenus, "original.2\\");
}

// A file that another tool left under the next number is passed over, and
// kept as it was.
TEST(Install, ASecondRunPassesOverAFileHoldingTheNextNumber) {
  const std::string client = InstallTwice(
      [](const std::string& client) {
        UpdateAndChangeMenus(client);
        ASSERT_TRUE(testenv::WriteFile(client + "original.2", "another tool's file"));
      },
      "original.3\\");
  EXPECT_EQ(Read(client + "original.2"), "another tool's file");
}

// The user deleted the copies of a translated client: there is nothing to
// copy, no folder is made and no line says that a copy was.
TEST(Install, ATranslatedClientWithoutItsCopiesGetsNoBackupLine) {
  const std::string client =
      InstallTwice([](const std::string& client) { testenv::DeleteTree(client + "original"); }, "");
  EXPECT_FALSE(testenv::FileExists(client + "original"));
}

// Before a first install, a file named "original", a folder that this run
// did not make, and a link (which any user can make, and through which the
// installer, an administrator, would write where it leads) hold their
// names: the copies go to the first free number.
TEST(Install, TheFirstCopiesGoWhereNothingElseHoldsTheName) {
  const std::string guarded = testenv::GuardedFolder();
  for (const bool link : {false, true}) {
    SCOPED_TRACE(link ? "a link named original" : "a file and another tool's folder");
    testenv::ClearFoldersOutsideScratch();
    testenv::DeleteTree(testenv::ScratchDir() + "client");
    InstallerRun run;
    const Originals originals(run.client);
    if (link) {
      ASSERT_TRUE(CreateDirectoryA(guarded.c_str(), nullptr));
      ASSERT_TRUE(testenv::MakeLink(run.client + "original", guarded.substr(0, guarded.size() - 1)));
    } else {
      ASSERT_TRUE(testenv::WriteFile(run.client + "original", "not a folder"));
      ASSERT_TRUE(CreateDirectoryA((run.client + "original.2").c_str(), nullptr));
      ASSERT_TRUE(testenv::WriteFile(run.client + "original.2\\notes.txt", "another tool's"));
    }
    const std::string backups = link ? "original.2\\" : "original.3\\";
    ASSERT_NO_FATAL_FAILURE(run.InstallWhole());
    EXPECT_EQ(run.Results(), CompleteResults(run.client, backups));
    ExpectBackups(run, originals, backups);
    if (link) {
      EXPECT_FALSE(testenv::FileExists(guarded + "quop32.exe")) << "written through the link";
    } else {
      EXPECT_EQ(Read(run.client + "original"), "not a folder");
      EXPECT_FALSE(testenv::FileExists(run.client + "original.2\\quop32.exe"));
    }
    EXPECT_TRUE(run.Quit());
  }
  testenv::ClearFoldersOutsideScratch();
}

// A file that another program (an antivirus, the indexer) holds for a
// moment is waited for; one held for longer is said, and stays whole.
TEST(Install, AFileHeldForAMomentIsWaitedForAndOneHeldLongerIsSaid) {
  for (const DWORD heldMs : {1000u, 10000u}) {
    SCOPED_TRACE(std::to_string(heldMs) + " ms");
    InstallerRun run;
    const Originals originals(run.client);
    ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
    ASSERT_TRUE(ui::WaitForEnabled(ui::Control(run.dialog, IDC_INSTALL)));
    // Held as a reader holds it: it may be copied, not replaced.
    HANDLE held = CreateFileA((run.client + "popups.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread reader([&] {
      Sleep(heldMs);
      CloseHandle(held);
    });
    ui::Click(run.dialog, IDC_INSTALL);
    const std::string message = run.ExpectMessage();
    reader.join();
    if (heldMs == 1000u) {
      EXPECT_EQ(message, kInstalled);
      ExpectTranslated(run);
    } else {
      EXPECT_EQ(message, NotReplaced(run.client + "popups.ini"));
      ExpectSame(run.client + "popups.ini", originals.popups);
    }
    EXPECT_TRUE(run.DismissInfoDialog());
  }
}

// After a complete install, irc:// links open with the installed helper,
// unless something else decides who opens them: a class of the scheme
// (another program's, or one whose verb a delegate runs, with no command),
// or the user's own choice, which Windows 8 on keep apart.
TEST(Install, NamesTheHelperForChatLinksOnlyWhereNothingElseDecides) {
  const char kOther[] = "\"C:\\Xat\\xat.exe\" \"%1\"";
  const struct {
    const char* owner;
    HKEY root;
    const char *key, *value;
  } rows[] = {
      {"nothing", nullptr, nullptr, nullptr},
      {"another program", HKEY_LOCAL_MACHINE, "Software\\Classes\\irc\\shell\\open\\command", kOther},
      {"a delegate", HKEY_LOCAL_MACHINE, "Software\\Classes\\irc\\shell\\open\\command", ""},
      {"the user's choice", HKEY_CURRENT_USER, testenv::kUserChoiceKey, "Xat.irc"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.owner);
    InstallerRun run;
    if (row.key) {
      ASSERT_EQ(RegSetValueA(row.root, row.key, REG_SZ, row.value, 0), ERROR_SUCCESS);
    }
    ASSERT_NO_FATAL_FAILURE(run.InstallWhole());
    const bool named = !row.key;
    const std::string results = run.Results();
    EXPECT_EQ(results.find(kChatLinksLine) != std::string::npos, named) << results;
    const std::string helper = "\"" + run.client + "urlhop32.exe\"";
    const bool otherClass = row.root == HKEY_LOCAL_MACHINE;
    EXPECT_EQ(ClassValue("irc\\shell\\open\\command"), named ? helper + " \"%1\"" : otherClass ? row.value : "(none)");
    EXPECT_EQ(ClassValue("irc"), named ? "URL:IRC Protocol" : "(none)");
    EXPECT_EQ(ClassValue("irc\\DefaultIcon"), named ? helper + ",0" : "(none)");
    RegDeleteTreeA(HKEY_CURRENT_USER, testenv::kUserChoiceKey);
  }
}

// The file selection as Windows 95, 98 and NT 4.0 have it: loaded only once
// it is there, and asked in the only size of request those systems take.
TEST(ChooseClient, OlderSystemsFileSelectionIsLoadedWhenThereAndAskedInTheirForm) {
  testenv::OlderFileSelection selection("trinstall.exe", testenv::ScratchDir() + "client\\quop32.exe");
  InstallerRun run;
  ui::Click(run.dialog, IDC_BROWSE);  // no library yet: said, and nothing opens
  EXPECT_EQ(run.ExpectMessage(), "No es pot obrir la tria de fitxers.");
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_CLIENT_PATH), kNothingChosen);
  ASSERT_TRUE(selection.Install());
  ui::Click(run.dialog, IDC_BROWSE);
  EXPECT_TRUE(WaitForPath(run, run.client + "quop32.exe"));
  EXPECT_TRUE(Enabled(run.dialog, IDC_INSTALL));
  EXPECT_EQ(selection.Sizes(), testenv::OlderFileSelection::Accepted(1));
}

}  // namespace
