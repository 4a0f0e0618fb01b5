// The first steps of "Instal·lar": the translated files checked, and the
// plan of what is replaced and what needs a copy first (Win32).
#pragma once

#include "held_path.h"
#include "install.h"
#include "install_rules.h"

// One file that an install replaces: the translation that replaces it, the
// file itself, the name its copy takes, whether it needs one, whether it
// already is its translation, and where a whole copy of what it holds is
// (this run's copy, the earlier copy, or the translation itself); empty
// while there is none.
struct ReplacedFile {
  CString source, target;
  const char* copyName = nullptr;
  bool needsCopy = false;
  bool translated = false;
  CString wholeCopy;
};

// The client's three files, in the order of kInstallPairs, then the copy of
// its menus that Windows Vista on may keep apart for it.
constexpr size_t kClientFileCount = sizeof kInstallPairs / sizeof kInstallPairs[0];
constexpr size_t kMenusPair = 1;  // "popups.ca" over "popups.ini"
constexpr size_t kMostReplaced = kClientFileCount + 1;

struct InstallPlan {
  ReplacedFile files[kMostReplaced];
  size_t count = 0;
  // The client's menus kept apart in the screen user's VirtualStore, held
  // while the install uses them; `virtualMenusRefused` when there is such a
  // file but its path leads through a link or it has a second name.
  CString virtualMenus;
  bool virtualMenusRefused = false;
  HeldPath heldMenus;
  // "original\" of an earlier run, when it is a folder and no link.
  CString earlierCopies;
  bool anyToCopy = false;
  // This run's copies go beside an earlier copy, into a new numbered folder.
  bool besideEarlierCopies = false;

  bool IsVirtualMenus(size_t i) const { return i >= kClientFileCount; }
};

// Every translated file beside the installer is there and readable (they
// are only read: a pack on a CD installs as well); else the message names
// the first that is not, and nothing changes.
bool CheckSources(const CString& sourceFolder, InstallReport& report);

// Lists the files replaced and decides which need a copy: a target that
// already is its translation, or still the copy that "original\" holds of
// it, needs none; when "original\" holds an earlier copy of one that does,
// this run's copies all go beside it.
void PlanCopies(const CString& clientFolder, const CString& sourceFolder, InstallPlan& plan, InstallReport& report);

// Copies what needs a copy, whole or not at all, into the copy folder (made
// when needed); asks whether to go on for each that could not be copied,
// and reports the folder when every one was. False when the user stopped.
bool CopyOriginals(const CString& clientFolder, InstallPlan& plan, InstallReport& report);
