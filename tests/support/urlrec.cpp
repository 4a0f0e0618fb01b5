// URL recorder: the test prefix registers it as the shell's handler of http
// and mailto URLs. It appends the URL it is handed (its whole command tail)
// with a high-resolution time stamp to a log, so that tests can check what
// the shell was asked to open and in what order.
//
// The log is %URLREC_LOG% when set (each test sets its own; the variable is
// inherited through the program that asked the shell), else urlrec.log
// beside this program.
#include <windows.h>

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

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string line = urllog::FormatLine(NowMicros(), CommandTail());
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
