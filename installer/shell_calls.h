// The shell and the file selection, whose libraries are loaded from the
// system directory only when the user first asks for them, not at start:
// the installer's dialog shows sooner. Without the library they fail as the
// call itself would (a result of 0, no file chosen), and the next call tries
// to load it again.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

// ShellExecuteA with the verb "open", no owner, parameters or folder.
HINSTANCE OpenWithShell(const char* file, int show);
// GetOpenFileNameA: a file chosen, the user's cancel, or no file selection
// at all (the library is not there, or the dialog could not be shown).
enum class FileChoice { kChosen, kCancelled, kUnavailable };
FileChoice ChooseFileToOpen(OPENFILENAMEA* request);
