// Choosing the client program and installing the translated files, driven
// through the real installer and the real open-file dialog.
#include <gtest/gtest.h>

#include "installer_run.h"

namespace {

const char kNotClient[] = "El fitxer que heu seleccionat no és el programa principal del Quop.";
const char kOtherVersion[] =
    "Aquesta actualització no ha estat dissenyada per a la vostra\nversió del Quop. Podeu provar de continuar, "
    "pero no\nus garantim que el programa funcioni correctament.";
const char kCannotOpenClient[] =
    "No es pot accedir al fitxer. Assegureu-vos que el Quop\nno s'està executant en aquest moment.";
const char kInstalled[] = "El Quop en català ja està instal·lat. Executeu\nel programa com ho feu normalment.";
const char kNothingChosen[] = "(cap camí seleccionat)";

std::string Read(const std::string& path) { return testenv::ReadFile(path); }

// The results box's lines of a complete install.
std::string InstalledResult(const std::string& client) {
  return "El Quop en català ha estat copiat a " + client + "\r\nProcés finalitzat!";
}
std::string CompleteResults(const std::string& client, const std::string& backups = "original\\") {
  return "La versió original del Quop ha estat copiada a '" + client + backups + "'\r\n" + InstalledResult(client);
}

bool Enabled(HWND dialog, int id) { return ui::IsEnabled(ui::Control(dialog, id)); }

// True while `path` cannot be opened for writing (a running program's file).
bool Locked(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return true;
  CloseHandle(file);
  return false;
}

// Starts the client from its folder and waits until its file is locked.
std::unique_ptr<ui::Process> StartClient(const std::string& client) {
  auto process = std::make_unique<ui::Process>(client + "quop32.exe", "", client);
  EXPECT_TRUE(ui::WaitUntil([&] { return Locked(client + "quop32.exe"); }));
  return process;
}

// Replaces the client's program with another stand-in variant.
void UseVariant(const std::string& client, const std::string& variant) {
  ASSERT_TRUE(CopyFileA(StandIn(variant).c_str(), (client + "quop32.exe").c_str(), FALSE));
}

// ---------------------------------------------------------------------------
// Choosing the client program.

TEST(ChooseClient, AcceptsTheClientAndShowsItsPath) {
  InstallerRun run;
  ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
  EXPECT_TRUE(ui::WaitUntil([&] { return ui::ControlText(run.dialog, 3073) == run.client + "quop32.exe"; }));
  EXPECT_TRUE(Enabled(run.dialog, 1006));
  EXPECT_TRUE(run.NoMessage());
}

TEST(ChooseClient, EnterOpensTheFileSelection) {
  InstallerRun run;
  ui::PressKey(run.dialog, VK_RETURN);
  ui::WindowQuery query;
  query.processId = run.process->id();
  query.title = "Open";
  HWND open = ui::WaitForWindow(query);
  ASSERT_NE(open, nullptr);
  ui::Click(open, IDCANCEL);
}

TEST(ChooseClient, ACancelledSelectionChangesNothing) {
  InstallerRun run;
  ASSERT_TRUE(run.PickAndCancel());
  EXPECT_TRUE(run.NoMessage());
  EXPECT_EQ(ui::ControlText(run.dialog, 3073), kNothingChosen);
  EXPECT_FALSE(Enabled(run.dialog, 1006));
}

TEST(ChooseClient, ARunningClientCannotBeChosen) {
  InstallerRun run;
  auto client = StartClient(run.client);
  ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
  EXPECT_EQ(run.ExpectMessage(), kCannotOpenClient);
  EXPECT_EQ(ui::ControlText(run.dialog, 3073), kNothingChosen);
  EXPECT_FALSE(Enabled(run.dialog, 1006));
}

TEST(ChooseClient, RefusesAProgramThatDeclaresAnotherNameAndKeepsTheEarlierChoice) {
  InstallerRun run;
  // Nothing chosen yet: the refusal leaves the display and the button alone.
  UseVariant(run.client, "quop32_upper");
  ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
  EXPECT_EQ(run.ExpectMessage(), kNotClient);
  EXPECT_EQ(ui::ControlText(run.dialog, 3073), kNothingChosen);
  EXPECT_FALSE(Enabled(run.dialog, 1006));

  // After an accepted choice, a refused one in another folder leaves the
  // display, the button and the install's destination as they were.
  UseVariant(run.client, "quop32_us");
  ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
  ASSERT_TRUE(ui::WaitUntil([&] { return ui::ControlText(run.dialog, 3073) == run.client + "quop32.exe"; }));
  const std::string other = testenv::ScratchDir() + "other\\";
  MakeClient(other, "quop32_unversioned");
  ASSERT_TRUE(run.Pick(other + "quop32.exe"));
  EXPECT_EQ(run.ExpectMessage(), kNotClient);
  EXPECT_EQ(ui::ControlText(run.dialog, 3073), run.client + "quop32.exe");
  ASSERT_TRUE(Enabled(run.dialog, 1006));
  ui::Click(run.dialog, 1006);
  EXPECT_EQ(run.ExpectMessage(), kInstalled);
  EXPECT_TRUE(run.DismissInfoDialog());
  EXPECT_EQ(ui::ControlText(run.dialog, 1009), CompleteResults(run.client));
  EXPECT_FALSE(testenv::FileExists(other + "original"));
  EXPECT_EQ(Read(other + "popups.ini"), Read(testenv::SourcePath("tests\\support\\popups.ini")));
}

TEST(ChooseClient, AcceptsARenamedProgramThatDeclaresTheClientsName) {
  InstallerRun run;
  const std::string renamed = run.client + "Xat.exe";
  ASSERT_TRUE(MoveFileA((run.client + "quop32.exe").c_str(), renamed.c_str()));
  ASSERT_TRUE(run.Pick(renamed));
  EXPECT_TRUE(ui::WaitUntil([&] { return ui::ControlText(run.dialog, 3073) == renamed; }));
  EXPECT_TRUE(Enabled(run.dialog, 1006));
  EXPECT_TRUE(run.NoMessage());
}

// From the U.K. block when the U.S. one lacks a value, and no further than
// the length the block gives a value, whether or not a zero byte ends it.
TEST(ChooseClient, ReadsEachDeclaredValueAsItsBlockHoldsIt) {
  for (const char* variant : {"quop32_uk", "quop32_us_unnamed_uk", "quop32_unterminated"}) {
    SCOPED_TRACE(variant);
    InstallerRun run;
    UseVariant(run.client, variant);
    ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
    EXPECT_TRUE(ui::WaitUntil([&] { return Enabled(run.dialog, 1006); }));
    EXPECT_TRUE(run.NoMessage());
    EXPECT_EQ(ui::ControlText(run.dialog, 3073), run.client + "quop32.exe");
  }
}

TEST(ChooseClient, WarnsAboutAnotherVersionButAcceptsIt) {
  for (const char* variant : {"quop32_trailing_blank", "quop32_561_dotted"}) {
    SCOPED_TRACE(variant);
    InstallerRun run;
    UseVariant(run.client, variant);
    ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
    // The path is shown and the button enabled before the warning comes.
    EXPECT_EQ(run.ExpectMessage(), kOtherVersion);
    EXPECT_EQ(ui::ControlText(run.dialog, 3073), run.client + "quop32.exe");
    EXPECT_TRUE(Enabled(run.dialog, 1006));
  }
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

void ExpectTranslated(const InstallerRun& run) {
  EXPECT_EQ(Read(run.client + "quop32.exe"), Read(run.pack + "quop32.ca"));
  EXPECT_EQ(Read(run.client + "popups.ini"), Read(run.pack + "popups.ca"));
  EXPECT_EQ(Read(run.client + "urlhop32.exe"), Read(run.pack + "urlhop32.ca"));
}

void ExpectBackups(const InstallerRun& run, const Originals& originals) {
  EXPECT_EQ(Read(run.client + "original\\quop32.exe"), originals.program);
  EXPECT_EQ(Read(run.client + "original\\popups.ini"), originals.popups);
  EXPECT_EQ(Read(run.client + "original\\urlhop32.exe"), originals.helper);
}

TEST(Install, BacksUpReplacesAndReports) {
  InstallerRun run;
  const Originals originals(run.client);
  ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
  ASSERT_TRUE(ui::WaitUntil([&] { return Enabled(run.dialog, 1006); }));
  ui::Click(run.dialog, 1006);
  EXPECT_EQ(run.ExpectMessage(), kInstalled);
  EXPECT_TRUE(run.DismissInfoDialog());
  EXPECT_EQ(ui::ControlText(run.dialog, 1009), CompleteResults(run.client));
  EXPECT_FALSE(Enabled(run.dialog, 3005));
  EXPECT_FALSE(Enabled(run.dialog, 1006));
  EXPECT_TRUE(Enabled(run.dialog, 2));
  ExpectTranslated(run);
  ExpectBackups(run, originals);
}

TEST(Install, AMissingTranslatedFileStopsBeforeAnythingChanges) {
  InstallerRun run;
  const Originals originals(run.client);
  ASSERT_TRUE(DeleteFileA((run.pack + "popups.ca").c_str()));
  ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
  ASSERT_TRUE(ui::WaitUntil([&] { return Enabled(run.dialog, 1006); }));
  ui::Click(run.dialog, 1006);
  EXPECT_EQ(run.ExpectMessage(), "No es pot accedir al fitxer " + run.pack + "popups.ca");
  EXPECT_FALSE(testenv::FileExists(run.client + "original"));
  EXPECT_EQ(Read(run.client + "quop32.exe"), originals.program);
  EXPECT_EQ(ui::ControlText(run.dialog, 1009), "");
  EXPECT_TRUE(Enabled(run.dialog, 1006));
  EXPECT_TRUE(Enabled(run.dialog, 3005));
}

TEST(Install, AReadOnlyTranslatedFileStopsBeforeAnythingChanges) {
  InstallerRun run;
  ASSERT_TRUE(SetFileAttributesA((run.pack + "urlhop32.ca").c_str(), FILE_ATTRIBUTE_READONLY));
  if (!Locked(run.pack + "urlhop32.ca")) {
    // Wine keeps the attribute as the file's mode bits, which do not bind root.
    GTEST_SKIP() << "this user may write to read-only files here (Wine run as root)";
  }
  ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
  ASSERT_TRUE(ui::WaitUntil([&] { return Enabled(run.dialog, 1006); }));
  ui::Click(run.dialog, 1006);
  EXPECT_EQ(run.ExpectMessage(), "No es pot accedir al fitxer " + run.pack + "urlhop32.ca");
  EXPECT_FALSE(testenv::FileExists(run.client + "original"));
}

const char kNoPopupsBackup[] =
    "No s'ha pogut fer una còpia del Quop original popups.ini.\nVoleu continuar amb el procés d'actualització?";

TEST(Install, WithoutPopupsIniAskingYesGoesOnAndCreatesIt) {
  InstallerRun run;
  ASSERT_TRUE(DeleteFileA((run.client + "popups.ini").c_str()));
  ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
  ASSERT_TRUE(ui::WaitUntil([&] { return Enabled(run.dialog, 1006); }));
  ui::Click(run.dialog, 1006);
  EXPECT_EQ(run.ExpectMessage(IDYES), kNoPopupsBackup);
  EXPECT_EQ(run.ExpectMessage(), kInstalled);
  EXPECT_TRUE(run.DismissInfoDialog());
  ExpectTranslated(run);
  EXPECT_FALSE(testenv::FileExists(run.client + "original\\popups.ini"));
  // Not every file could be backed up: the backup line would say otherwise.
  EXPECT_EQ(ui::ControlText(run.dialog, 1009), InstalledResult(run.client));
}

TEST(Install, WithoutPopupsIniAskingNoStopsWithNothingInstalled) {
  InstallerRun run;
  const Originals originals(run.client);
  ASSERT_TRUE(DeleteFileA((run.client + "popups.ini").c_str()));
  ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
  ASSERT_TRUE(ui::WaitUntil([&] { return Enabled(run.dialog, 1006); }));
  ui::Click(run.dialog, 1006);
  EXPECT_EQ(run.ExpectMessage(IDNO), kNoPopupsBackup);
  EXPECT_TRUE(run.NoMessage());
  EXPECT_EQ(ui::FindTopWindow({run.process->id(), kInfoTitle, "#32770"}), nullptr);
  EXPECT_EQ(Read(run.client + "quop32.exe"), originals.program);
  EXPECT_FALSE(testenv::FileExists(run.client + "popups.ini"));
  EXPECT_EQ(ui::ControlText(run.dialog, 1009), "");
  EXPECT_TRUE(Enabled(run.dialog, 1006));
  // The backup made before the question stays.
  EXPECT_EQ(Read(run.client + "original\\quop32.exe"), originals.program);
}

TEST(Install, WhileTheClientRunsTheOthersAreReplacedAndARetryCompletes) {
  InstallerRun run;
  const Originals originals(run.client);
  ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
  ASSERT_TRUE(ui::WaitUntil([&] { return Enabled(run.dialog, 1006); }));
  const std::string backupLine = "La versió original del Quop ha estat copiada a '" + run.client + "original\\'\r\n";
  {
    auto client = StartClient(run.client);
    ui::Click(run.dialog, 1006);
    ASSERT_TRUE(run.WaitForResults(backupLine));
    EXPECT_TRUE(run.NoMessage());
    EXPECT_EQ(Read(run.client + "quop32.exe"), originals.program);
    EXPECT_EQ(Read(run.client + "popups.ini"), Read(run.pack + "popups.ca"));
    EXPECT_EQ(Read(run.client + "urlhop32.exe"), Read(run.pack + "urlhop32.ca"));
    // The information dialog follows all the same.
    EXPECT_TRUE(run.DismissInfoDialog());
    EXPECT_TRUE(Enabled(run.dialog, 1006));
    EXPECT_TRUE(Enabled(run.dialog, 3005));
  }  // the client ends here
  ASSERT_TRUE(ui::WaitUntil([&] { return !Locked(run.client + "quop32.exe"); }));
  ui::Click(run.dialog, 1006);
  EXPECT_EQ(run.ExpectMessage(), kInstalled);
  EXPECT_TRUE(run.DismissInfoDialog());
  EXPECT_EQ(ui::ControlText(run.dialog, 1009), backupLine + CompleteResults(run.client));
  ExpectTranslated(run);
  // The retry kept the first backups: the untranslated originals.
  ExpectBackups(run, originals);
}

TEST(Install, UsesABackupFolderThatIsAlreadyThere) {
  InstallerRun run;
  const Originals originals(run.client);
  ASSERT_TRUE(CreateDirectoryA((run.client + "original").c_str(), nullptr));
  ASSERT_TRUE(testenv::WriteFile(run.client + "original\\notes.txt", "keep me"));
  ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
  ASSERT_TRUE(ui::WaitUntil([&] { return Enabled(run.dialog, 1006); }));
  ui::Click(run.dialog, 1006);
  EXPECT_EQ(run.ExpectMessage(), kInstalled);
  ExpectBackups(run, originals);
  EXPECT_EQ(Read(run.client + "original\\notes.txt"), "keep me");
}

// A whole install and its information dialog; the installer then ends.
void InstallOnce(InstallerRun& run) {
  ASSERT_TRUE(run.Pick(run.client + "quop32.exe"));
  ASSERT_TRUE(ui::WaitUntil([&] { return Enabled(run.dialog, 1006); }));
  ui::Click(run.dialog, 1006);
  EXPECT_EQ(run.ExpectMessage(), kInstalled);
  EXPECT_TRUE(run.DismissInfoDialog());
}

// The installer again, on the client of a first run that `change` changes
// meanwhile: the English originals of the first run stay in "original\",
// and whatever else the second run replaces is copied first.
void InstallTwice(void (*change)(const std::string& client), const std::string& backups) {
  std::string client;
  std::unique_ptr<Originals> originals;
  {
    InstallerRun first;
    client = first.client;
    originals = std::make_unique<Originals>(first.client);
    InstallOnce(first);
    ui::Click(first.dialog, 2);
    EXPECT_TRUE(first.process->WaitExit());
  }
  if (change) change(client);
  const Originals changed(client);
  InstallerRun second(false);
  InstallOnce(second);
  ExpectTranslated(second);
  EXPECT_EQ(ui::ControlText(second.dialog, 1009), CompleteResults(client, backups));
  ExpectBackups(second, *originals);
  if (backups == "original\\") {
    EXPECT_FALSE(testenv::FileExists(client + "original.2"));
    return;
  }
  EXPECT_TRUE(Read(client + backups + "quop32.exe") == changed.program) << "the update is not kept";
  EXPECT_TRUE(Read(client + backups + "popups.ini") == changed.popups) << "the user's menus are not kept";
  // Still the translation of the first run: nothing to keep.
  EXPECT_FALSE(testenv::FileExists(client + backups + "urlhop32.exe"));
}

TEST(Install, ASecondRunKeepsTheFirstBackups) { InstallTwice(nullptr, "original\\"); }

TEST(Install, ASecondRunCopiesWhatChangedSinceBesideTheFirstBackups) {
  // An English update of the program, and the user's own menus.
  InstallTwice(
      [](const std::string& client) {
        UseVariant(client, "quop32_uk");
        ASSERT_TRUE(testenv::WriteFile(client + "popups.ini", "[menus]\r\nmy own=1\r\n"));
      },
      "original.2\\");
}

// The file selection as Windows 95, 98 and NT 4.0 have it: loaded only once
// it is there, and asked in the only size of request those systems take.
TEST(ChooseClient, OlderSystemsFileSelectionIsLoadedWhenThereAndAskedInTheirForm) {
  testenv::OlderFileSelection selection("trinstall.exe", testenv::ScratchDir() + "client\\quop32.exe");
  InstallerRun run;
  ui::Click(run.dialog, 3005);  // no library yet: nothing opens
  EXPECT_TRUE(run.NoMessage());
  EXPECT_EQ(ui::ControlText(run.dialog, 3073), kNothingChosen);
  ASSERT_TRUE(selection.Install());
  ui::Click(run.dialog, 3005);
  EXPECT_TRUE(ui::WaitUntil([&] { return ui::ControlText(run.dialog, 3073) == run.client + "quop32.exe"; }));
  EXPECT_TRUE(Enabled(run.dialog, 1006));
  EXPECT_EQ(selection.Sizes(), testenv::OlderFileSelection::Accepted(1));
}

}  // namespace
