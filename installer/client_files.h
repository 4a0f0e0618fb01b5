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
