// "Instal·lar": the translated files beside the installer replace the
// client's own, after copies of what they replace; where no program is named
// for irc:// links, the installed helper is. What the user is told and asked
// goes through InstallReport, which the main dialog implements.
#pragma once

#include "text.h"

class InstallReport {
 public:
  // An OK-only message.
  virtual void ShowMessage(const CString& text) = 0;
  // A Yes/No question: true only for an explicit Yes.
  virtual bool AskYesNo(const CString& question) = 0;
  // A text (with its own line ends) at the end of the results box, on a
  // line of its own.
  virtual void AppendResult(const CString& text) = 0;

 protected:
  ~InstallReport() = default;
};

enum class InstallOutcome {
  kStopped,     // before anything was installed: nothing follows
  kIncomplete,  // a translation could not replace its file
  kComplete,    // every translation is in place and reported
};

// Installs the translations of `sourceFolder` into the client of
// `clientFolder` (both with their trailing separators).
InstallOutcome InstallTranslation(const CString& clientFolder, const CString& sourceFolder, InstallReport& report);

// Asks whether the install goes on after `target` could not be copied. A
// question whose text could not be made is not asked, and stops it: the
// message says why.
bool GoOnWithoutCopy(const char* target, InstallReport& report);
