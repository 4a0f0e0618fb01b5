// The install road with the system failing under it: the fault injector
// (tests/support/faults.cpp) makes one call of the installer fail, or fills
// the disk part way, and after each run the files, the shortcut and the
// irc:// claim are as whole as the user was told.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "installer_run.h"
// After windows.h, which it needs.
#include <dlgs.h>

namespace {

using testenv::ReadFile;

const char* const kTargets[] = {"quop32.exe", "popups.ini", "urlhop32.exe"};
const char* const kSources[] = {"quop32.ca", "popups.ca", "urlhop32.ca"};
const char kUsersMenus[] = "[menus]\r\nmy own=1\r\n";
const char kOlderLauncher[] = "an older launcher";
const char kOtherClaim[] = "\"C:\\Xat\\xat.exe\" \"%1\"";
const char kClasses[] = "Software\\Classes\\irc";

// A first install over the English client, or a second over a translated
// one whose user has changed its menus since; there another program is
// named for irc:// links and an older launcher is in the Windows directory.
enum class Road { kFirst, kSecond };

std::string Launcher() { return testenv::WindowsDir() + "\\verbalia.exe"; }

// The value of a key of the machine's classes; "(none)" without it.
std::string ClassValue(const std::string& key, const char* name = nullptr) {
  char value[MAX_PATH] = "";
  DWORD size = sizeof value;
  return RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS
             ? value
             : "(none)";
}

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

// One run of the road, driven as a user would drive it: the client chosen,
// "Instal·lar", Yes to every question, only the shortcut offered taken, then
// "Sortir". Every message is noted.
class FaultRun {
 public:
  FaultRun(Road road, const std::string& fault, const std::string& disk = "")
      : road_(road),
        desktop_(testenv::ScratchDir() + "Desktop"),
        log_(testenv::ScratchDir() + "faults.log"),
        desktopValue_(kShellFolders, "Desktop", desktop_.c_str()),
        userDesktopValue_(kUserShellFolders, "Desktop", desktop_.c_str()) {
    const std::string pack = testenv::ScratchDir() + "pack\\", client = testenv::ScratchDir() + "client\\";
    // Each run starts afresh, also as a row of a table.
    testenv::DeleteTree(client);
    testenv::DeleteTree(desktop_);
    CreateDirectoryA(desktop_.c_str(), nullptr);
    LayOutPack(pack);
    MakeClient(client);
    DeleteFileA(Launcher().c_str());
    if (road == Road::kSecond) {
      CreateDirectoryA((client + "original").c_str(), nullptr);
      for (size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(CopyFileA((client + kTargets[i]).c_str(), (client + "original\\" + kTargets[i]).c_str(), FALSE));
        if (i != 1) {
          EXPECT_TRUE(CopyFileA((pack + kSources[i]).c_str(), (client + kTargets[i]).c_str(), FALSE));
        }
      }
      EXPECT_TRUE(testenv::WriteFile(client + "popups.ini", kUsersMenus));
      EXPECT_TRUE(testenv::WriteFile(Launcher(), kOlderLauncher));
    }
    for (size_t i = 0; i < 3; ++i) {
      before_[kTargets[i]] = ReadFile(client + kTargets[i]);
      translation_[kTargets[i]] = ReadFile(pack + kSources[i]);
    }
    earlier_ = ReadCopies(client);
    DeleteFileA(log_.c_str());
    faults_ = std::make_unique<PlantedFaults>(pack, fault, disk, log_);
    run_ = std::make_unique<InstallerRun>(false, pack);
    if (road == Road::kSecond) {
      EXPECT_EQ(RegSetValueA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + "\\shell\\open\\command").c_str(), REG_SZ,
                             kOtherClaim, 0),
                ERROR_SUCCESS);
    }
    Drive();
  }
  ~FaultRun() { DeleteFileA(Launcher().c_str()); }
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
    // No shortcut to a launcher that is not there, and none missing unsaid.
    const bool shortcut = testenv::FileExists(desktop_ + "\\Verbalia.LNK");
    const std::string launcher = ReadFile(Launcher());
    if (shortcut) {
      EXPECT_TRUE(launcher == ReadFile(testenv::BuildPath("weblauncher\\verbalia.exe")) || launcher == kOlderLauncher)
          << "a shortcut to no whole launcher";
    } else {
      EXPECT_FALSE(messages_.empty()) << "no shortcut, and nothing said so";
    }
    // The irc:// claim is whole or absent, and another program's is kept.
    const std::string command = ClassValue(std::string(kClasses) + "\\shell\\open\\command");
    if (road_ == Road::kSecond) {
      EXPECT_EQ(command, kOtherClaim);
    } else if (command != "(none)") {
      EXPECT_EQ(command, "\"" + client + "urlhop32.exe\" \"%1\"");
      EXPECT_EQ(ClassValue(kClasses), "URL:IRC Protocol");
      EXPECT_EQ(ClassValue(kClasses, "URL Protocol"), "");
      EXPECT_EQ(ClassValue(std::string(kClasses) + "\\DefaultIcon"), "\"" + client + "urlhop32.exe\",0");
    } else {
      EXPECT_EQ(ClassValue(kClasses), "(none)") << "half a claim";
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
  static constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  static constexpr char kUserShellFolders[] =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

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

  // After a button of the main dialog was pressed: answers every window that
  // the installer opens until only its main dialog is left, enabled and
  // idle. The press opens a window in any case (the file selection, a
  // message, the information dialog), which marks it as taken. False when
  // that did not come in time.
  bool Settle() {
    const DWORD id = run_->process->id();
    HWND main = run_->dialog;
    bool opened = false;
    return ui::WaitUntil(
        [&] {
          for (HWND window : ui::TopWindows(id)) {
            if (window != main) {
              opened = true;
              Answer(window);
              return false;
            }
          }
          if (!opened || !ui::IsEnabled(main)) return false;
          // The installer is idle once it has served a message in its own
          // loop and opened nothing meanwhile.
          DWORD_PTR ignored;
          SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
          return ui::IsEnabled(main) && ui::TopWindows(id).size() == 1;
        },
        30000);
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
    ui::WaitForWindowGone(window, 5000);
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
    results_ = ui::ControlText(run_->dialog, IDC_RESULTS);
    ui::Click(run_->dialog, IDCANCEL);
    ended_ = run_->process->WaitExit(10000) && run_->process->ExitCode() == 0;
  }

  Road road_;
  std::string desktop_, log_;
  testenv::RegistryValueOverride desktopValue_, userDesktopValue_;
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
// program or on a full disk, a copy folder chosen on a wrong answer, a
// launcher that cannot be written or moved, a claim that cannot be written
// or read, a library that cannot be loaded, memory that runs out.
TEST(Faults, EachFailureIsSaidAndLeavesEveryFileWhole) {
  const char kInstalled[] = "El Quop en català ja està instal·lat.";
  const char kNotReplaced[] = "No s'han pogut substituir aquests fitxers:";
  const char kNoShortcut[] = "No s'ha pogut crear l'accés directe a l'escriptori.";
  const struct {
    Road road;
    const char* fault;
    const char* disk;
    const char* said;  // how a message begins
  } rows[] = {
      {Road::kFirst, "", "", kInstalled},  // nothing fails
      {Road::kSecond, "", "", kInstalled},
      {Road::kFirst, "CopyFileA:1", "", "No s'ha pogut fer una còpia del Quop original quop32.exe."},
      {Road::kFirst, "CopyFileA:4", "", kNotReplaced},              // the first translation
      {Road::kFirst, "MoveFileExA:1", "", kNotReplaced},            // put in place
      {Road::kFirst, "", "600000", "No s'ha pogut fer una còpia"},  // the disk fills while copying
      {Road::kSecond, "", "100", kNotReplaced},                     // the disk is all but full
      // The copy folder chosen on a wrong answer of the system.
      {Road::kSecond, "GetFileAttributesA:4", "", kInstalled},
      {Road::kSecond, "CreateDirectoryA:1", "", "No s'ha pogut fer una còpia del Quop original popups.ini."},
      {Road::kFirst, "WriteFile:1", "", kNoShortcut},        // the launcher
      {Road::kFirst, "FindResourceExA:1", "", kNoShortcut},  // the launcher's resource
      {Road::kSecond, "MoveFileExA:2", "", kInstalled},      // the older launcher is kept
      {Road::kFirst, "CoCreateInstance:2", "", kNoShortcut},
      {Road::kFirst, "RegSetValueExA:2", "", kInstalled},   // "URL Protocol": no claim
      {Road::kSecond, "RegQueryValueA:1", "", kInstalled},  // the claim check: another's is kept
      {Road::kFirst, "GetFileVersionInfoSizeA:1", "", "El fitxer que heu seleccionat no és"},
      {Road::kFirst, "LoadLibraryA:3", "", "No s'ha pogut"},  // a library loaded on the way
      {Road::kFirst, "HeapAlloc:30", "", ""},                 // memory runs out
      // The desktop's shell that cannot say where the user's folders are, or
      // does not answer (hung): nothing is taken from the installer's own.
      {Road::kFirst, "CoCreateInstance:1", "", "No es poden revisar els menús que el Windows desa a part."},
      {Road::kFirst, "SendMessageTimeoutA:1", "", "No es poden revisar els menús que el Windows desa a part."},
      {Road::kFirst, "SendMessageTimeoutA:2", "", kNoShortcut},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(RoadName(row.road)) + ", " + row.fault + " " + row.disk);
    FaultRun run(row.road, row.fault, row.disk);
    EXPECT_TRUE(run.ended()) << "the installer did not end as asked";
    EXPECT_TRUE(!row.fault[0] || run.Injected()) << "the road makes no such call";
    std::string said;
    for (const std::string& message : run.messages()) said += "\n  " + message;
    EXPECT_TRUE(run.Said(row.said)) << "not said: " << row.said << "; said:" << said;
    run.ExpectWhole();
  }
}

// The calls of the road from the user's first press on that the injector
// takes over, made to fail in turn: every call of each function, or, of the
// reads and the heap's hundreds, twelve spread from the first to the last.
void Sweep(Road road) {
  std::map<std::string, int> calls, atStart;
  {
    FaultRun clean(road, "");
    calls = clean.Calls();
    atStart = clean.atStart();
  }
  ASSERT_FALSE(calls.empty()) << "the injector took over no call";
  for (const auto& function : calls) {
    const int first = atStart[function.first] + 1, count = function.second - first + 1, shown = 12;
    for (int step = 0; step < count && (count <= 2 * shown || step < shown); ++step) {
      const int call = count <= 2 * shown ? first + step : first + step * (count - 1) / (shown - 1);
      const std::string fault = function.first + ":" + std::to_string(call);
      SCOPED_TRACE(std::string(RoadName(road)) + ", " + fault);
      FaultRun run(road, fault);
      EXPECT_TRUE(run.ended()) << "the installer did not end as asked";
      run.ExpectWhole();
    }
  }
}

TEST(FaultSweep, EveryCallOfAFirstInstall) { Sweep(Road::kFirst); }
TEST(FaultSweep, EveryCallOfASecondInstall) { Sweep(Road::kSecond); }

}  // namespace
