// Whole copies and replacements of files, made as an administrator in
// folders that a user may control (the client's folder, its copy folders,
// the user's VirtualStore). Every new file is made under a free name of its
// own with CREATE_NEW (never a name that something holds already, a link
// included), written and compared through that one handle, checked to have
// one name, and given its place by that name while it is still held. What
// it makes carries normal attributes, whatever its source has: every file on
// a CD is read-only.
#pragma once

#include <windows.h>

#include "text.h"

// Copies `from` to `to` whole or not at all, over what holds `to` when
// `replace` is set, else only where nothing does. With `held`, an open
// handle of `from`, the copy is read through that handle, never by the
// path. Whatever fails, `to` is what it was and nothing is left beside it.
// A moment's lock (an antivirus or the indexer holding a file) is waited out.
enum class CopyResult {
  kCopied,
  kNameTaken,  // not replacing, and something holds the name
  kFailed,
};
CopyResult CopyWhole(const CString& from, const CString& to, bool replace, HANDLE held = INVALID_HANDLE_VALUE);

// Writes `size` bytes as the file `path` (over what holds it), whole or not
// at all: a full disk or a file held by another program leaves `path` as it
// was and nothing beside it.
bool WriteWhole(const CString& path, const void* bytes, DWORD size);

// True on the systems of the NT family, which know links, several users and
// the sharing of open files for deleting; false on Windows 95 and 98.
bool OnNtFamily();

// Deletes a file, read-only or not.
bool DeleteAnyFile(const char* path);

// A failure of a file operation that a moment may end: a sharing violation,
// a lock, access denied (what an antivirus, the indexer or Explorer reading
// an icon cause while they hold a fresh file). True while such a failure
// (the last error) has time left of the wait begun at `start` (kLockWaitMs);
// it then waits a moment, serving the thread's messages so that the dialogs
// keep painting. The last error stays as it was.
constexpr DWORD kLockWaitMs = 2000;
bool LockMayEnd(DWORD start);

// Runs `attempt` (a file operation that sets the last error when it fails)
// until it succeeds or its failure is no lock that may end.
template <typename Attempt>
bool WaitOutLock(Attempt attempt) {
  const DWORD start = GetTickCount();
  while (!attempt()) {
    if (!LockMayEnd(start)) return false;
  }
  return true;
}
