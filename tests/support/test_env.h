// The surroundings of one end-to-end test: build paths, a scratch folder of
// its own, the URL recorder's log, the shell's URL handlers, and the prefix
// as every test program finds it: whatever a test changes in the registry
// or the Windows folders is put back by the test, and, when the test was
// killed before it could, swept before the next test program's first test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "url_log.h"

namespace testenv {

// A path inside the build folder, such as "weblauncher\\verbalia.exe".
std::string BuildPath(const std::string& relative);
// The deliverable 32-bit build's file when this is the 64-bit bench, else "".
std::string DeliverablePath(const std::string& relative);
std::string SourcePath(const std::string& relative);

// A folder of the running test's own (ends with a backslash): emptied when
// the test first asks for it, the same folder on later calls.
std::string ScratchDir();

std::string ReadFile(const std::string& path);
// Removes a folder and everything in it, read-only files included; a link
// (there or inside) is removed, not followed.
void DeleteTree(const std::string& dir);
bool WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// True while a process of this name runs.
bool ProgramRuns(const char* name);
// Makes `link` a symbolic link to the folder `target` as Wine's file system
// holds one (a host's symbolic link, which Windows programs there see as a
// junction): Wine's own CreateSymbolicLink makes none. Both are Windows
// paths without a trailing separator.
::testing::AssertionResult MakeLink(const std::string& link, const std::string& target);
// Makes `link` a second name of the file `target` (a hard link).
::testing::AssertionResult MakeHardLink(const std::string& link, const std::string& target);
// Removes such a link (the folder it leads to stays), if there is one.
void RemoveLink(const std::string& link);
// True when a file matches the wildcard `pattern` ("C:\\windows\\qca*.tmp").
bool AnyFileLike(const std::string& pattern);

class RegistryValueOverride;

// Puts the prefix back as the bench made it: undoes what the registry
// overrides of killed tests left (newest first), and removes whatever else
// a test can leave: the irc: classes, the programs' Wine settings, system
// libraries moved aside, files in the Windows directory and the folders that
// tests make outside their scratch folders. Every test program does it
// before its first test, and the bench when it comes up.
void SweepPrefix();
// Removes the folders that tests make outside their scratch folders (the
// client under Program Files, its VirtualStore, the guarded folder, C:\\QUOP).
void ClearFoldersOutsideScratch();

// What the user chose for irc:// links (Windows 8 on), which wins over any class.
constexpr char kUserChoiceKey[] = "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\irc\\UserChoice";

// A client installed under Program Files for a test (the folder's name
// there), the folder where Windows Vista on keeps apart what the client
// writes into a folder (empty when not known), and a folder that only an
// administrator may change, which a link may lead to.
constexpr char kProgramFilesClient[] = "Quop test";
std::string ProgramFilesFolder(const std::string& name);
std::string VirtualStoreOf(const std::string& folder);
std::string GuardedFolder();

// Where the URL recorder finds its log when its environment has none: the
// desktop's shell starts it with an environment of its own.
constexpr char kUrlLogKey[] = "Software\\Quop test bench";
constexpr char kUrlLogValue[] = "URL log";

// Points the URL recorder at a log of this test's own (through the
// environment, which the programs under test and the shell pass on, and
// the registry, for what the desktop's shell starts).
class UrlLog {
 public:
  UrlLog();
  ~UrlLog();
  std::vector<urllog::Entry> Entries() const;
  std::vector<std::string> Urls() const;
  // Waits until the log holds at least `count` entries.
  ::testing::AssertionResult WaitForCount(size_t count, DWORD timeoutMs = 15000) const;
  // The URLs once no recorder runs any more: what a program that is idle
  // has handed the shell (a recorder it started has written its line).
  std::vector<std::string> UrlsAtRest() const;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::unique_ptr<RegistryValueOverride> registryPath_;
};

// Removes the shell's handler of a URL scheme for the life of the object
// and puts it back afterwards.
class RemovedUrlHandler {
 public:
  explicit RemovedUrlHandler(const std::string& scheme);
  ~RemovedUrlHandler();
  RemovedUrlHandler(const RemovedUrlHandler&) = delete;
  RemovedUrlHandler& operator=(const RemovedUrlHandler&) = delete;

 private:
  std::string scheme_;
};

// Gives a registry value of the current user another text (or removes it,
// when `value` is null) for the life of the object, then puts it back. What
// it was is noted in the bench's journal first, for SweepPrefix.
class RegistryValueOverride {
 public:
  RegistryValueOverride(const std::string& key, const std::string& name, const char* value);
  // A number (REG_DWORD) instead.
  RegistryValueOverride(const std::string& key, const std::string& name, DWORD value);
  ~RegistryValueOverride();
  RegistryValueOverride(const RegistryValueOverride&) = delete;
  RegistryValueOverride& operator=(const RegistryValueOverride&) = delete;

 private:
  void Set(DWORD type, const void* value, DWORD size);

  std::string key_, name_, journal_;
};

// The user's desktop folder is `folder` (made here) for the life of the
// object: both values that the shell reads it from name it.
class DesktopFolder {
 public:
  explicit DesktopFolder(const std::string& folder);
  const std::string& path() const { return folder_; }
  // The desktop shortcut that the installer makes there.
  std::string Shortcut() const { return folder_ + "\\Verbalia.LNK"; }

 private:
  std::string folder_;
  RegistryValueOverride shellFolders_, userShellFolders_;
};

// No program named for irc:// links, for the life of the object: the
// machine's and the user's claims are taken away first and afterwards
// (the installer names the link helper where no program is named).
class NoChatLinkClaim {
 public:
  NoChatLinkClaim() { Remove(); }
  ~NoChatLinkClaim() { Remove(); }
  NoChatLinkClaim(const NoChatLinkClaim&) = delete;
  NoChatLinkClaim& operator=(const NoChatLinkClaim&) = delete;
  static void Remove();
};

// A library of the system directory as one program meets it, for the life
// of the object: the prefix's own file is taken out of the system directory,
// and the program may load only a library that is not Wine's own ("native"
// in its per-program settings), as on a system that lacks the library or
// ships another. Put places a file of the test's (a stand-in) there.
class SystemLibrary {
 public:
  SystemLibrary(const std::string& program, const std::string& library);
  ~SystemLibrary();
  SystemLibrary(const SystemLibrary&) = delete;
  SystemLibrary& operator=(const SystemLibrary&) = delete;
  bool Put(const std::string& file);

 private:
  std::string path_;
  RegistryValueOverride nativeOnly_;
};

// The common dialogs library as Windows 95, 98 and NT 4.0 have it, for one
// program: a stand-in that takes the open-file request only in their size
// and then "chooses" `pick`, and logs the size of every request. There is
// none until Install.
class OlderFileSelection {
 public:
  OlderFileSelection(const std::string& program, const std::string& pick);
  ~OlderFileSelection();
  bool Install();
  // The log: a line "size N" a request.
  std::string Sizes() const;
  // What the log holds after `count` requests in the size those systems take.
  static std::string Accepted(int count);

 private:
  SystemLibrary library_;
  std::string log_;
};

// The Windows version that the programs under test are run as: the value of
// %QUOP_WINDOWS_VERSION% ("win95", "nt40"), set for urlhop32.exe and
// trinstall.exe in Wine's per-program settings for the whole test program;
// empty for the prefix's own version.
std::string WindowsVersion();
// True when that version is 4.x, the version of the newer shell's first
// systems (Windows 95 and NT 4.0).
bool OnVersion4();

// The program that starts what the installer opens for the person at the
// screen: the desktop's shell where the installer runs elevated (always,
// under Wine, from the version of Vista on), else the installer itself.
std::string ScreenUserLauncher();

// The Windows directory, with no trailing backslash.
std::string WindowsDir();
// The web launcher that the installer writes there.
std::string LauncherPath();

// A value of the machine's class key "Software\\Classes\\<key>" (its
// default value when `name` is null); "(none)" when there is none.
std::string ClassValue(const std::string& key, const char* name = nullptr);

// What a shortcut file holds, as the shell reads it.
struct ShortcutProperties {
  bool loaded = false;
  std::string path, description, arguments, iconPath;
  int iconIndex = -1;
};
ShortcutProperties ReadShortcut(const std::string& file);

// The DPI that this process lays its windows out at.
DWORD ScreenDpi();

// Runs `rows` at each DPI of `dpis`: here at this process's own, and at any
// other in a child process that runs the current test again, started with
// the prefix's LogPixels set to that DPI (the programs that a row starts
// meanwhile are laid out at it too). In such a child, `rows` runs once, at
// the child's DPI.
void AtEachDpi(std::initializer_list<DWORD> dpis, const std::function<void()>& rows);

}  // namespace testenv
