// The desktop's shell runs as the person at the screen, also while the
// installer runs as an administrator (Windows Vista on, where it asks to):
// what the installer starts, and the folders it puts things in for that
// person, go through it then, and only through it: nothing is started in the
// installer's own elevated process, and no folder is taken from its own
// profile. A shell that does not answer within seconds counts as none.
// Every function of the later systems is looked up at run time; on the
// older systems the installer does as it always did.
#pragma once

#include <windows.h>

#include "text.h"

// True when the installer's token is elevated (Windows Vista on).
bool RunsElevated();

// Opens `target` (a web address, a "mailto:" message) with the verb "open":
// handed to the desktop's shell when the installer runs elevated, else asked
// of the shell in the installer's own process.
enum class Opening {
  kOpened,         // opened, or handed over
  kRefused,        // the shell could not open it
  kNotHandedOver,  // elevated, and the desktop's shell could not take it:
                   // a message gives the user the address to open
};
Opening OpenForScreenUser(const char* target, int show);

// A folder of the person at the screen: asked of the desktop's shell
// (`shellFolder`, one of its ssf numbers) when the installer runs elevated,
// else the user's value `registryName` of the "Shell Folders" key. Empty
// when it is not known, or holds letters that the installer's 8-bit texts
// cannot.
CString ScreenUserFolder(int shellFolder, const char* registryName);
