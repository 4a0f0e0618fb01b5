// Starts the real installer from a pack folder of the test's own, with a
// client installation beside it, and drives its main dialog.
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

// A built stand-in client variant, such as "quop32_us".
std::string StandIn(const std::string& variant);

// A client installation: the stand-in `variant` as quop32.exe, a popups.ini
// and an urlhop32.exe, in `folder` (created).
void MakeClient(const std::string& folder, const std::string& variant = "quop32_us");

// A pack as a user unpacks it: trinstall.exe and the three translated files,
// in `folder` (created).
void LayOutPack(const std::string& folder);

// The fault injector (tests/support/faults.cpp) beside the installer in the
// pack folder `pack`, for the life of the object: `fault` ("Name:N") makes
// that call fail, `disk` (bytes) fills the disk, `log` notes every call.
class PlantedFaults {
 public:
  PlantedFaults(const std::string& pack, const std::string& fault, const std::string& disk = "",
                const std::string& log = "");
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
  // file-name field, then its open button). False if the dialog did not open.
  bool Pick(const std::string& path);
  // Presses "..." and cancels the open-file dialog.
  bool PickAndCancel();
  // Waits for a message box and returns its text (empty if none came).
  std::string ExpectMessage(int answer = IDOK, const std::string& caption = kCaption);
  // True when no message box comes within a short while.
  bool NoMessage();
  // Waits until the dialog's results box reads `text`.
  bool WaitForResults(const std::string& text);
  // Picks the client, installs, confirms the completion message and returns
  // the information dialog that follows (null if it did not open).
  HWND InstallUpToInfoDialog();
  // Waits for the information dialog that follows an install and closes it
  // with "Cancel·la". False if it did not come.
  bool DismissInfoDialog();
  // A dialog of the installer with this title, once it is open.
  HWND WaitForDialog(const std::string& title);
};
