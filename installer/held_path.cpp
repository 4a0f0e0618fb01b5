#include "held_path.h"

HeldPath::~HeldPath() {
  for (size_t i = 0; i < m_count; ++i) CloseHandle(m_parts[i]);
}

bool HeldPath::Hold(const CString& path, size_t from, bool folder) {
  const char* text = path.c_str();
  size_t length = path.length();
  if (folder && length && (text[length - 1] == '\\' || text[length - 1] == '/')) --length;
  for (size_t end = from + 1; end <= length; ++end) {
    const bool file = end == length && !folder;
    if (end != length && text[end] != '\\') continue;
    if (m_count == sizeof m_parts / sizeof m_parts[0]) return false;
    const CString name(text, end);
    // Folders are shared for reading and writing, never for deleting: held,
    // they can be neither renamed nor replaced.
    HANDLE part =
        CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | (file ? FILE_SHARE_DELETE : 0),
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (part == INVALID_HANDLE_VALUE) return false;
    m_parts[m_count++] = part;
    BY_HANDLE_FILE_INFORMATION facts;
    const DWORD refused = FILE_ATTRIBUTE_REPARSE_POINT | (file ? FILE_ATTRIBUTE_DIRECTORY : 0);
    // Asked of the handle and of the name: some systems tell a link only by one.
    if (!GetFileInformationByHandle(part, &facts) ||
        ((facts.dwFileAttributes | GetFileAttributesA(name.c_str())) & refused) ||
        (file && facts.nNumberOfLinks != 1) || (!file && !(facts.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))) {
      return false;
    }
  }
  return m_count > 0;
}

void HeldPath::ReleaseFile() {
  if (m_count) CloseHandle(m_parts[--m_count]);
}

bool IsPlainFolder(const CString& folder) {
  CString name(folder);
  name.Truncate(folder.length() - 1);
  const DWORD attributes = GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}
