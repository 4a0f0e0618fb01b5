// The install road with the system failing under it: the fault injector
// (tests/support/faults.cpp) makes one call of the installer fail, or fills
// the disk part way, and after each run the files, the shortcut and the
// irc:// claim are as whole as the user was told.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "installer_road.h"
// After windows.h, which it needs.
#include <dlgs.h>

namespace {

using testenv::ClassValue;
using testenv::LauncherPath;
using testenv::ReadFile;

const char* const kTargets[] = {"quop32.exe", "popups.ini", "urlhop32.exe"};
const char* const kSources[] = {"quop32.ca", "popups.ca", "urlhop32.ca"};
const char kUsersMenus[] = "[menus]\r\nmy own=1\r\n";
const char kOlderLauncher[] = "an older launcher";
const char kOtherClaim[] = "\"C:\\Xat\\xat.exe\" \"%1\"";
const char kChatLinks[] = "irc";
const char kChatLinksCommand[] = "irc\\shell\\open\\command";

// A first install over the English client, or a second over a translated
// one whose user has changed its menus since; there another program is
// named for irc:// links and an older launcher is in the Windows directory.
enum class Road { kFirst, kSecond };

// The copy folders of a client: "original\" and "original.N\".
std::vector<std::string> CopyFolders(const std::string& client) {
  std::vector<std::string> folders;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((client + "original*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return folders;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) folders.push_back(client + found.cFileName + "\\");
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return folders;
}

// What a run makes fail: one call ("Name:N", "CopyFileA:N:short"), the
// disk filling after some bytes, and a function that the system lacks.
struct Fault {
  Fault(std::string failingCall = "", std::string diskRoom = "", std::string absentFunction = "")
      : call(std::move(failingCall)), disk(std::move(diskRoom)), absent(std::move(absentFunction)) {}
  std::string call, disk, absent;
};

// One run of the road, driven as a user would drive it: the client chosen,
// "Instal·lar", Yes to every question, only the shortcut offered taken, then
// "Sortir". Every message is noted.
class FaultRun {
 public:
  FaultRun(Road road, const Fault& fault)
      : road_(road),
        log_(testenv::ScratchDir() + "faults.log"),
        desktop_((ClearDesktop(), testenv::ScratchDir() + "Desktop")) {
    const std::string pack = testenv::ScratchDir() + "pack\\", client = testenv::ScratchDir() + "client\\";
    // Each run starts afresh, also as a row of a table, from a pack whose
    // files are read-only, as every file on a CD is.
    testenv::DeleteTree(client);
    testenv::DeleteTree(pack);
    LayOutPack(pack);
    for (const char* source : kSources) SetFileAttributesA((pack + source).c_str(), FILE_ATTRIBUTE_READONLY);
    MakeClient(client);
    DeleteFileA(LauncherPath().c_str());
    if (road == Road::kSecond) {
      CreateDirectoryA((client + "original").c_str(), nullptr);
      for (size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(CopyFileA((client + kTargets[i]).c_str(), (client + "original\\" + kTargets[i]).c_str(), FALSE));
        if (i != 1) {
          EXPECT_TRUE(CopyFileA((pack + kSources[i]).c_str(), (client + kTargets[i]).c_str(), FALSE));
        }
      }
      EXPECT_TRUE(testenv::WriteFile(client + "popups.ini", kUsersMenus));
      EXPECT_TRUE(testenv::WriteFile(LauncherPath(), kOlderLauncher));
    }
    for (size_t i = 0; i < 3; ++i) {
      before_[kTargets[i]] = ReadFile(client + kTargets[i]);
      translation_[kTargets[i]] = ReadFile(pack + kSources[i]);
    }
    earlier_ = ReadCopies(client);
    DeleteFileA(log_.c_str());
    faults_ = std::make_unique<PlantedFaults>(pack, fault.call, fault.disk, log_, fault.absent);
    run_ = std::make_unique<InstallerRun>(false, pack);
    if (road == Road::kSecond) {
      EXPECT_EQ(RegSetValueA(HKEY_LOCAL_MACHINE, (std::string("Software\\Classes\\") + kChatLinksCommand).c_str(),
                             REG_SZ, kOtherClaim, 0),
                ERROR_SUCCESS);
    }
    Drive();
  }
  ~FaultRun() { DeleteFileA(LauncherPath().c_str()); }
  FaultRun(const FaultRun&) = delete;
  FaultRun& operator=(const FaultRun&) = delete;

  // True when the injector made a call fail.
  bool Injected() const { return ReadFile(log_).find("\r\nfailed\r\n") != std::string::npos; }
  // The calls that the injector took over before the user's first press.
  const std::map<std::string, int>& atStart() const { return atStart_; }
  // The calls that the injector took over, counted by name.
  std::map<std::string, int> Calls() const {
    std::map<std::string, int> calls;
    const std::string text = ReadFile(log_);
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
      const std::string name = text.substr(start, end - start);
      if (name != "failed") ++calls[name];
    }
    return calls;
  }

  // What a user may rely on after any failure.
  void ExpectWhole() const {
    const std::string& client = run_->client;
    bool allTranslated = true;
    for (const char* target : kTargets) {
      SCOPED_TRACE(target);
      const std::string after = ReadFile(client + target);
      const bool translated = after == translation_.at(target);
      allTranslated = allTranslated && translated;
      EXPECT_TRUE(translated || after == before_.at(target)) << "neither the file it was nor its translation";
      // What was replaced has a whole copy, this run's or the earlier one,
      // unless the user was asked and went on without one.
      if (after != before_.at(target)) {
        bool copied = Said(std::string("No s'ha pogut fer una còpia del Quop original ") + target + ".");
        for (const auto& copy : ReadCopies(client)) copied = copied || copy.second == before_.at(target);
        EXPECT_TRUE(copied) << "replaced, and no whole copy of it is kept";
      }
    }
    // What was installed or copied has normal attributes, whatever its
    // source's: read-only files could not be saved over by the client, nor
    // replaced by a later install.
    std::vector<std::string> made;
    for (const char* target : kTargets) made.push_back(client + target);
    for (const auto& copy : ReadCopies(client)) made.push_back(copy.first);
    for (const std::string& file : made) {
      const DWORD attributes = GetFileAttributesA(file.c_str());
      EXPECT_TRUE(attributes == INVALID_FILE_ATTRIBUTES ||
                  !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
          << file << " has attributes " << attributes;
    }
    // Nothing cut stands under a copy's name: each is what its file held
    // before this run, or the earlier copy it was.
    const auto copies = ReadCopies(client);
    for (const auto& copy : copies) {
      const std::string name = copy.first.substr(copy.first.rfind('\\') + 1);
      const bool whole = (before_.count(name) && copy.second == before_.at(name)) ||
                         (earlier_.count(copy.first) && earlier_.at(copy.first) == copy.second);
      EXPECT_TRUE(whole) << copy.first << " is no whole copy";
    }
    for (const std::string& folder : {client, testenv::WindowsDir() + "\\"}) {
      EXPECT_FALSE(testenv::AnyFileLike(folder + "qca*.tmp")) << "a file left beside the others in " << folder;
    }
    for (const std::string& folder : CopyFolders(client)) {
      EXPECT_FALSE(testenv::AnyFileLike(folder + "qca*.tmp")) << "a file left in " << folder;
    }
    // The report says only what happened.
    EXPECT_TRUE(allTranslated || results_.find("Procés finalitzat!") == std::string::npos) << "reported as finished";
    const std::string backupLine = "La versió original del Quop ha estat copiada a '";
    if (size_t at = results_.find(backupLine); at != std::string::npos) {
      at += backupLine.size();
      const std::string folder = results_.substr(at, results_.find('\'', at) - at);
      for (const char* target : kTargets) {
        const std::string copy = folder + target;
        EXPECT_TRUE(!testenv::FileExists(copy) || ReadFile(copy) == before_.at(target)) << copy;
      }
    }
    EXPECT_TRUE(allTranslated || !messages_.empty()) << "the install did not complete and nothing said so";
    // The launcher is the new one whole, or exactly the one it replaces
    // (none on a first install); no shortcut leads to nothing, and none is
    // missing unsaid.
    const std::string launcher = ReadFile(LauncherPath());
    const bool newLauncher = launcher == ReadFile(testenv::BuildPath("weblauncher\\verbalia.exe"));
    const bool asBefore = road_ == Road::kSecond ? launcher == kOlderLauncher : !testenv::FileExists(LauncherPath());
    EXPECT_TRUE(newLauncher || asBefore) << "the launcher is neither the new one nor the one it was";
    if (testenv::FileExists(desktop_.Shortcut())) {
      EXPECT_TRUE(testenv::FileExists(LauncherPath())) << "a shortcut to no launcher";
    } else {
      EXPECT_FALSE(messages_.empty()) << "no shortcut, and nothing said so";
    }
    // The irc:// claim is whole or absent, and another program's is kept.
    const std::string command = ClassValue(kChatLinksCommand);
    if (road_ == Road::kSecond) {
      EXPECT_EQ(command, kOtherClaim);
    } else if (command != "(none)") {
      EXPECT_EQ(command, "\"" + client + "urlhop32.exe\" \"%1\"");
      EXPECT_EQ(ClassValue(kChatLinks), "URL:IRC Protocol");
      EXPECT_EQ(ClassValue(kChatLinks, "URL Protocol"), "");
      EXPECT_EQ(ClassValue(std::string(kChatLinks) + "\\DefaultIcon"), "\"" + client + "urlhop32.exe\",0");
    } else {
      EXPECT_EQ(ClassValue(kChatLinks), "(none)") << "half a claim";
    }
  }

  bool ended() const { return ended_; }
  // True when a message began with `text`.
  bool Said(const std::string& text) const {
    return std::any_of(messages_.begin(), messages_.end(),
                       [&](const std::string& message) { return message.rfind(text, 0) == 0; });
  }
  const std::vector<std::string>& messages() const { return messages_; }

 private:
  static void ClearDesktop() { testenv::DeleteTree(testenv::ScratchDir() + "Desktop"); }

  // Every file of the copy folders, by its path.
  static std::map<std::string, std::string> ReadCopies(const std::string& client) {
    std::map<std::string, std::string> copies;
    for (const std::string& folder : CopyFolders(client)) {
      for (const char* target : kTargets) {
        if (testenv::FileExists(folder + target)) copies[folder + target] = ReadFile(folder + target);
      }
    }
    return copies;
  }

  // After a button of the main dialog was pressed: answers each window that
  // the installer opens, once, until the installer is idle with only its
  // main dialog left. The press opens a window in any case (the file
  // selection, a message, the information dialog), which marks it as taken.
  ui::AssertionResult Settle() {
    const DWORD id = run_->process->id();
    HWND main = run_->dialog;
    std::set<HWND> answered;
    int quietRounds = 0;
    return ui::WaitUntil(
        [&] {
          bool others = false;
          for (HWND window : ui::TopWindows(id)) {
            if (window == main) continue;
            others = true;
            // Answered once it has its title: a window is shown for a moment
            // before its title is set.
            if (!ui::Text(window).empty() && answered.insert(window).second) Answer(window);
          }
          // Idle: a message served in its own loop twice in a row with
          // only the main dialog open, enabled.
          DWORD_PTR ignored;
          const bool quiet = !others && ui::IsEnabled(main) &&
                             SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
          quietRounds = quiet ? quietRounds + 1 : 0;
          return !answered.empty() && quietRounds >= 2;
        },
        [&] { return "open: " + ui::DescribeWindows(id); }, 30000);
  }

  void Answer(HWND window) {
    const std::string title = ui::Text(window);
    if (title == "Open") {
      ui::SetText(ui::Control(window, cmb13), run_->client + "quop32.exe");
      ui::Click(window, IDOK);
    } else if (title == kInfoTitle) {
      PostMessageA(ui::Control(window, IDC_SUBSCRIBE), BM_SETCHECK, BST_UNCHECKED, 0);
      ui::Click(window, IDOK);
    } else if (title == kCaption) {
      messages_.push_back(ui::MessageBoxText(window));
      ui::AnswerMessageBox(window, ui::Control(window, IDYES) ? IDYES : IDOK);
    } else {
      ADD_FAILURE() << "an unexpected window: " << title;
      ui::CloseBox(window);
    }
  }

  void Drive() {
    if (!run_->dialog) return;
    atStart_ = Calls();
    ui::Click(run_->dialog, IDC_BROWSE);
    EXPECT_TRUE(Settle()) << "the choice did not end";
    if (ui::IsEnabled(ui::Control(run_->dialog, IDC_INSTALL))) {
      ui::Click(run_->dialog, IDC_INSTALL);
      EXPECT_TRUE(Settle()) << "the install did not end";
    }
    results_ = run_->Results();
    ui::Click(run_->dialog, kSortir);
    const ui::AssertionResult ended = run_->process->WaitExit(10000);
    EXPECT_TRUE(ended);
    ended_ = ended && run_->process->ExitCode() == 0;
  }

  Road road_;
  std::string log_;
  testenv::DesktopFolder desktop_;
  std::unique_ptr<PlantedFaults> faults_;
  std::map<std::string, std::string> before_, translation_, earlier_;
  std::unique_ptr<InstallerRun> run_;
  std::map<std::string, int> atStart_;
  std::vector<std::string> messages_;
  std::string results_;
  bool ended_ = false;
};

const char* RoadName(Road road) { return road == Road::kFirst ? "first install" : "second install"; }

// The failures that users meet, each a row: a file held by a running
// program or on a full disk, a copy cut short, a copy folder chosen on a
// wrong answer, a launcher that cannot be written or moved, a claim that
// cannot be written or read, a library that cannot be loaded, memory that
// runs out, and the replace of the systems that lack MoveFileExA.
TEST(Faults, EachFailureIsSaidAndLeavesEveryFileWhole) {
  const char kDone[] = "El Quop en català ja està instal·lat.";
  const char kNotReplaced[] = "No s'han pogut substituir aquests fitxers:";
  const char kNoShortcut[] = "No s'ha pogut crear la icona a l'escriptori.";
  const char kNoFirstCopy[] = "No s'ha pogut fer una còpia del Quop original quop32.exe.";
  const char kNoMenusCopy[] = "No s'ha pogut fer una còpia del Quop original popups.ini.";
  const char kNoUserFolders[] = "No es poden revisar els menús que el Windows desa a part.";
  const struct {
    Road road;
    Fault fault;
    const char* said;  // how a message begins
  } rows[] = {
      {Road::kFirst, {}, kDone},  // nothing fails
      {Road::kSecond, {}, kDone},
      {Road::kFirst, {"WriteFile:1"}, kNoFirstCopy},
      {Road::kFirst, {"MoveFileExA:4"}, kNotReplaced},  // the first translation put in place
      // A copy cut short but said to be whole: the first copy, the first translation.
      {Road::kSecond, {"WriteFile:1:short"}, kNoMenusCopy},
      {Road::kSecond, {"WriteFile:2:short"}, kNotReplaced},
      // A moment's lock (an antivirus reading a fresh file) is waited out;
      // one that lasts is said.
      {Road::kFirst, {"CreateFileA:12:locked:3"}, kDone},  // the first copy's source
      {Road::kFirst, {"MoveFileExA:4:locked:3"}, kDone},
      {Road::kFirst, {"MoveFileExA:4:locked:1000"}, kNotReplaced},
      {Road::kFirst, {"", "600000"}, "No s'ha pogut fer una còpia"},  // the disk fills while copying
      {Road::kSecond, {"", "100"}, kNotReplaced},                     // the disk is all but full
      // The copy folder chosen on a wrong answer of the system.
      {Road::kSecond, {"GetFileAttributesA:2"}, kDone},
      {Road::kSecond, {"CreateDirectoryA:1"}, kNoMenusCopy},
      {Road::kFirst, {"GetFileSize:1"}, kNoShortcut},      // the launcher written
      {Road::kFirst, {"FindResourceExA:1"}, kNoShortcut},  // the launcher's resource
      {Road::kSecond, {"MoveFileExA:3"}, kDone},           // the older launcher is kept
      {Road::kFirst, {"CoCreateInstance:3"}, kNoShortcut},
      {Road::kFirst, {"RegSetValueExA:2"}, kDone},  // "URL Protocol": no claim
      {Road::kSecond, {"RegOpenKeyExA:1"}, kDone},  // the claim check: another's is kept
      {Road::kFirst, {"GetFileVersionInfoSizeA:1"}, "El fitxer que heu seleccionat no és"},
      {Road::kFirst, {"LoadLibraryA:3"}, "No s'ha pogut"},  // a library loaded on the way
      {Road::kFirst, {"HeapAlloc:30"}, ""},                 // memory runs out
      // The desktop's shell that cannot say where the user's folders are,
      // does not answer (hung), or hangs in a call: nothing is taken from
      // the installer's own, and nothing waits without a limit.
      {Road::kFirst, {"CoCreateInstance:2"}, kNoUserFolders},
      {Road::kFirst, {"SendMessageTimeoutA:1"}, kNoUserFolders},
      {Road::kFirst, {"CoCreateInstance:2:hang"}, kNoUserFolders},
      {Road::kFirst, {"SendMessageTimeoutA:2"}, kNoShortcut},
      // Windows 95 and 98: the replace without MoveFileExA.
      {Road::kFirst, {"", "", "MoveFileExA"}, kDone},
      {Road::kSecond, {"", "", "MoveFileExA"}, kDone},
  };
  for (const auto& row : rows) {
    const Fault& fault = row.fault;
    SCOPED_TRACE(std::string(RoadName(row.road)) + ", " + fault.call + " " + fault.disk + " " + fault.absent);
    FaultRun run(row.road, fault);
    EXPECT_TRUE(run.ended()) << "the installer did not end as asked";
    EXPECT_TRUE(fault.call.empty() || run.Injected()) << "the road makes no such call";
    std::string said;
    for (const std::string& message : run.messages()) said += "\n  " + message;
    EXPECT_TRUE(run.Said(row.said)) << "not said: " << row.said << "; said:" << said;
    run.ExpectWhole();
  }
}

// The calls of the road from the user's first press on that the injector
// takes over, made to fail in turn: every call of each function (of `only`,
// when given), or, of the reads and the heap's hundreds, twelve spread from
// the first to the last; on a system that lacks `absent`.
void Sweep(Road road, const std::string& absent = "", const std::string& only = "") {
  std::map<std::string, int> calls, atStart;
  {
    FaultRun clean(road, {"", "", absent});
    calls = clean.Calls();
    atStart = clean.atStart();
  }
  ASSERT_FALSE(calls.empty()) << "the injector took over no call";
  for (const auto& function : calls) {
    if (!only.empty() && function.first != only) continue;
    const int first = atStart[function.first] + 1, count = function.second - first + 1, shown = 12;
    for (int step = 0; step < count && (count <= 2 * shown || step < shown); ++step) {
      const int call = count <= 2 * shown ? first + step : first + step * (count - 1) / (shown - 1);
      const std::string fault = function.first + ":" + std::to_string(call);
      SCOPED_TRACE(std::string(RoadName(road)) + ", " + fault + (absent.empty() ? "" : ", without " + absent));
      FaultRun run(road, {fault, "", absent});
      EXPECT_TRUE(run.ended()) << "the installer did not end as asked";
      run.ExpectWhole();
    }
  }
}

TEST(FaultSweep, EveryCallOfAFirstInstall) { Sweep(Road::kFirst); }
TEST(FaultSweep, EveryCallOfASecondInstall) { Sweep(Road::kSecond); }
// Windows 95 and 98 put a file in place by moves alone: each one that fails.
TEST(FaultSweep, EveryMoveOfASecondInstallWithoutMoveFileEx) { Sweep(Road::kSecond, "MoveFileExA", "MoveFileA"); }

}  // namespace
