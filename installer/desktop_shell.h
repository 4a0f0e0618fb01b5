// The desktop's shell runs as the person at the screen, also while the
// installer runs as an administrator (Windows Vista on, where it asks to):
// what the installer starts, and the folders it puts things in for that
// person, go through it then. Every function of the later systems is looked
// up at run time, and the shell's objects cannot be made on the older ones:
// there, as when any step fails, the installer does as it always did.
#pragma once

#include <windows.h>

#include "text.h"

// True when the installer's token is elevated (Windows Vista on).
bool RunsElevated();

// Opens `target` (a web address, a "mailto:" message) with the verb "open":
// handed to the desktop's shell when the installer runs elevated and the
// shell takes it, else asked of the shell in the installer's own process.
// Above 32: opened, or handed over.
HINSTANCE OpenForScreenUser(const char* target, int show);

// A folder of the person at the screen: asked of the desktop's shell
// (`shellFolder`, one of its ssf numbers) when the installer runs elevated,
// else, and when the shell cannot say, the user's value `registryName` of
// the "Shell Folders" key. Empty when neither knows it.
CString ScreenUserFolder(int shellFolder, const char* registryName);
