#include <windows.h>

#include "file_copy.h"
#include "install_plan.h"
#include "installer_resource.h"
#include "resource_strings.h"

namespace {

// The folder that this run's copies go to, made when needed: "original\"
// for the first copies of the client's files, when it is a folder (and no
// link) or can be made; else, and when "original\" holds earlier copies that
// this run's must not be mixed with, the first numbered name that nothing
// holds (a file of that name, a link, or a folder that this run did not
// make, is passed over), made by this run. A failed string when no folder
// could be made: every copy into it then fails and is asked about.
CString MakeBackupFolder(const CString& clientFolder, bool besideEarlierCopies) {
  const CString original = clientFolder + kBackupFolderName;
  if (!besideEarlierCopies) {
    CString name(original);
    name.Truncate(original.length() - 1);
    if (IsPlainFolder(original) ||
        (GetFileAttributesA(name.c_str()) == INVALID_FILE_ATTRIBUTES && CreateDirectoryA(name.c_str(), nullptr))) {
      return original;
    }
  }
  for (unsigned n = 2; n < 1000; ++n) {
    const CString folder = NumberedBackupFolder(clientFolder, n);
    if (folder.failed()) break;
    CString name(folder);
    name.Truncate(folder.length() - 1);
    if (GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    if (CreateDirectoryA(name.c_str(), nullptr)) return folder;
    break;
  }
  return CString(nullptr, CString::npos);  // a failed string: every path made from it names nothing
}

}  // namespace

bool CopyOriginals(const CString& clientFolder, InstallPlan& plan, InstallReport& report) {
  if (!plan.anyToCopy) return true;
  // Copies are made whole or not at all. A name that is taken after all
  // (the folder was chosen on a wrong answer of the system) sends this run's
  // copies to the next free folder before anything is asked. The folder is
  // held while they are written: no one swaps it for a link meanwhile.
  CString backupFolder;
  for (;;) {
    backupFolder = MakeBackupFolder(clientFolder, plan.besideEarlierCopies);
    HeldPath heldFolder;
    const bool held = !OnNtFamily() || heldFolder.Hold(backupFolder, clientFolder.length() - 1, true);
    bool nameTaken = false;
    for (size_t i = 0; i < plan.count; ++i) {
      ReplacedFile& file = plan.files[i];
      if (!file.needsCopy) continue;
      file.wholeCopy = backupFolder + file.copyName;
      const CopyResult result = held ? CopyWhole(file.target, file.wholeCopy, false,
                                                 plan.IsVirtualMenus(i) ? plan.heldMenus.file() : INVALID_HANDLE_VALUE)
                                     : CopyResult::kFailed;
      if (result != CopyResult::kCopied) file.wholeCopy.Truncate(0);
      nameTaken = nameTaken || result == CopyResult::kNameTaken;
    }
    if (!nameTaken || plan.besideEarlierCopies) break;
    for (size_t i = 0; i < plan.count; ++i) {
      ReplacedFile& file = plan.files[i];
      if (!file.needsCopy || file.wholeCopy.empty()) continue;
      DeleteAnyFile(file.wholeCopy.c_str());
      file.wholeCopy.Truncate(0);
    }
    plan.besideEarlierCopies = true;
  }
  bool allBackedUp = true;
  for (size_t i = 0; i < plan.count; ++i) {
    const ReplacedFile& file = plan.files[i];
    if (!file.needsCopy || !file.wholeCopy.empty()) continue;
    allBackedUp = false;
    if (!GoOnWithoutCopy(file.copyName, report)) return false;
  }
  // Reported only when it happened: every file that needed a copy has one,
  // in the folder named.
  if (allBackedUp) report.AppendResult(FormatResourceString(IDS_BACKED_UP_TO, {backupFolder.c_str()}));
  return true;
}
