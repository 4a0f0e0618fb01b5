// File operations of the installer on the client's files (Win32).
#pragma once

#include <windows.h>

#include "text.h"

// True when the existing file can be opened for writing: false while the
// client program runs, for a read-only file, or without access. The file is
// not changed.
bool CanOpenForWriting(const CString& path);

// True when the existing file can be opened for reading, as the copy that
// reads it opens it.
bool CanOpenForReading(const CString& path);

// True when both files can be read and hold the same bytes.
bool SameContents(const CString& a, const CString& b);

// Puts the file `replacement` in place of `path` (which need not exist).
// False, with `path` as it was, when that cannot be done: the systems of
// the NT family replace it in one step; Windows 95 and 98, which lack that
// step, have the older file put aside under a free name first, and back
// when the move fails.
bool PutInPlace(const CString& path, const CString& replacement);

// A name that nothing holds in the folder of `path`, made there as an empty
// file so that nothing else takes it meanwhile; false when none could be.
bool FreeNameBeside(const CString& path, char (&name)[MAX_PATH]);

// Copies `from` to `to` whole or not at all: the copy is written beside `to`
// under a free name of its own, compared with `from`, and only then given
// `to`'s name, over what holds it when `replace` is set, else only where
// nothing does. Whatever fails, `to` is what it was and nothing is left
// beside it. With `held`, an open handle of `from`, the copy is read through
// that handle, never by the path.
enum class CopyResult {
  kCopied,
  kNameTaken,  // not replacing, and something holds the name
  kFailed,
};
CopyResult CopyWhole(const CString& from, const CString& to, bool replace, HANDLE held = INVALID_HANDLE_VALUE);

// The declared file name and product version from a program's version
// resource, taken from the U.S. English block or else the U.K. English one;
// empty texts when there is no resource or no such value. Not `read` when
// the resource could not be looked at (the system's version library or the
// memory for it is missing): that says nothing of the program.
struct DeclaredVersion {
  bool read = false;
  CString originalFilename;
  CString productVersion;
};
DeclaredVersion ReadDeclaredVersion(const CString& path);
