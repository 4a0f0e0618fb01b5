// The installer's road as tests drive it: the real trinstall.exe started from
// a pack folder, with a client installation beside it, and its main dialog
// driven as a user drives it (pick, install, the information dialog, quit).
#pragma once

#include <memory>
#include <string>

#include "installer_resource.h"
#include "test_env.h"
#include "uidriver.h"

constexpr char kMainTitle[] = "Actualitzador del Quop 5.61";
constexpr char kCaption[] = "trinstall";  // message boxes: the program's base name
constexpr char kInfoTitle[] = "Informació sobre programes en català";
constexpr char kExplanationTitle[] = "Explicació";
constexpr char kInstalled[] = "El Quop en català ja està instal·lat. Executeu\nel programa com ho feu normalment.";

// The buttons that the templates number with the system's own ids: the main
// dialog's "Sortir", and the information dialog's "D'acord" and "Cancel·la".
constexpr int kSortir = IDCANCEL;
constexpr int kDacord = IDOK;
constexpr int kCancella = IDCANCEL;
// A message box answered with the Enter key instead of a button.
constexpr int kPressEnter = 0;

// A built stand-in client variant, such as "quop32_us".
std::string StandIn(const std::string& variant);

// A client installation: the stand-in `variant` as quop32.exe, a popups.ini
// and an urlhop32.exe, in `folder` (created).
void MakeClient(const std::string& folder, const std::string& variant = "quop32_us");

// A pack as a user unpacks it: trinstall.exe and the three translated files,
// in `folder` (created).
void LayOutPack(const std::string& folder);

// The fault injector (tests/support/faults.cpp) beside the installer in the
// pack folder `pack`, for the life of the object: `fault` ("Name:N", or
// "Name:N:short" for a copy that says it succeeded with part of the file)
// makes that call fail, `disk` (bytes) fills the disk, `log` notes every call,
// and `notImplemented` names a function that fails at every call as one the
// system lacks.
class PlantedFaults {
 public:
  PlantedFaults(const std::string& pack, const std::string& fault, const std::string& disk = "",
                const std::string& log = "", const std::string& notImplemented = "");
  ~PlantedFaults();
  PlantedFaults(const PlantedFaults&) = delete;
  PlantedFaults& operator=(const PlantedFaults&) = delete;

 private:
  testenv::RegistryValueOverride nativeFirst_;
};

struct InstallerRun {
  // Lays out a pack (trinstall.exe and the three translated files) in the
  // test's folder, unless `packFolder` names one that holds them already,
  // and a client installation beside it (unless `newClient` is false: then
  // the client of an earlier run of the same test stays as it is), and
  // starts the installer.
  explicit InstallerRun(bool newClient = true, const std::string& packFolder = "");

  testenv::NoChatLinkClaim noChatLinkClaim;  // every run names the helper for irc:// links afresh
  std::string pack;                          // the installer's folder, with a trailing backslash
  std::string client;                        // the client's folder, with a trailing backslash
  std::unique_ptr<ui::Process> process;
  HWND dialog = nullptr;

  // Presses "..." and picks `path` in the open-file dialog (typed into its
  // file-name field, then its open button).
  ui::AssertionResult Pick(const std::string& path) const;
  // Presses "..." and cancels the open-file dialog.
  ui::AssertionResult PickAndCancel() const;
  // Picks `program` (the client's quop32.exe when empty) and presses
  // "Instal·lar" once it is enabled.
  ui::AssertionResult PickAndInstall(const std::string& program = "") const;
  // The whole road of a complete install: the pick, "Instal·lar", the
  // completion message, and the information dialog closed with "Cancel·la".
  void InstallWhole() const;
  // Waits for a message box, answers it (a button's id, or kPressEnter) and
  // returns its text (empty, and a failure that names what was open, if
  // none came).
  std::string ExpectMessage(int answer = IDOK, const std::string& caption = kCaption) const;
  // Success when the installer, once idle, shows no message.
  ui::AssertionResult NoMessage() const;
  // Waits for the information dialog that follows an install and closes it
  // with "Cancel·la".
  ui::AssertionResult DismissInfoDialog() const;
  // "Sortir", and the installer's end.
  ui::AssertionResult Quit() const;
  // A dialog of the installer with this title, once it is open.
  ui::AssertionResult WaitForDialog(const std::string& title, HWND& found) const;
  std::string Results() const { return ui::ControlText(dialog, IDC_RESULTS); }
};
