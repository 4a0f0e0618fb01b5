#include "test_env.h"

#include <gtest/gtest.h>
// After windows.h, which they need.
#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
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
  const DWORD attributes = GetFileAttributesA(dir.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    // A link whose folder is gone is listed, but has no attributes.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(dir.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    FindClose(search);
    RemoveLink(dir);
    return;
  }
  // A link is removed, never followed: what it leads to is not the test's.
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    RemoveLink(dir);
    return;
  }
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = dir + "\\" + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) {
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

namespace {

// The host's "ln" with `options`, making `link` a name of `target`.
::testing::AssertionResult Link(const char* options, const std::string& link, const std::string& target) {
  const std::string from = HostPath(link), to = HostPath(target);
  if (from.empty() || to.empty() ||
      !StartHostProgram("Z:\\bin\\ln " + std::string(options) + "\"" + to + "\" \"" + from + "\"")) {
    return ::testing::AssertionFailure() << "the host's ln could not be started for " << link;
  }
  return ui::WaitUntil([&] { return GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES; },
                       [&] { return link + " not there"; }, 5000);
}

}  // namespace

::testing::AssertionResult MakeLink(const std::string& link, const std::string& target) {
  return Link("-s ", link, target);
}

::testing::AssertionResult MakeHardLink(const std::string& link, const std::string& target) {
  return Link("", link, target);
}

void RemoveLink(const std::string& link) {
  const std::string host = HostPath(link);
  if (host.empty() || !StartHostProgram("Z:\\bin\\rm -f \"" + host + "\"")) return;
  EXPECT_TRUE(ui::WaitUntil([&] { return GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES; },
                            [&] { return link + " still there"; }, 5000));
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

bool ProgramRuns(const char* name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL ok = Process32First(snapshot, &entry); ok && !found; ok = Process32Next(snapshot, &entry)) {
    found = lstrcmpiA(entry.szExeFile, name) == 0;
  }
  CloseHandle(snapshot);
  return found;
}

::testing::AssertionResult UrlLog::WaitForCount(size_t count, DWORD timeoutMs) const {
  return ui::WaitUntil([&] { return Entries().size() >= count; },
                       [&] {
                         std::string seen = "the shell was handed:";
                         for (const std::string& url : Urls()) seen += " " + ui::Quoted(url);
                         return seen;
                       },
                       timeoutMs);
}

std::vector<std::string> UrlLog::UrlsAtRest() const {
  const ::testing::AssertionResult rest =
      ui::WaitUntil([] { return !ProgramRuns("urlrec.exe"); }, [] { return "a URL recorder still runs"; });
  EXPECT_TRUE(rest);
  return Urls();
}

namespace {

std::string HandlerKey(const std::string& scheme) { return "Software\\Classes\\" + scheme + "\\shell\\open\\command"; }

// The shell's handler of http and mailto URLs on the bench: the recorder.
void SetRecorderAsHandler(const std::string& scheme) {
  const std::string command = "\"" + BuildPath("tests\\support\\urlrec.exe") + "\" %1";
  RegSetValueA(HKEY_LOCAL_MACHINE, HandlerKey(scheme).c_str(), REG_SZ, command.c_str(), 0);
}

}  // namespace

RemovedUrlHandler::RemovedUrlHandler(const std::string& scheme) : scheme_(scheme) {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, HandlerKey(scheme).c_str());
}

RemovedUrlHandler::~RemovedUrlHandler() { SetRecorderAsHandler(scheme_); }

namespace {

// The bench's journal of registry values that live tests have changed: one
// file each, named so that the newest sorts last, holding the key, the
// value's name, its type ("-" when there was no such value) and its bytes.
std::string JournalFolder() { return BuildPath("wine-bench\\undo\\"); }

// Sets (or, with `bytes` null, removes) a value of the current user's.
void PutUserValue(const std::string& key, const std::string& name, DWORD type, const std::string* bytes) {
  HKEY handle;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  if (bytes) {
    RegSetValueExA(handle, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes->data()),
                   static_cast<DWORD>(bytes->size()));
  } else {
    RegDeleteValueA(handle, name.c_str());
  }
  RegCloseKey(handle);
}

// Puts back the value that a journal entry names, and removes the entry.
void Undo(const std::string& entry) {
  const std::string text = ReadFile(entry);
  const size_t name = text.find('\n'), type = text.find('\n', name + 1), bytes = text.find('\n', type + 1);
  if (bytes != std::string::npos) {
    const std::string key = text.substr(0, name), value = text.substr(name + 1, type - name - 1);
    const std::string old = text.substr(bytes + 1);
    if (text.compare(type + 1, bytes - type - 1, "-") == 0) {
      PutUserValue(key, value, 0, nullptr);
    } else {
      PutUserValue(key, value, static_cast<DWORD>(std::stoul(text.substr(type + 1))), &old);
    }
  }
  DeleteFileA(entry.c_str());
}

}  // namespace

RegistryValueOverride::RegistryValueOverride(const std::string& key, const std::string& name, const char* value)
    : key_(key), name_(name) {
  Set(REG_SZ, value, value ? static_cast<DWORD>(std::string(value).size() + 1) : 0);
}

RegistryValueOverride::RegistryValueOverride(const std::string& key, const std::string& name, DWORD value)
    : key_(key), name_(name) {
  Set(REG_DWORD, &value, sizeof value);
}

// Notes the value's old bytes in the journal, then writes `value` (or
// removes it, when null).
void RegistryValueOverride::Set(DWORD type, const void* value, DWORD size) {
  char old[2048] = "";
  DWORD oldSize = sizeof old, oldType = REG_NONE;
  bool had = false;
  HKEY handle;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_QUERY_VALUE, &handle) == ERROR_SUCCESS) {
    had = RegQueryValueExA(handle, name_.c_str(), nullptr, &oldType, reinterpret_cast<BYTE*>(old), &oldSize) ==
          ERROR_SUCCESS;
    RegCloseKey(handle);
  }
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%020llu", static_cast<unsigned long long>(now.QuadPart));
  CreateDirectoryA(JournalFolder().c_str(), nullptr);
  journal_ = JournalFolder() + stamp + "-" + std::to_string(GetCurrentProcessId()) + ".undo";
  const std::string entry =
      key_ + "\n" + name_ + "\n" + (had ? std::to_string(oldType) + "\n" + std::string(old, oldSize) : "-\n");
  EXPECT_TRUE(WriteFile(journal_, entry)) << "the bench's journal cannot be written: " << journal_;
  const std::string bytes(static_cast<const char*>(value), value ? size : 0);
  PutUserValue(key_, name_, type, value ? &bytes : nullptr);
}

RegistryValueOverride::~RegistryValueOverride() { Undo(journal_); }

DesktopFolder::DesktopFolder(const std::string& folder)
    : folder_(folder),
      shellFolders_("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Desktop", folder.c_str()),
      // The shell refreshes the value above from this one when it loads.
      userShellFolders_("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", "Desktop",
                        folder.c_str()) {
  CreateDirectoryA(folder.c_str(), nullptr);
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
  EXPECT_TRUE(MoveFileA(path_.c_str(), (path_ + ".away").c_str())) << path_;
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

DWORD WINAPI AskDesktop(void* answered) {
  DWORD_PTR ignored = 0;
  HWND desktop = GetDesktopWindow();
  *static_cast<volatile bool*>(answered) =
      desktop && SendMessageTimeoutA(desktop, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  return 0;
}

// Wine's desktop must answer: a hung one hangs every program that opens a
// window, so that every test after it would run into its time limit. A test
// program that finds it hung fails at once, says so, and leaves the bench a
// mark to come down and up again before the next test.
void RequireAnsweringDesktop() {
  static volatile bool answered = false;  // the asking thread may outlive the wait
  HANDLE asking = CreateThread(nullptr, 0, AskDesktop, const_cast<bool*>(&answered), 0, nullptr);
  const bool done = asking && WaitForSingleObject(asking, 20000) == WAIT_OBJECT_0;
  if (asking) CloseHandle(asking);
  if (done && answered) return;
  std::fprintf(stderr,
               "the bench: Wine's desktop (explorer.exe /desktop=Default) did not answer within 20 s: it hangs, "
               "and every program that opens a window would hang with it. This test fails; the bench is brought "
               "down and up again before the next.\n");
  std::fflush(stderr);
  WriteFile(BuildPath("wine-bench\\desktop-hung"), "the desktop did not answer\r\n");
  TerminateProcess(GetCurrentProcess(), 1);
}

// Every test program starts on a desktop that answers and on the prefix as
// the bench made it, then runs the programs under test as the Windows
// version it is asked to.
class BenchEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    RequireAnsweringDesktop();
    SweepPrefix();
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

::testing::Environment* const g_bench = ::testing::AddGlobalTestEnvironment(new BenchEnvironment);

}  // namespace

std::string ScreenUserLauncher() { return OnVersion4() ? "trinstall.exe" : "explorer.exe"; }

std::string WindowsDir() {
  char dir[MAX_PATH] = "";
  GetWindowsDirectoryA(dir, sizeof dir);
  std::string text = dir;
  if (!text.empty() && text.back() == '\\') text.pop_back();
  return text;
}

std::string LauncherPath() { return WindowsDir() + "\\verbalia.exe"; }

std::string ClassValue(const std::string& key, const char* name) {
  char value[MAX_PATH] = "";
  DWORD size = sizeof value;
  return RegGetValueA(HKEY_LOCAL_MACHINE, ("Software\\Classes\\" + key).c_str(), name, RRF_RT_REG_SZ, nullptr, value,
                      &size) == ERROR_SUCCESS
             ? value
             : "(none)";
}

ShortcutProperties ReadShortcut(const std::string& file) {
  ShortcutProperties properties;
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
      WCHAR wide[MAX_PATH];
      MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
      if (SUCCEEDED(persist->Load(wide, STGM_READ))) {
        properties.loaded = true;
        char text[MAX_PATH] = "";
        link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
        properties.path = text;
        text[0] = '\0';
        link->GetDescription(text, MAX_PATH);
        properties.description = text;
        text[0] = '\0';
        link->GetArguments(text, MAX_PATH);
        properties.arguments = text;
        text[0] = '\0';
        link->GetIconLocation(text, MAX_PATH, &properties.iconIndex);
        properties.iconPath = text;
      }
      persist->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return properties;
}

namespace {

// The names in a folder that match a wildcard.
std::vector<std::string> NamesLike(const std::string& folder, const char* pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    names.emplace_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

// A folder's path with its trailing separator; empty when it is not known.
std::string KnownFolder(int which) {
  char path[MAX_PATH] = "";
  return SHGetFolderPathA(nullptr, which, nullptr, 0, path) == S_OK ? std::string(path) + "\\" : std::string();
}

}  // namespace

std::string VirtualStoreOf(const std::string& folder) {
  const std::string local = KnownFolder(CSIDL_LOCAL_APPDATA);
  return local.empty() || folder.size() < 3 ? std::string() : local + "VirtualStore" + folder.substr(2);
}

std::string ProgramFilesFolder(const std::string& name) {
  char programFiles[MAX_PATH] = "";
  ExpandEnvironmentStringsA("%ProgramFiles%", programFiles, sizeof programFiles);
  return std::string(programFiles) + "\\" + name + "\\";
}

std::string GuardedFolder() { return WindowsDir().substr(0, 3) + "guarded\\"; }

void ClearFoldersOutsideScratch() {
  const std::string root = WindowsDir().substr(0, 3);
  DeleteFileA((root + "quop32.exe").c_str());
  const std::string client = ProgramFilesFolder(kProgramFilesClient), store = VirtualStoreOf(client);
  // The guarded folder last: a link may lead there.
  for (const std::string& folder : {root + "QUOP\\", client, store, GuardedFolder()}) {
    if (folder.size() > 3) DeleteTree(folder.substr(0, folder.size() - 1));
  }
}

void SweepPrefix() {
  // The entries of this process's own overrides, live, are left to them.
  const std::string own = "-" + std::to_string(GetCurrentProcessId()) + ".undo";
  std::vector<std::string> entries = NamesLike(JournalFolder(), "*.undo");
  std::sort(entries.rbegin(), entries.rend());
  for (const std::string& entry : entries) {
    if (entry.size() < own.size() || entry.compare(entry.size() - own.size(), own.size(), own) != 0) {
      Undo(JournalFolder() + entry);
    }
  }
  // Keys of the test's making: the chat links' classes, what a user chose
  // for them, the programs' own Wine settings, the recorder's log.
  NoChatLinkClaim::Remove();
  RegDeleteTreeA(HKEY_CURRENT_USER, kUserChoiceKey);
  for (const char* program : {"trinstall.exe", "urlhop32.exe"}) {
    RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\Wine\\AppDefaults\\") + program).c_str());
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, kUrlLogKey);
  for (const char* scheme : {"http", "mailto"}) SetRecorderAsHandler(scheme);
  // Files: system libraries that a test took out of the way and the files
  // that the programs under test write outside a test's scratch folder.
  char system[MAX_PATH] = "";
  GetSystemDirectoryA(system, sizeof system);
  for (const std::string& away : NamesLike(std::string(system) + "\\", "*.away")) {
    const std::string path = std::string(system) + "\\" + away;
    MoveFileExA(path.c_str(), path.substr(0, path.size() - 5).c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  const std::string windows = WindowsDir() + "\\";
  for (const std::string& left : NamesLike(windows, "qca*.tmp")) DeleteFileA((windows + left).c_str());
  for (const char* file : {"verbalia.exe", "req.txt"}) DeleteFileA((windows + file).c_str());
  ClearFoldersOutsideScratch();
}

DWORD ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return static_cast<DWORD>(dpi);
}

namespace {

constexpr char kDpiVariable[] = "QUOP_TEST_DPI";

// The failure texts of a GoogleTest JSON report, unescaped.
std::string FailuresIn(const std::string& report) {
  std::string failures;
  const std::string key = "\"failure\": \"";
  for (size_t at = report.find(key); at != std::string::npos; at = report.find(key, at)) {
    for (at += key.size(); at < report.size() && report[at] != '"'; ++at) {
      if (report[at] == '\\' && at + 1 < report.size()) {
        const char escaped = report[++at];
        failures += escaped == 'n' ? '\n' : escaped;
      } else {
        failures += report[at];
      }
    }
    failures += '\n';
  }
  return failures.empty() ? "no failure reported" : failures;
}

::testing::AssertionResult RunThisTestAtDpi(DWORD dpi) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  // Beside the test's own scratch folder, which the child's test empties.
  const std::string report = BuildPath("scratch\\at-" + std::to_string(dpi) + "-dpi.json");
  DeleteFileA(report.c_str());
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, sizeof self);
  RegistryValueOverride pixels("Control Panel\\Desktop", "LogPixels", dpi);
  SetEnvironmentVariableA(kDpiVariable, std::to_string(dpi).c_str());
  ui::Process child(self, std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name() +
                              " --gtest_output=json:" + report);
  SetEnvironmentVariableA(kDpiVariable, nullptr);
  if (auto ended = child.WaitExit(60000); !ended) return ended;
  const std::string ran = ReadFile(report);
  if (child.ExitCode() == 0 && ran.find("\"tests\": 1,") != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "at " << dpi << " DPI:\n" << FailuresIn(ran);
}

}  // namespace

void AtEachDpi(std::initializer_list<DWORD> dpis, const std::function<void()>& rows) {
  char asked[16] = "";
  const DWORD own = ScreenDpi();
  if (GetEnvironmentVariableA(kDpiVariable, asked, sizeof asked) > 0) {
    ASSERT_EQ(own, strtoul(asked, nullptr, 10)) << "the child was not laid out at the DPI asked for";
    rows();
    return;
  }
  for (const DWORD dpi : dpis) {
    SCOPED_TRACE(std::to_string(dpi) + " DPI");
    if (dpi == own) {
      rows();
    } else {
      EXPECT_TRUE(RunThisTestAtDpi(dpi));
    }
  }
}

}  // namespace testenv
