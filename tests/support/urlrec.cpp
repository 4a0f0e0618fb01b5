// URL recorder: the test prefix registers it as the shell's handler of http
// and mailto URLs. It appends the URL it is handed (its whole command tail)
// with a high-resolution time stamp and the name of the program that started
// it to a log, so that tests can check what the shell was asked to open, in
// what order, and by whom.
//
// The log is %URLREC_LOG% when set (each test sets its own; the variable is
// inherited through the program that asked the shell), else the value
// "URL log" of HKEY_CURRENT_USER\Software\Quop test bench (which the tests
// set too, for the desktop's shell, whose environment is its own), else
// urlrec.log beside this program.
#include <windows.h>
#include <tlhelp32.h>

#include <string>

#include "url_log.h"

namespace {

const char* CommandTail() {
  const char* p = GetCommandLineA();
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

std::string LogPath() {
  char path[MAX_PATH];
  const DWORD n = GetEnvironmentVariableA("URLREC_LOG", path, sizeof path);
  if (n > 0 && n < sizeof path) return path;
  DWORD size = sizeof path;
  if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Quop test bench", "URL log", RRF_RT_REG_SZ, nullptr, path, &size) ==
          ERROR_SUCCESS &&
      path[0]) {
    return path;
  }
  const DWORD len = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string own(path, len);
  return own.substr(0, own.find_last_of('\\') + 1) + "urlrec.log";
}

std::uint64_t NowMicros() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<std::uint64_t>(count.QuadPart / frequency.QuadPart * 1000000 +
                                    count.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart);
}

// The file name of the program that started this one; empty when it has ended.
std::string ParentName() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return {};
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  DWORD parent = 0;
  for (BOOL more = Process32First(snapshot, &entry); more && !parent; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == GetCurrentProcessId()) parent = entry.th32ParentProcessID;
  }
  std::string name;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more && parent; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == parent) {
      name = entry.szExeFile;
      break;
    }
  }
  CloseHandle(snapshot);
  for (char& c : name) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return name;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string line = urllog::FormatLine(NowMicros(), ParentName(), CommandTail());
  // Appending in one write keeps lines whole when several recorders run at once.
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 50 && file == INVALID_HANDLE_VALUE; ++attempt) {
    file = CreateFileA(LogPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Sleep(20);
  }
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
