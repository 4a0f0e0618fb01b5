#include "install_plan.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shldisp.h>

#include "client_files.h"
#include "desktop_shell.h"
#include "installer_resource.h"
#include "resource_strings.h"

namespace {

bool Exists(const CString& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A path as a message names it: its file's bare name when the path could
// not be made (memory ran out), never an empty one.
const char* Named(const CString& path, const char* name) { return path.empty() ? name : path.c_str(); }

// The client's menus as Windows Vista on keeps them apart for it once it
// has saved them from under a folder that only administrators may change
// (the installer, as an administrator, sees only the real file), held in
// the plan; none when there is no such file or it lies behind a link or has
// a second name (refused, and said later). When the screen user's folder
// cannot be known, the user is told.
void FindVirtualMenus(const CString& clientFolder, InstallPlan& plan, InstallReport& report) {
  if (LOBYTE(LOWORD(GetVersion())) < 6) return;
  const CString localAppData = ScreenUserFolder(ssfLOCALAPPDATA, "Local AppData");
  if (localAppData.empty()) {
    report.ShowMessage(LoadResourceString(IDS_NO_USER_FOLDERS));
    return;
  }
  const CString path = VirtualStorePath(localAppData, clientFolder, kInstallPairs[kMenusPair].target);
  if (path.empty() || !Exists(path)) return;
  plan.virtualMenus = path;
  plan.virtualMenusRefused = !plan.heldMenus.Hold(path, ProfileLength(localAppData));
}

}  // namespace

bool CheckSources(const CString& sourceFolder, InstallReport& report) {
  for (const InstallPair& pair : kInstallPairs) {
    const CString source = sourceFolder + pair.source;
    if (!CanOpenForReading(source)) {
      report.ShowMessage(FormatResourceString(IDS_CANNOT_OPEN_FILE, {Named(source, pair.source)}));
      return false;
    }
  }
  return true;
}

void PlanCopies(const CString& clientFolder, const CString& sourceFolder, InstallPlan& plan, InstallReport& report) {
  for (const InstallPair& pair : kInstallPairs) {
    ReplacedFile& file = plan.files[plan.count++];
    file.source = sourceFolder + pair.source;
    file.target = clientFolder + pair.target;
    file.copyName = pair.target;
  }
  FindVirtualMenus(clientFolder, plan, report);
  if (!plan.virtualMenus.empty() && !plan.virtualMenusRefused) {
    ReplacedFile& file = plan.files[plan.count++];
    file.source = plan.files[kMenusPair].source;
    file.target = plan.virtualMenus;
    file.copyName = kVirtualMenusCopyName;
  }
  // Earlier copies are looked at only in a folder that no link leads through.
  const CString original = clientFolder + kBackupFolderName;
  if (IsPlainFolder(original)) plan.earlierCopies = original;
  for (size_t i = 0; i < plan.count; ++i) {
    ReplacedFile& file = plan.files[i];
    // A missing target cannot be copied: its copy fails and is asked about.
    const CString earlier = plan.earlierCopies.empty() ? CString() : plan.earlierCopies + file.copyName;
    const bool there = Exists(file.target), earlierCopy = there && !earlier.empty() && Exists(earlier);
    if (there && SameContents(file.target, file.source)) {
      file.wholeCopy = file.source;
      file.translated = true;
    } else if (earlierCopy && SameContents(file.target, earlier)) {
      file.wholeCopy = earlier;
    } else {
      file.needsCopy = true;
      plan.anyToCopy = true;
      plan.besideEarlierCopies = plan.besideEarlierCopies || earlierCopy;
    }
  }
}
