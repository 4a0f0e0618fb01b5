#include "test_env.h"

#include <gtest/gtest.h>
// After windows.h, which it needs.
#include <commdlg.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "test_paths.h"
#include "uidriver.h"

namespace testenv {

std::string BuildPath(const std::string& relative) { return std::string(QUOP_BUILD_DIR) + "\\" + relative; }

std::string DeliverablePath(const std::string& relative) {
  const std::string root = QUOP_DELIVERABLES_DIR;
  return root.empty() ? std::string() : root + "\\" + relative;
}

std::string SourcePath(const std::string& relative) { return std::string(QUOP_SOURCE_DIR) + "\\" + relative; }

void DeleteTree(const std::string& dir) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = dir + "\\" + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteTree(path);
      } else {
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(dir.c_str());
}

std::string ScratchDir() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string root = BuildPath("scratch");
  CreateDirectoryA(root.c_str(), nullptr);
  const std::string dir = root + "\\" + info->test_suite_name() + "." + info->name();
  static std::string emptied;
  if (emptied != dir) {
    DeleteTree(dir);
    CreateDirectoryA(dir.c_str(), nullptr);
    emptied = dir;
  }
  return dir + "\\";
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

namespace {

// The host's path of a Windows path, as Wine maps it; a name that does not
// exist yet is put after its folder's.
std::string HostPath(const std::string& path) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  const size_t cut = path.rfind('\\');
  if (!unixName || cut == std::string::npos) return {};
  WCHAR wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, path.substr(0, cut + 1).c_str(), -1, wide, MAX_PATH);  // "C:\\" for a drive's root
  char* folder = unixName(wide);
  if (!folder) return {};
  std::string host = std::string(folder) + "/" + path.substr(cut + 1);
  HeapFree(GetProcessHeap(), 0, folder);
  return host;
}

// Starts a program of the host, which Wine runs as it is (neither suspended
// nor in a job, and with no handle that tells when it ends): the caller
// waits for what it does.
bool StartHostProgram(std::string command) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return false;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return true;
}

}  // namespace

bool MakeLink(const std::string& link, const std::string& target) {
  const std::string from = HostPath(link), to = HostPath(target);
  return !from.empty() && !to.empty() && StartHostProgram("Z:\\bin\\ln -s \"" + to + "\" \"" + from + "\"") &&
         ui::WaitUntil([&] { return GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES; }, 5000);
}

void RemoveLink(const std::string& link) {
  const std::string host = HostPath(link);
  if (host.empty() || !StartHostProgram("Z:\\bin\\rm -f \"" + host + "\"")) return;
  ui::WaitUntil([&] { return GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES; }, 5000);
}

bool AnyFileLike(const std::string& pattern) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

UrlLog::UrlLog()
    : path_(ScratchDir() + "urlrec.log"),
      registryPath_(std::make_unique<RegistryValueOverride>(kUrlLogKey, kUrlLogValue, path_.c_str())) {
  DeleteFileA(path_.c_str());
  SetEnvironmentVariableA("URLREC_LOG", path_.c_str());
}

UrlLog::~UrlLog() { SetEnvironmentVariableA("URLREC_LOG", nullptr); }

std::vector<urllog::Entry> UrlLog::Entries() const { return urllog::Parse(ReadFile(path_)); }

std::vector<std::string> UrlLog::Urls() const {
  std::vector<std::string> urls;
  for (const auto& entry : Entries()) urls.push_back(entry.url);
  return urls;
}

bool UrlLog::WaitForCount(size_t count, DWORD timeoutMs) const {
  return ui::WaitUntil([&] { return Entries().size() >= count; }, timeoutMs);
}

RemovedUrlHandler::RemovedUrlHandler(const std::string& scheme)
    : key_("Software\\Classes\\" + scheme + "\\shell\\open\\command") {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    char value[1024] = "";
    DWORD size = sizeof value - 1;
    if (RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS) {
      command_ = value;
    }
    RegCloseKey(key);
  }
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, key_.c_str());
}

RemovedUrlHandler::~RemovedUrlHandler() {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) ==
      ERROR_SUCCESS) {
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command_.c_str()),
                   static_cast<DWORD>(command_.size() + 1));
    RegCloseKey(key);
  }
}

RegistryValueOverride::RegistryValueOverride(const std::string& key, const std::string& name, const char* value)
    : key_(key), name_(name) {
  Set(REG_SZ, value, value ? static_cast<DWORD>(std::string(value).size() + 1) : 0);
}

RegistryValueOverride::RegistryValueOverride(const std::string& key, const std::string& name, DWORD value)
    : key_(key), name_(name) {
  Set(REG_DWORD, &value, sizeof value);
}

// Keeps the value's old bytes, then writes `value` (or removes it, when null).
void RegistryValueOverride::Set(DWORD type, const void* value, DWORD size) {
  HKEY handle;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  char old[2048] = "";
  DWORD oldSize = sizeof old;
  hadValue_ = RegQueryValueExA(handle, name_.c_str(), nullptr, &oldType_, reinterpret_cast<BYTE*>(old), &oldSize) ==
              ERROR_SUCCESS;
  if (hadValue_) old_.assign(old, oldSize);
  if (value) {
    RegSetValueExA(handle, name_.c_str(), 0, type, static_cast<const BYTE*>(value), size);
  } else {
    RegDeleteValueA(handle, name_.c_str());
  }
  RegCloseKey(handle);
}

RegistryValueOverride::~RegistryValueOverride() {
  HKEY handle;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS) return;
  if (hadValue_) {
    RegSetValueExA(handle, name_.c_str(), 0, oldType_, reinterpret_cast<const BYTE*>(old_.data()),
                   static_cast<DWORD>(old_.size()));
  } else {
    RegDeleteValueA(handle, name_.c_str());
  }
  RegCloseKey(handle);
}

void NoChatLinkClaim::Remove() {
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Classes\\irc");
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\irc");
}

namespace {

std::string SystemPath(const std::string& library) {
  char dir[MAX_PATH] = "";
  GetSystemDirectoryA(dir, sizeof dir);
  return std::string(dir) + "\\" + library;
}

}  // namespace

SystemLibrary::SystemLibrary(const std::string& program, const std::string& library)
    : path_(SystemPath(library)),
      nativeOnly_("Software\\Wine\\AppDefaults\\" + program + "\\DllOverrides", library.substr(0, library.find('.')),
                  "native") {
  const std::string away = path_ + ".away";
  // A run that was cut short may have left a stand-in there, and the file away.
  if (GetFileAttributesA(away.c_str()) != INVALID_FILE_ATTRIBUTES)
    MoveFileExA(away.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
  EXPECT_TRUE(MoveFileA(path_.c_str(), away.c_str())) << path_;
}

SystemLibrary::~SystemLibrary() { MoveFileExA((path_ + ".away").c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING); }

bool SystemLibrary::Put(const std::string& file) { return CopyFileA(file.c_str(), path_.c_str(), FALSE) != FALSE; }

OlderFileSelection::OlderFileSelection(const std::string& program, const std::string& pick)
    : library_(program, "comdlg32.dll"), log_(ScratchDir() + "comdlg32.log") {
  DeleteFileA(log_.c_str());
  SetEnvironmentVariableA("QUOP_COMDLG_LOG", log_.c_str());
  SetEnvironmentVariableA("QUOP_COMDLG_PICK", pick.c_str());
}

OlderFileSelection::~OlderFileSelection() {
  SetEnvironmentVariableA("QUOP_COMDLG_LOG", nullptr);
  SetEnvironmentVariableA("QUOP_COMDLG_PICK", nullptr);
}

bool OlderFileSelection::Install() { return library_.Put(BuildPath("tests\\support\\comdlg32.dll")); }

std::string OlderFileSelection::Sizes() const { return ReadFile(log_); }

std::string OlderFileSelection::Accepted(int count) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += "size " + std::to_string(OPENFILENAME_SIZE_VERSION_400A) + "\r\n";
  return lines;
}

std::string WindowsVersion() {
  char version[32] = "";
  GetEnvironmentVariableA("QUOP_WINDOWS_VERSION", version, sizeof version);
  return version;
}

bool OnVersion4() { return WindowsVersion() == "win95" || WindowsVersion() == "nt40"; }

namespace {

class WindowsVersionSetting : public ::testing::Environment {
 public:
  void SetUp() override {
    if (WindowsVersion().empty()) return;
    for (const char* program : {"urlhop32.exe", "trinstall.exe"}) {
      overrides_.push_back(std::make_unique<RegistryValueOverride>(
          std::string("Software\\Wine\\AppDefaults\\") + program, "Version", WindowsVersion().c_str()));
    }
  }
  void TearDown() override { overrides_.clear(); }

 private:
  std::vector<std::unique_ptr<RegistryValueOverride>> overrides_;
};

::testing::Environment* const g_windowsVersion = ::testing::AddGlobalTestEnvironment(new WindowsVersionSetting);

}  // namespace

std::string ScreenUserLauncher() { return OnVersion4() ? "trinstall.exe" : "explorer.exe"; }

std::string WindowsDir() {
  char dir[MAX_PATH] = "";
  GetWindowsDirectoryA(dir, sizeof dir);
  std::string text = dir;
  if (!text.empty() && text.back() == '\\') text.pop_back();
  return text;
}

}  // namespace testenv
