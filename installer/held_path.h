// The parts of a path that a user may control, held open while the
// installer, an administrator, uses them: the folders so that no one
// renames or replaces them meanwhile, the file (last) for reading. Any user
// can make a folder of the profile a link (a junction), or a file a second
// name of one that only an administrator may change; a path with such a
// part is not held.
#pragma once

#include <windows.h>

#include "text.h"

class HeldPath {
 public:
  HeldPath() = default;
  HeldPath(const HeldPath&) = delete;
  HeldPath& operator=(const HeldPath&) = delete;
  ~HeldPath();

  // Holds every part of `path` after its first `from` characters (the last a
  // file, unless `folder` is set): false when one is not there, is a link,
  // or the file has more than one name.
  bool Hold(const CString& path, size_t from, bool folder = false);
  HANDLE file() const { return m_count ? m_parts[m_count - 1] : INVALID_HANDLE_VALUE; }
  // Lets the file go, so that its translation can take its place in the
  // folders still held.
  void ReleaseFile();

 private:
  HANDLE m_parts[24];
  size_t m_count = 0;
};

// True when `folder` (with its trailing separator) is a folder and no link:
// a folder of the client's that this run may write its copies into.
bool IsPlainFolder(const CString& folder);
