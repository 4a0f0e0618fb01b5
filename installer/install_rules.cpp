#include "install_rules.h"

ClientVerdict JudgeClient(const CString& declaredName, const CString& declaredVersion) {
  if (declaredName != kProductExe) return ClientVerdict::kNotTheClient;
  if (declaredVersion != kProductVersion) return ClientVerdict::kOtherVersion;
  return ClientVerdict::kAccepted;
}

CString NumberedBackupFolder(const CString& clientFolder, unsigned n) {
  char digits[12];
  size_t first = sizeof digits - 1;
  digits[first] = '\0';
  do {
    digits[--first] = static_cast<char>('0' + n % 10);
    n /= 10;
  } while (n && first > 0);
  return CString::Format("%soriginal.%s\\", {clientFolder.c_str(), digits + first});
}

CString LauncherPath(const char* windowsFolder, size_t reported, size_t capacity) {
  if (reported == 0 || reported >= capacity) return {};
  // The separator is added whatever the folder ends with: a drive root gives
  // two in a row, which the system accepts as one.
  return CString::Format("%s\\%s", {windowsFolder, kLauncherName});
}

CString VirtualStorePath(const CString& localAppData, const CString& clientFolder, const char* name) {
  const char* folder = clientFolder.c_str();
  const bool onADrive = clientFolder.length() >= 3 && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/');
  if (localAppData.empty() || !onADrive) return {};
  CString store(localAppData);
  const char last = localAppData.c_str()[localAppData.length() - 1];
  if (last == '\\' || last == '/') store.Truncate(localAppData.length() - 1);
  return CString::Format("%s\\VirtualStore%s%s", {store.c_str(), folder + 2, name});
}

size_t ProfileLength(const CString& localAppData) {
  size_t end = localAppData.length();
  const char* text = localAppData.c_str();
  if (end && text[end - 1] == '\\') --end;
  for (int parts = 0; parts < 2 && end > 0; ++parts) {
    while (--end > 0 && text[end] != '\\') {
    }
  }
  return end;
}

CString StripFileName(const CString& path) {
  const size_t separator = path.FindLastOf("\\/");
  if (separator == CString::npos) return path;
  CString folder(path);
  folder.Truncate(separator + 1);
  return folder;
}
