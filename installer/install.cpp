#include "install.h"

#include <windows.h>

#include "chat_links.h"
#include "file_copy.h"
#include "install_plan.h"
#include "installer_resource.h"
#include "resource_strings.h"

namespace {

// A path as a message names it: its file's bare name when the path could
// not be made (memory ran out), never an empty one.
const char* Named(const CString& path, const char* name) { return path.empty() ? name : path.c_str(); }

// Copies every translation even after a failure, so that as much as
// possible is translated. Each is put in place whole, or the file stays as
// it was; one that the system lost on the way is put back from its whole
// copy. A copy carries no mark of the web that the translated file may have
// got from a download: Windows would ask about its publisher at every start
// of the client. Returns the files that could not be replaced, a line each
// (empty: all were), and whether the menus kept apart were translated.
CString ReplaceFiles(InstallPlan& plan, bool& virtualMenusTranslated) {
  if (!plan.virtualMenus.empty() && !plan.virtualMenusRefused) plan.heldMenus.ReleaseFile();
  CString notReplaced;
  for (size_t i = 0; i < plan.count; ++i) {
    const ReplacedFile& file = plan.files[i];
    // A file that already is its translation is left as it is.
    if (file.translated || CopyWhole(file.source, file.target, true) == CopyResult::kCopied) {
      DeleteAnyFile((file.target + ":Zone.Identifier").c_str());
      virtualMenusTranslated = virtualMenusTranslated || plan.IsVirtualMenus(i);
      continue;
    }
    if (!file.wholeCopy.empty() && GetFileAttributesA(file.target.c_str()) == INVALID_FILE_ATTRIBUTES) {
      CopyWhole(file.wholeCopy, file.target, true);
    }
    if (!notReplaced.empty()) notReplaced += "\n";
    notReplaced += Named(file.target, file.copyName);
  }
  return notReplaced;
}

// What else happened comes after the report (the box shows its first three
// lines: the copies, where the client is, "Procés finalitzat!").
void Report(const CString& clientFolder, const InstallPlan& plan, bool allReplaced, bool virtualMenusTranslated,
            InstallReport& report) {
  const bool chatLinksClaimed = allReplaced && ClaimChatLinks(clientFolder);
  if (allReplaced) report.AppendResult(FormatResourceString(IDS_INSTALLED_TO, {clientFolder.c_str()}));
  if (virtualMenusTranslated) {
    report.AppendResult(FormatResourceString(IDS_VIRTUAL_MENUS, {plan.virtualMenus.c_str()}));
  } else if (plan.virtualMenusRefused) {
    report.AppendResult(FormatResourceString(IDS_VIRTUAL_MENUS_REFUSED, {plan.virtualMenus.c_str()}));
  }
  if (chatLinksClaimed) report.AppendResult(LoadResourceString(IDS_CHAT_LINKS));
}

}  // namespace

bool GoOnWithoutCopy(const char* target, InstallReport& report) {
  const CString question = FormatResourceString(IDS_BACKUP_FAILED, {target});
  if (!question.failed()) return report.AskYesNo(question);
  report.ShowMessage(question);  // said as memory that ran out
  return false;
}

InstallOutcome InstallTranslation(const CString& clientFolder, const CString& sourceFolder, InstallReport& report) {
  if (!CheckSources(sourceFolder, report)) return InstallOutcome::kStopped;
  InstallPlan plan;
  PlanCopies(clientFolder, sourceFolder, plan, report);
  if (!CopyOriginals(clientFolder, plan, report)) return InstallOutcome::kStopped;
  bool virtualMenusTranslated = false;
  const CString notReplaced = ReplaceFiles(plan, virtualMenusTranslated);
  const bool allReplaced = notReplaced.empty();
  if (!allReplaced) report.ShowMessage(FormatResourceString(IDS_NOT_REPLACED, {notReplaced.c_str()}));
  Report(clientFolder, plan, allReplaced, virtualMenusTranslated, report);
  return allReplaced ? InstallOutcome::kComplete : InstallOutcome::kIncomplete;
}
