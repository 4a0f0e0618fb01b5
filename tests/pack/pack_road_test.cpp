// The pack as a user meets it: the zip unpacked afresh (by the test's
// fixture), its note, its installer on a fresh client installation, then chat
// links through the helper that it installed.
#include <gtest/gtest.h>

#include <algorithm>

#include "installer_road.h"
#include "standin_run.h"
// After windows.h, which it needs.
#include <shellapi.h>

namespace {

// The folder that the zip unpacks to.
std::string Unpacked() { return testenv::BuildPath("pack-unpacked\\quop-ca\\"); }

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

TEST(Pack, TheZipHoldsTheInstallerTheTranslationsAndANoteInCatalan) {
  EXPECT_EQ(FilesIn(Unpacked()),
            (std::vector<std::string>{"LLEGIU-ME.TXT", "popups.ca", "quop32.ca", "trinstall.exe", "urlhop32.ca"}));
  const std::string note = testenv::ReadFile(Unpacked() + "LLEGIU-ME.TXT");
  ASSERT_FALSE(note.empty());
  // A Windows text file: CR LF line ends, lines that fit Notepad's window,
  // code page 1252 (its letters as single bytes, none of its five holes).
  size_t line = 0, column = 0;
  for (size_t i = 0; i < note.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(note[i]);
    if (c == '\r') {
      EXPECT_TRUE(i + 1 < note.size() && note[i + 1] == '\n') << "a CR without LF on line " << line + 1;
    } else if (c == '\n') {
      EXPECT_TRUE(i > 0 && note[i - 1] == '\r') << "an LF without CR on line " << line + 1;
      ++line;
      column = 0;
    } else {
      EXPECT_LE(++column, 76u) << "line " << line + 1;
      EXPECT_TRUE(c >= 0x20 && c != 0x7F && c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D)
          << "byte " << static_cast<int>(c) << " on line " << line + 1;
    }
  }
  EXPECT_NE(note.find("QUOP EN CATAL\xC0"), std::string::npos) << "not code page 1252";
  EXPECT_NE(note.find("http://www.verbalia.cat/"), std::string::npos);
  EXPECT_NE(note.find("novetats@verbalia.cat"), std::string::npos);

  // The messages it quotes, as the installer shows them: the texts of its
  // string table, each on lines of their own, a file name where "%s" stands.
  HMODULE installer = LoadLibraryExA((Unpacked() + "trinstall.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(installer, nullptr);
  for (UINT id : {105u, 106u, 108u, 111u, 112u, 117u, 118u, 119u, 120u}) {
    SCOPED_TRACE(id);
    char text[1024] = "";
    ASSERT_GT(LoadStringA(installer, id, text, sizeof text), 0);
    std::string shown;
    for (const char* p = text; *p; ++p) shown += *p == '\n' ? std::string("\r\n") : std::string(1, *p);
    const size_t hole = shown.find("%s");
    const std::string before = shown.substr(0, hole), after = hole == std::string::npos ? "" : shown.substr(hole + 2);
    const size_t at = note.find("\r\n" + before);
    ASSERT_NE(at, std::string::npos) << "not quoted: " << before;
    if (!after.empty()) {
      EXPECT_NE(note.find(after, at + before.size()), std::string::npos) << after;
    }
  }
  FreeLibrary(installer);
}

void Copy(const std::string& from, const std::string& to) {
  ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << from;
}

// Starts the installed helper as a browser does and waits for it to end.
void Link(const std::string& client, const std::string& request) {
  ui::Process helper(client + "urlhop32.exe", request, client);
  ASSERT_TRUE(helper.WaitExit());
  EXPECT_EQ(helper.ExitCode(), 0u);
}

TEST(Pack, InstallThenChatLinksThroughTheInstalledHelper) {
  const std::string scratch = testenv::ScratchDir();
  const std::string pack = Unpacked();
  // The pack's installer on a client installation, its whole road; the
  // install names the helper for irc:// links (until the run's end).
  InstallerRun run(true, pack);
  const std::string client = run.client;
  ASSERT_NO_FATAL_FAILURE(Copy(testenv::SourcePath("tests\\support\\quop.ini"), client + "quop.ini"));
  ASSERT_NO_FATAL_FAILURE(run.InstallWhole());
  ASSERT_TRUE(run.Quit());
  ASSERT_EQ(testenv::ReadFile(client + "urlhop32.exe"), testenv::ReadFile(pack + "urlhop32.ca"));

  const std::string plain = scratch + "link.txt";
  testenv::WriteFile(plain, "server irc.example.cat\nchannel catala\npassword clau\n");
  const std::string nschat = scratch + "link.chat";
  testenv::WriteFile(nschat, "[nschat]\r\nserverName=irc.example.cat\r\nchannelName=xat\r\n");
  StandInLogPath();
  {
    // The (now Catalan) client runs, connected to the server of the requests.
    SetStandInConfig({"CONNECTED=not connected", "EXENAME=" + client + "quop32.exe"});
    StandInClient running("", client + "quop32.exe");
    ASSERT_TRUE(running.ready);
    ASSERT_NO_FATAL_FAILURE(Link(client, plain));
    ASSERT_TRUE(WaitForStandInLines("poke", 1));
    EXPECT_EQ(StandInLog("poke")[0], (std::vector<std::string>{"CONNECT", "irc.example.cat,6667,#catala clau,1"}));
  }
  {
    SetStandInConfig({"CONNECTED=irc.example.cat", "SERVERPORT=irc.example.cat:6667"});
    StandInClient running("", client + "quop32.exe");
    ASSERT_TRUE(running.ready);
    ASSERT_NO_FATAL_FAILURE(Link(client, nschat));
    ASSERT_TRUE(WaitForStandInLines("poke", 2));
    EXPECT_EQ(StandInLog("poke")[1], (std::vector<std::string>{"CONNECT", "#xat,1"}));
  }
  {
    // A web page's irc:// link, opened as a browser opens it: the shell
    // starts the helper that the install named, which asks first.
    SetStandInConfig({"CONNECTED=not connected"});
    StandInClient running("", client + "quop32.exe");
    ASSERT_TRUE(running.ready);
    ASSERT_GT(reinterpret_cast<INT_PTR>(
                  ShellExecuteA(nullptr, "open", "irc://irc.example.cat/catala?key=clau", nullptr, nullptr, SW_SHOW)),
              32);
    HWND link = nullptr;
    ASSERT_TRUE(ui::WaitForWindow({0, "QuopLink Connexió", "#32770"}, link));
    ui::Click(link, IDOK);
    ASSERT_TRUE(WaitForStandInLines("poke", 3));
    EXPECT_EQ(StandInLog("poke")[2], (std::vector<std::string>{"CONNECT", "irc.example.cat,6667,#catala clau,1"}));
    EXPECT_TRUE(ui::WaitForWindowGone(link));
  }
  // The client stopped: the helper starts it (from the path it learned and
  // recorded) with the request's switches.
  const size_t started = StandInLog("args").size();
  ASSERT_NO_FATAL_FAILURE(Link(client, plain));
  ASSERT_TRUE(WaitForStandInLines("args", started + 1));
  EXPECT_EQ(StandInLog("args").back(), (std::vector<std::string>{"-sirc.example.cat:6667", "-j#catala", "-pclau"}));
}

}  // namespace
