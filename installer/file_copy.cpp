#include "file_copy.h"

#include "install_rules.h"
#include "queued_messages.h"
#include "system_library.h"

// GetVersion's top bit is set on Windows 95 and 98.
bool OnNtFamily() { return (GetVersion() & 0x80000000u) == 0; }

namespace {

HANDLE OpenToRead(const char* path) {
  return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// True when both open files hold the same bytes, read from their starts.
bool SameBytes(HANDLE one, HANDLE other) {
  if (SetFilePointer(one, 0, nullptr, FILE_BEGIN) != 0 || SetFilePointer(other, 0, nullptr, FILE_BEGIN) != 0) {
    return false;
  }
  for (;;) {
    char a[1024], b[sizeof a];
    DWORD aRead = 0, bRead = 0;
    if (!ReadFile(one, a, sizeof a, &aRead, nullptr) || !ReadFile(other, b, sizeof b, &bRead, nullptr) ||
        aRead != bRead) {
      return false;
    }
    if (aRead == 0) return true;  // both ended together
    for (DWORD i = 0; i < aRead; ++i) {
      if (a[i] != b[i]) return false;
    }
  }
}

// A new file beside another, under a free name of its own ("qca" and four
// hex digits, ".tmp"), made here and held open for writing and reading until
// it takes its place; removed when it does not.
class NewFile {
 public:
  explicit NewFile(const CString& beside) {
    const CString folder = StripFileName(beside);
    if (folder.failed() || folder.length() + 12 >= sizeof m_name) return;
    DWORD seed = GetTickCount() ^ GetCurrentProcessId();
    for (int attempt = 0; attempt < 64; ++attempt, seed = seed * 69069u + 1) {
      static const char kHex[] = "0123456789abcdef";
      char* p = m_name;
      for (const char* f = folder.c_str(); *f;) *p++ = *f++;
      for (const char c : {'q', 'c', 'a'}) *p++ = c;
      for (int shift = 12; shift >= 0; shift -= 4) *p++ = kHex[(seed >> (shift + 8)) & 0xF];
      for (const char c : {'.', 't', 'm', 'p', '\0'}) *p++ = c;
      // Shared for deleting, so that it can be renamed while held: Windows 95
      // and 98 know no such sharing, and refuse a handle that asks for it.
      m_file = CreateFileA(m_name, GENERIC_READ | GENERIC_WRITE, OnNtFamily() ? FILE_SHARE_DELETE : 0, nullptr,
                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (m_file != INVALID_HANDLE_VALUE) break;
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
  }
  ~NewFile() {
    if (m_file == INVALID_HANDLE_VALUE) return;
    CloseHandle(m_file);
    if (!m_placed) DeleteAnyFile(m_name);
  }
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  bool made() const { return m_file != INVALID_HANDLE_VALUE; }
  HANDLE handle() const { return m_file; }

  bool Write(const void* bytes, DWORD size) const {
    DWORD written = 0;
    return WriteFile(m_file, bytes, size, &written, nullptr) && written == size;
  }
  // What the open file `from` holds, from its start.
  bool WriteFrom(HANDLE from) const {
    if (SetFilePointer(from, 0, nullptr, FILE_BEGIN) != 0) return false;
    for (;;) {
      char chunk[1024];
      DWORD read = 0;
      if (!ReadFile(from, chunk, sizeof chunk, &read, nullptr)) return false;
      if (read == 0) return true;
      if (!Write(chunk, read)) return false;
    }
  }
  // The file has this one name, no other (no one made a second name of it
  // meanwhile), and is no link.
  bool OnlyItsOwn() const {
    BY_HANDLE_FILE_INFORMATION facts;
    return GetFileInformationByHandle(m_file, &facts) && facts.nNumberOfLinks == 1 &&
           !(facts.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
  }

  // Gives the file the name `path`: over what holds it when `replace` is
  // set, else only where nothing does. On the NT family in one step while
  // the file is held; Windows 95 and 98, which rename no open file and lack
  // that step, have the older file put aside under a free name first, and
  // back when the move fails. A moment's lock is waited out.
  bool PutAt(const CString& path, bool replace) {
    static HMODULE kernel;
    const auto moveFileEx = SystemFunction<decltype(&::MoveFileExA)>(kernel, "kernel32.dll", "MoveFileExA");
    if (OnNtFamily() && moveFileEx) {
      const DWORD flags = replace ? MOVEFILE_REPLACE_EXISTING : 0;
      m_placed = WaitOutLock([&] { return moveFileEx(m_name, path.c_str(), flags) != FALSE; });
      if (m_placed || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return m_placed;
    }
    CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    const bool placed = PlaceByMoves(path, replace);
    if (!placed) {
      const DWORD error = GetLastError();
      DeleteAnyFile(m_name);
      SetLastError(error);
    }
    return placed;
  }

 private:
  bool PlaceByMoves(const CString& path, bool replace) const {
    if (!replace || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      // A name held meanwhile is not taken.
      return WaitOutLock([&] { return MoveFileA(m_name, path.c_str()) != FALSE; });
    }
    char aside[MAX_PATH];
    {
      const NewFile free(path);  // made and removed again: a name that nothing holds
      if (!free.made()) return false;
      for (size_t i = 0; (aside[i] = free.m_name[i]) != '\0'; ++i) {
      }
    }
    // A running program cannot be moved: it stays as it is.
    if (!WaitOutLock([&] { return MoveFileA(path.c_str(), aside) != FALSE; })) return false;
    if (WaitOutLock([&] { return MoveFileA(m_name, path.c_str()) != FALSE; })) {
      DeleteAnyFile(aside);
      return true;
    }
    const DWORD error = GetLastError();
    MoveFileA(aside, path.c_str());
    SetLastError(error);
    return false;
  }

  char m_name[MAX_PATH] = "";
  HANDLE m_file = INVALID_HANDLE_VALUE;
  bool m_placed = false;
};

}  // namespace

bool LockMayEnd(DWORD start) {
  const DWORD error = GetLastError();
  if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION && error != ERROR_ACCESS_DENIED) ||
      GetTickCount() - start >= kLockWaitMs) {
    return false;
  }
  const DWORD pause = GetTickCount();
  do {
    if (!ServeQueuedMessages()) {
      SetLastError(error);
      return false;
    }
    Sleep(20);
  } while (GetTickCount() - pause < 100);
  SetLastError(error);
  return true;
}

bool DeleteAnyFile(const char* path) {
  SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
  return DeleteFileA(path) != FALSE;
}

CopyResult CopyWhole(const CString& from, const CString& to, bool replace, HANDLE held) {
  HANDLE source = held;
  if (source == INVALID_HANDLE_VALUE &&
      !WaitOutLock([&] { return (source = OpenToRead(from.c_str())) != INVALID_HANDLE_VALUE; })) {
    return CopyResult::kFailed;
  }
  CopyResult result = CopyResult::kFailed;
  {
    NewFile copy(to);
    // Compared with its source through both handles: a disk or a network
    // may cut a copy short without saying so.
    if (copy.made() && copy.WriteFrom(source) && SameBytes(copy.handle(), source) && copy.OnlyItsOwn()) {
      if (copy.PutAt(to, replace)) {
        result = CopyResult::kCopied;
      } else {
        const DWORD error = GetLastError();
        if (!replace && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)) result = CopyResult::kNameTaken;
      }
    }
  }
  if (source != held) CloseHandle(source);
  return result;
}

bool WriteWhole(const CString& path, const void* bytes, DWORD size) {
  NewFile file(path);
  if (!file.made() || !file.Write(bytes, size)) return false;
  // Written through a system's cache: the bytes are on the disk only once
  // the file's end is known to be where it should be.
  return GetFileSize(file.handle(), nullptr) == size && file.OnlyItsOwn() && file.PutAt(path, true);
}
