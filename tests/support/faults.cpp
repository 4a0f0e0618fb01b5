// A fault injector for the installer: a version.dll that the fault tests
// leave beside the installer (Wine's own user32 imports that library, so it
// is loaded into the program before its first line runs). It takes over the
// program's calls of the functions below, through its import table and
// through GetProcAddress for those it looks up at run time, and
//   %QUOP_FAULT%=Name:N      makes the N-th call of Name fail (its documented
//                            failure value and an error such as
//                            ERROR_ACCESS_DENIED or ERROR_DISK_FULL);
//   %QUOP_FAULT%=WriteFile:N:short
//                            makes the N-th write write only half of its
//                            bytes and report them all (a disk or a network
//                            that cuts a copy short without saying so);
//   %QUOP_FAULT%=Name:N:locked:K
//                            makes calls N to N+K-1 fail with
//                            ERROR_SHARING_VIOLATION (a file that another
//                            program holds for a moment: an antivirus);
//   %QUOP_FAULT%=Name:N:hang makes the N-th call never return (a call into a
//                            program that hangs);
//   %QUOP_FAULT_ABSENT%=Name makes every call of Name fail with
//                            ERROR_CALL_NOT_IMPLEMENTED, as on a system that
//                            has the function only as a stub (Windows 95
//                            and 98 for MoveFileExA);
//   %QUOP_FAULT_DISK%=BYTES  lets WriteFile and CopyFileA write BYTES more
//                            bytes in all, the last call in part, and then
//                            fail with ERROR_DISK_FULL (a disk filling up);
//   %QUOP_FAULT_LOG%=PATH    logs the name of every call it takes over, and
//                            "failed" after the one it made fail.
// CopyFileA gives the copy its source's attributes, as Windows does (Wine
// does not): a read-only source makes a read-only copy.
// A high-contrast scheme for the program alone, which a test may switch while
// it runs: the value "High contrast" of HKCU\Software\Quop test bench,
// "dark" (white on black, links yellow) or "light" (black on white, links
// dark blue), answers SystemParametersInfoA and GetSysColor; without it they
// are the system's.
// The wide version functions are there for user32, which finds no versions.
#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>

#include "import_table.h"
#include "library_log.h"

namespace {

struct Row {
  const char* name;
  void* hook;
  void** real;  // where the hook finds the function it stands for
  ULONG_PTR failure;
  DWORD error;
  int index;
};

bool Injected(int index);
ULONG_PTR Failure(int index);

// The hook of a function of type F, row `Index` of the table: it fails when
// told to, and else calls the function it took over.
template <int Index, typename F>
struct Hook;
template <int Index, typename R, typename... A>
struct Hook<Index, R(WINAPI*)(A...)> {
  static inline R(WINAPI* real)(A...) = nullptr;
  static R WINAPI Call(A... arguments) {
    if (Injected(Index)) return (R)Failure(Index);  // NOLINT: a handle, a pointer or a number
    return real(arguments...);
  }
};

template <int Index, typename F>
Row Make(const char* name, ULONG_PTR failure, DWORD error) {
  return {name,
          reinterpret_cast<void*>(&Hook<Index, F>::Call),
          reinterpret_cast<void**>(&Hook<Index, F>::real),
          failure,
          error,
          Index};
}

const auto kInvalid = reinterpret_cast<ULONG_PTR>(INVALID_HANDLE_VALUE);

// Every row's index is its place in the table (checked at start).
Row g_rows[] = {
    // Failures that no moment ends (a moment's lock is a mode of its own).
    Make<0, decltype(&::CreateFileA)>("CreateFileA", kInvalid, ERROR_PATH_NOT_FOUND),
    Make<1, decltype(&::ReadFile)>("ReadFile", FALSE, ERROR_READ_FAULT),
    Make<2, decltype(&::GetFileSize)>("GetFileSize", INVALID_FILE_SIZE, ERROR_ACCESS_DENIED),
    Make<3, decltype(&::CopyFileA)>("CopyFileA", FALSE, ERROR_DISK_FULL),
    Make<4, decltype(&::WriteFile)>("WriteFile", FALSE, ERROR_DISK_FULL),
    Make<5, decltype(&::MoveFileA)>("MoveFileA", FALSE, ERROR_WRITE_PROTECT),
    Make<6, decltype(&::MoveFileExA)>("MoveFileExA", FALSE, ERROR_WRITE_PROTECT),
    Make<7, decltype(&::DeleteFileA)>("DeleteFileA", FALSE, ERROR_ACCESS_DENIED),
    Make<8, decltype(&::CreateDirectoryA)>("CreateDirectoryA", FALSE, ERROR_ACCESS_DENIED),
    Make<9, decltype(&::GetFileAttributesA)>("GetFileAttributesA", INVALID_FILE_ATTRIBUTES, ERROR_ACCESS_DENIED),
    Make<10, decltype(&::GetTempFileNameA)>("GetTempFileNameA", 0, ERROR_ACCESS_DENIED),
    Make<11, decltype(&::GetWindowsDirectoryA)>("GetWindowsDirectoryA", 0, ERROR_ACCESS_DENIED),
    Make<12, decltype(&::FindResourceExA)>("FindResourceExA", 0, ERROR_RESOURCE_TYPE_NOT_FOUND),
    Make<13, decltype(&::LoadResource)>("LoadResource", 0, ERROR_NOT_ENOUGH_MEMORY),
    Make<14, decltype(&::HeapAlloc)>("HeapAlloc", 0, ERROR_NOT_ENOUGH_MEMORY),
    Make<15, decltype(&::HeapReAlloc)>("HeapReAlloc", 0, ERROR_NOT_ENOUGH_MEMORY),
    Make<16, decltype(&::LoadLibraryA)>("LoadLibraryA", 0, ERROR_MOD_NOT_FOUND),
    Make<17, decltype(&::RegOpenKeyExA)>("RegOpenKeyExA", ERROR_ACCESS_DENIED, 0),
    Make<18, decltype(&::RegQueryValueExA)>("RegQueryValueExA", ERROR_ACCESS_DENIED, 0),
    Make<19, decltype(&::RegQueryValueA)>("RegQueryValueA", ERROR_ACCESS_DENIED, 0),
    Make<20, decltype(&::RegCreateKeyExA)>("RegCreateKeyExA", ERROR_ACCESS_DENIED, 0),
    Make<21, decltype(&::RegSetValueExA)>("RegSetValueExA", ERROR_ACCESS_DENIED, 0),
    Make<22, decltype(&::RegSetValueA)>("RegSetValueA", ERROR_ACCESS_DENIED, 0),
    Make<23, decltype(&::RegDeleteKeyA)>("RegDeleteKeyA", ERROR_ACCESS_DENIED, 0),
    Make<24, decltype(&::CoCreateInstance)>("CoCreateInstance", static_cast<ULONG_PTR>(REGDB_E_CLASSNOTREG), 0),
    Make<25, decltype(&::GetFileVersionInfoSizeA)>("GetFileVersionInfoSizeA", 0, ERROR_RESOURCE_DATA_NOT_FOUND),
    Make<26, decltype(&::GetFileVersionInfoA)>("GetFileVersionInfoA", FALSE, ERROR_RESOURCE_DATA_NOT_FOUND),
    Make<27, decltype(&::VerQueryValueA)>("VerQueryValueA", FALSE, 0),
    Make<28, decltype(&::SysAllocString)>("SysAllocString", 0, 0),
    Make<29, decltype(&::ShellExecuteA)>("ShellExecuteA", SE_ERR_NOASSOC, 0),
    Make<30, decltype(&::LoadStringA)>("LoadStringA", 0, ERROR_RESOURCE_NAME_NOT_FOUND),
    Make<31, decltype(&::CloseHandle)>("CloseHandle", FALSE, ERROR_DISK_FULL),
    Make<32, decltype(&::SendMessageTimeoutA)>("SendMessageTimeoutA", 0, ERROR_TIMEOUT),  // a hung window
};
constexpr int kRows = sizeof g_rows / sizeof g_rows[0];
constexpr int kCopyFile = 3, kWriteFile = 4, kCloseHandle = 31;

int g_faultRow = -1, g_absentRow = -1;
unsigned g_faultCall = 0, g_faultCalls = 1, g_calls[kRows];
enum class Mode { kFail, kShort, kLocked, kHang } g_mode = Mode::kFail;
bool g_diskFills = false;
ULONGLONG g_diskRoom = 0;

// True when this call of the row is the one (or one of those) told to fail;
// it is then noted, and the error set.
bool Injected(int index) {
  AppendLogLine("QUOP_FAULT_LOG", g_rows[index].name);
  if (index == g_absentRow) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return true;
  }
  if (index != g_faultRow) return false;
  const unsigned call = ++g_calls[index];
  if (call < g_faultCall || call >= g_faultCall + g_faultCalls) return false;
  AppendLogLine("QUOP_FAULT_LOG", "failed");
  if (g_mode == Mode::kHang) Sleep(INFINITE);
  SetLastError(g_mode == Mode::kLocked ? ERROR_SHARING_VIOLATION : g_rows[index].error);
  return true;
}

ULONG_PTR Failure(int index) { return g_rows[index].failure; }

// What the disk takes of `wanted` more bytes; false (ERROR_DISK_FULL) when it
// takes fewer.
bool DiskTakes(DWORD wanted, DWORD& taken) {
  taken = wanted;
  if (!g_diskFills) return true;
  if (g_diskRoom >= wanted) {
    g_diskRoom -= wanted;
    return true;
  }
  taken = static_cast<DWORD>(g_diskRoom);
  g_diskRoom = 0;
  SetLastError(ERROR_DISK_FULL);
  return false;
}

using WriteFileHook = Hook<kWriteFile, decltype(&::WriteFile)>;
using CopyFileHook = Hook<kCopyFile, decltype(&::CopyFileA)>;
using CloseHandleHook = Hook<kCloseHandle, decltype(&::CloseHandle)>;

BOOL WINAPI FillingWriteFile(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
  if (Injected(kWriteFile)) {
    if (g_mode != Mode::kShort) return FALSE;
    const BOOL half = WriteFileHook::real(file, bytes, size / 2, written, overlapped);
    if (written) *written = size;  // said whole
    return half;
  }
  DWORD taken = 0;
  const bool whole = DiskTakes(size, taken);
  const BOOL wrote = WriteFileHook::real(file, bytes, taken, written, overlapped);
  if (!whole) SetLastError(ERROR_DISK_FULL);
  return whole && wrote;
}

// A copy takes its source's attributes, as on Windows; one that the disk
// takes only in part leaves the part written.
BOOL WINAPI FillingCopyFile(LPCSTR from, LPCSTR to, BOOL failIfExists) {
  if (Injected(kCopyFile)) return FALSE;
  if (!g_diskFills) {
    const BOOL copied = CopyFileHook::real(from, to, failIfExists);
    if (copied) SetFileAttributesA(to, GetFileAttributesA(from));
    return copied;
  }
  HANDLE source = CreateFileA(from, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (source == INVALID_HANDLE_VALUE) return FALSE;
  const DWORD size = GetFileSize(source, nullptr);
  DWORD taken = 0;
  if (DiskTakes(size, taken)) {
    CloseHandle(source);
    return CopyFileHook::real(from, to, failIfExists);
  }
  HANDLE target = CreateFileA(to, GENERIC_WRITE, 0, nullptr, failIfExists ? CREATE_NEW : CREATE_ALWAYS, 0, nullptr);
  char chunk[4096];
  for (DWORD read = 0, done = 0; target != INVALID_HANDLE_VALUE && done < taken; done += read) {
    if (!ReadFile(source, chunk, taken - done < sizeof chunk ? taken - done : sizeof chunk, &read, nullptr) || !read) {
      break;
    }
    DWORD written = 0;
    WriteFile(target, chunk, read, &written, nullptr);
  }
  if (target != INVALID_HANDLE_VALUE) CloseHandle(target);
  CloseHandle(source);
  SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

// A close that reports a failed write-back: the handle is closed all the same.
BOOL WINAPI FailingCloseHandle(HANDLE handle) {
  if (!Injected(kCloseHandle)) return CloseHandleHook::real(handle);
  CloseHandleHook::real(handle);
  SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

Row* RowNamed(const char* name) {
  for (Row& row : g_rows) {
    if (std::strcmp(row.name, name) == 0) return &row;
  }
  return nullptr;
}

// The scheme the test has chosen: 'd', 'l', or 0 for none.
char ContrastScheme() {
  char scheme[8] = "";
  DWORD size = sizeof scheme - 1;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quop test bench", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return 0;
  const LONG status = RegQueryValueExA(key, "High contrast", nullptr, nullptr, reinterpret_cast<BYTE*>(scheme), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? scheme[0] : 0;
}

decltype(&::SystemParametersInfoA) g_systemParameters;
decltype(&::GetSysColor) g_sysColor;

BOOL WINAPI ContrastSystemParameters(UINT action, UINT number, void* value, UINT update) {
  if (action != SPI_GETHIGHCONTRAST || !value || !ContrastScheme()) {
    return g_systemParameters(action, number, value, update);
  }
  static_cast<HIGHCONTRASTA*>(value)->dwFlags = HCF_HIGHCONTRASTON | HCF_AVAILABLE;
  static_cast<HIGHCONTRASTA*>(value)->lpszDefaultScheme = nullptr;
  return TRUE;
}

DWORD WINAPI ContrastSysColor(int index) {
  const char scheme = ContrastScheme();
  const bool dark = scheme == 'd';
  if (!scheme) return g_sysColor(index);
  switch (index) {
    case COLOR_BTNFACE:
      return dark ? RGB(0, 0, 0) : RGB(255, 255, 255);
    case COLOR_BTNTEXT:
      return dark ? RGB(255, 255, 255) : RGB(0, 0, 0);
    case COLOR_HOTLIGHT:
      return dark ? RGB(255, 255, 0) : RGB(0, 0, 128);
    default:
      return g_sysColor(index);
  }
}

decltype(&::GetProcAddress) g_getProcAddress;

// The functions looked up at run time: the hook stands for the one found.
FARPROC WINAPI HookGetProcAddress(HMODULE module, LPCSTR name) {
  const FARPROC found = g_getProcAddress(module, name);
  Row* row = found && !IS_INTRESOURCE(name) ? RowNamed(name) : nullptr;
  if (!row) return found;
  *row->real = reinterpret_cast<void*>(found);
  return reinterpret_cast<FARPROC>(row->hook);
}

// Points the program's imports of the table's functions, and of
// GetProcAddress, at the hooks.
void TakeOverImports() {
  imports::ForEach(GetModuleHandleA(nullptr), nullptr, [](const char* function, imports::Slot* slot) {
    if (std::strcmp(function, "GetProcAddress") == 0) {
      g_getProcAddress = reinterpret_cast<decltype(&::GetProcAddress)>(
          imports::Repoint(slot, reinterpret_cast<imports::Slot>(&HookGetProcAddress)));
    } else if (std::strcmp(function, "SystemParametersInfoA") == 0) {
      g_systemParameters = reinterpret_cast<decltype(&::SystemParametersInfoA)>(
          imports::Repoint(slot, reinterpret_cast<imports::Slot>(&ContrastSystemParameters)));
    } else if (std::strcmp(function, "GetSysColor") == 0) {
      g_sysColor = reinterpret_cast<decltype(&::GetSysColor)>(
          imports::Repoint(slot, reinterpret_cast<imports::Slot>(&ContrastSysColor)));
    } else if (Row* row = RowNamed(function)) {
      *row->real = reinterpret_cast<void*>(imports::Repoint(slot, reinterpret_cast<imports::Slot>(row->hook)));
    }
  });
}

void Start() {
  g_rows[kWriteFile].hook = reinterpret_cast<void*>(&FillingWriteFile);
  g_rows[kCopyFile].hook = reinterpret_cast<void*>(&FillingCopyFile);
  g_rows[kCloseHandle].hook = reinterpret_cast<void*>(&FailingCloseHandle);
  for (int i = 0; i < kRows; ++i) {
    if (g_rows[i].index != i) AppendLogLine("QUOP_FAULT_LOG", "the injector's table is out of order");
  }
  char text[64] = "";
  if (GetEnvironmentVariableA("QUOP_FAULT", text, sizeof text) && text[0]) {
    if (char* colon = std::strchr(text, ':')) {
      *colon = '\0';
      if (const Row* row = RowNamed(text)) {
        g_faultRow = row->index;
        g_faultCall = static_cast<unsigned>(std::atoi(colon + 1));
        if (const char* mode = std::strchr(colon + 1, ':')) {
          if (std::strncmp(mode, ":short", 6) == 0) g_mode = Mode::kShort;
          if (std::strncmp(mode, ":hang", 5) == 0) g_mode = Mode::kHang;
          if (std::strncmp(mode, ":locked:", 8) == 0) {
            g_mode = Mode::kLocked;
            g_faultCalls = static_cast<unsigned>(std::atoi(mode + 8));
          }
        }
      }
    }
  }
  if (GetEnvironmentVariableA("QUOP_FAULT_ABSENT", text, sizeof text) && text[0]) {
    if (const Row* row = RowNamed(text)) g_absentRow = row->index;
  }
  if (GetEnvironmentVariableA("QUOP_FAULT_DISK", text, sizeof text) && text[0]) {
    g_diskFills = true;
    g_diskRoom = std::strtoull(text, nullptr, 10);
  }
  TakeOverImports();
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) Start();
  return TRUE;
}

extern "C" __declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeW(LPCWSTR, LPDWORD) { return 0; }
extern "C" __declspec(dllexport) BOOL WINAPI GetFileVersionInfoW(LPCWSTR, DWORD, DWORD, LPVOID) { return FALSE; }
extern "C" __declspec(dllexport) BOOL WINAPI VerQueryValueW(LPCVOID, LPCWSTR, LPVOID*, PUINT) { return FALSE; }
