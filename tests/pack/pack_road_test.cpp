// The pack as a user meets it: its installer on a fresh client installation,
// then chat links through the helper that it installed.
#include <gtest/gtest.h>

#include "standin_run.h"
#include "test_env.h"
#include "uidriver.h"

namespace {

void Copy(const std::string& from, const std::string& to) {
  ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << from;
}

// Runs the pack's installer on `client` through its whole road, offers declined.
void Install(const std::string& pack, const std::string& client) {
  ui::Process installer(pack + "trinstall.exe", "", pack);
  HWND main = ui::WaitForDialog(installer.id(), "Actualitzador del Quop 5.61");
  ASSERT_NE(main, nullptr);
  ui::Click(main, 3005);
  HWND open = ui::WaitForDialog(installer.id(), "Open");
  ASSERT_NE(open, nullptr);
  ui::SetText(ui::Control(open, 1148), client + "quop32.exe");
  ui::Click(open, IDOK);
  ASSERT_TRUE(ui::WaitUntil([&] { return ui::IsEnabled(ui::Control(main, 1006)); }));
  ui::Click(main, 1006);
  HWND done = ui::WaitForMessageBox(installer.id(), "trinstall");
  ASSERT_NE(done, nullptr);
  ui::AnswerMessageBox(done, IDOK);
  HWND info = ui::WaitForDialog(installer.id(), "Informació sobre programes en català");
  ASSERT_NE(info, nullptr);
  ui::Click(info, IDCANCEL);
  ASSERT_TRUE(ui::WaitUntil([&] { return ui::IsEnabled(main); }));
  ui::Click(main, IDCANCEL);
  ASSERT_TRUE(installer.WaitExit());
}

// Starts the installed helper as a browser does and waits for it to end.
void Link(const std::string& client, const std::string& request) {
  ui::Process helper(client + "urlhop32.exe", request, client);
  ASSERT_TRUE(helper.WaitExit());
  EXPECT_EQ(helper.ExitCode(), 0u);
}

TEST(Pack, InstallThenChatLinksThroughTheInstalledHelper) {
  const std::string scratch = testenv::ScratchDir();
  const std::string pack = scratch + "Descarregues\\quop-ca\\";
  const std::string client = scratch + "Quop\\";
  CreateDirectoryA((scratch + "Descarregues").c_str(), nullptr);
  CreateDirectoryA(pack.c_str(), nullptr);
  CreateDirectoryA(client.c_str(), nullptr);
  for (const char* file : {"trinstall.exe", "quop32.ca", "popups.ca", "urlhop32.ca"}) {
    Copy(testenv::BuildPath(std::string("pack\\quop-ca\\") + file), pack + file);
  }
  Copy(testenv::BuildPath("tests\\support\\standin\\quop32_us.exe"), client + "quop32.exe");
  Copy(testenv::SourcePath("tests\\support\\popups.ini"), client + "popups.ini");
  Copy(testenv::BuildPath("tests\\support\\donothing.exe"), client + "urlhop32.exe");
  Copy(testenv::SourcePath("tests\\support\\quop.ini"), client + "quop.ini");

  Install(pack, client);
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
    Link(client, plain);
    ASSERT_TRUE(WaitForStandInLines("poke", 1));
    EXPECT_EQ(StandInLog("poke")[0], (std::vector<std::string>{"CONNECT", "irc.example.cat,6667,#catala clau,1"}));
  }
  {
    SetStandInConfig({"CONNECTED=irc.example.cat", "SERVERPORT=irc.example.cat:6667"});
    StandInClient running("", client + "quop32.exe");
    ASSERT_TRUE(running.ready);
    Link(client, nschat);
    ASSERT_TRUE(WaitForStandInLines("poke", 2));
    EXPECT_EQ(StandInLog("poke")[1], (std::vector<std::string>{"CONNECT", "#xat,1"}));
  }
  // The client stopped: the helper starts it (from the path it learned and
  // recorded) with the request's switches.
  const size_t started = StandInLog("args").size();
  Link(client, plain);
  ASSERT_TRUE(WaitForStandInLines("args", started + 1));
  EXPECT_EQ(StandInLog("args").back(), (std::vector<std::string>{"-sirc.example.cat:6667", "-j#catala", "-pclau"}));
}

}  // namespace
