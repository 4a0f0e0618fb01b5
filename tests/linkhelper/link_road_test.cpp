// The browser's road: the real urlhop32.exe started with a chat request
// file, against the stand-in client (its log shows what it received).
#include <gtest/gtest.h>

#include "dde_client.h"
#include "helper_run.h"
// After windows.h, which it needs.
#include <dde.h>

namespace {

using Fields = std::vector<std::string>;

const char kAskTitle[] = "QuopLink Confirmació";
const char kWarnTitle[] = "QuopLink Advertència de versió";
const char kLinkTitle[] = "QuopLink Connexió";

// The pokes the running client received.
std::vector<std::string> Pokes() {
  std::vector<std::string> texts;
  for (const auto& poke : StandInLog("poke")) texts.push_back(poke.size() > 1 ? poke[1] : "");
  return texts;
}

// The arguments of the clients started since the test's own one.
std::vector<Fields> StartedClients(size_t own = 1) {
  auto starts = StandInLog("args");
  return std::vector<Fields>(starts.begin() + static_cast<long>(std::min(own, starts.size())), starts.end());
}

struct RunningClient {
  explicit RunningClient(const std::vector<std::string>& config) {
    SetStandInConfig(config);
    client = std::make_unique<StandInClient>();
    EXPECT_TRUE(client->ready);
  }
  std::unique_ptr<StandInClient> client;
};

// --------------------------------------------------------------------------
// A running client that is not connected gets the full connect order.

TEST(LinkRoad, ANotConnectedClientGetsTheConnectText) {
  HelperSetup setup;
  RunningClient running({"CONNECTED=not connected"});
  EXPECT_EQ(setup.Run(setup.Request("req.txt", kPlainRequest)), 0);
  EXPECT_EQ(Pokes(), std::vector<std::string>{"irc.example.cat,7000,#catala clau,1"});
  EXPECT_TRUE(StartedClients().empty());
}

TEST(LinkRoad, NotConnectedIsReadInAnyCase) {
  HelperSetup setup;
  RunningClient running({"CONNECTED=Not Connected"});
  EXPECT_EQ(setup.Run(setup.Request("req.txt", "server irc.example.cat\nchannel catala\n")), 0);
  EXPECT_EQ(Pokes(), std::vector<std::string>{"irc.example.cat,6667,#catala,1"});
}

TEST(LinkRoad, TheNschatFormIsReadFirst) {
  HelperSetup setup;
  RunningClient running({"CONNECTED=not connected"});
  const std::string request = "[nschat]\r\nserverName=irc.nschat.cat\r\nport=6668\r\nchannelName=xat\r\n";
  EXPECT_EQ(setup.Run(setup.Request("req.chat", request)), 0);
  EXPECT_EQ(Pokes(), std::vector<std::string>{"irc.nschat.cat,6668,#xat,1"});
}

TEST(LinkRoad, ServerAndPortWithoutAChannelGiveAnEmptyChannelField) {
  HelperSetup setup;
  RunningClient running({"CONNECTED=not connected"});
  EXPECT_EQ(setup.Run(setup.Request("req.txt", "server irc.example.cat\nport 7000\n")), 0);
  EXPECT_EQ(Pokes(), std::vector<std::string>{"irc.example.cat,7000,,1"});
}

// --------------------------------------------------------------------------
// A connected client: the same server (any port) or no server asked for
// gives the join order; another server gives a question.

TEST(LinkRoad, TheSameServerOnAnotherPortGetsTheJoinText) {
  HelperSetup setup;
  RunningClient running({"CONNECTED=irc.example.cat", "SERVERPORT=IRC.Example.cat:6668"});
  EXPECT_EQ(setup.Run(setup.Request("req.txt", kPlainRequest)), 0);
  EXPECT_EQ(Pokes(), std::vector<std::string>{"#catala clau,1"});
}

TEST(LinkRoad, OnlyAChannelGetsTheJoinTextWithoutAQuestion) {
  HelperSetup setup;
  RunningClient running({"CONNECTED=yes", "SERVERPORT=other.example.net:6667"});
  EXPECT_EQ(setup.Run(setup.Request("req.txt", "channel catala\n")), 0);
  EXPECT_EQ(Pokes(), std::vector<std::string>{"#catala,1"});
}

// Answers the question dialog with one of its buttons and returns the pokes.
std::vector<std::string> AnswerQuestion(const char* request, int radio, int button, bool expectTwoChoices = false) {
  HelperSetup setup;
  RunningClient running({"CONNECTED=yes", "SERVERPORT=other.example.net:6667"});
  auto helper = setup.Start(setup.Request("req.txt", request));
  HWND ask = HelperSetup::WaitForDialog(*helper, kAskTitle);
  EXPECT_NE(ask, nullptr);
  if (!ask) return {};
  EXPECT_EQ(ui::ControlText(ask, IDC_ASK_CURRENT_SERVER), "other.example.net:6667");
  EXPECT_EQ(ui::ControlText(ask, IDC_ASK_REQUESTED_SERVER), "irc.example.cat:6667");
  EXPECT_TRUE(ui::IsChecked(ui::Control(ask, IDC_ASK_CHANGE_SERVER)));
  if (expectTwoChoices) {
    EXPECT_FALSE(ui::IsVisible(ui::Control(ask, IDC_ASK_JOIN_HERE)));
    EXPECT_FALSE(ui::IsEnabled(ui::Control(ask, IDC_ASK_JOIN_HERE)));
    EXPECT_EQ(ui::Control(ask, IDC_ASK_REQUESTED_CHANNEL), nullptr);
  } else {
    EXPECT_EQ(ui::ControlText(ask, IDC_ASK_REQUESTED_CHANNEL), "#catala");
  }
  if (radio) {
    for (int id : {IDC_ASK_CHANGE_SERVER, IDC_ASK_JOIN_HERE, IDC_ASK_ANOTHER_COPY}) {
      SendMessageA(ui::Control(ask, id), BM_SETCHECK, id == radio ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
  if (button == -1) {
    ui::PressKey(ask, VK_ESCAPE);
  } else {
    ui::Click(ask, button);
  }
  EXPECT_TRUE(helper->WaitExit());
  EXPECT_EQ(helper->ExitCode(), 0u);
  return Pokes();
}

TEST(AskDialog, ChangeServerGivesTheConnectText) {
  EXPECT_EQ(AnswerQuestion("server irc.example.cat\nchannel catala\n", 0, IDOK),
            std::vector<std::string>{"irc.example.cat,6667,#catala,1"});
}

TEST(AskDialog, JoinOnTheCurrentServerGivesTheJoinText) {
  EXPECT_EQ(AnswerQuestion("server irc.example.cat\nchannel catala\n", IDC_ASK_JOIN_HERE, IDOK),
            std::vector<std::string>{"#catala,1"});
}

TEST(AskDialog, AnotherCopyStartsTheClientWithTheRequestsSwitches) {
  EXPECT_TRUE(AnswerQuestion("server irc.example.cat\nchannel catala\n", IDC_ASK_ANOTHER_COPY, IDOK).empty());
  ASSERT_TRUE(WaitForStandInLines("args", 2));
  EXPECT_EQ(StartedClients()[0], (Fields{"-sirc.example.cat:6667", "-j#catala"}));
}

TEST(AskDialog, CancelAndEscapeSendNothing) {
  EXPECT_TRUE(AnswerQuestion("server irc.example.cat\nchannel catala\n", 0, IDCANCEL).empty());
  EXPECT_TRUE(StartedClients().empty());
}

TEST(AskDialog, WithoutAChannelOnlyTwoChoicesRemain) {
  EXPECT_EQ(AnswerQuestion("server irc.example.cat\n", 0, IDOK, true),
            std::vector<std::string>{"irc.example.cat,6667,1"});
}

TEST(AskDialog, WithoutAChannelAnotherCopyStartsTheClient) {
  EXPECT_TRUE(AnswerQuestion("server irc.example.cat\n", IDC_ASK_ANOTHER_COPY, IDOK, true).empty());
  ASSERT_TRUE(WaitForStandInLines("args", 2));
  EXPECT_EQ(StartedClients()[0], (Fields{"-sirc.example.cat:6667"}));
}

// --------------------------------------------------------------------------
// An old client gets a warning and nothing else.

void WarnAndClose(void (*close)(HWND)) {
  HelperSetup setup;
  RunningClient running({"VERSION=4.5", "CONNECTED=not connected"});
  auto helper = setup.Start(setup.Request("req.txt", kPlainRequest));
  HWND warn = HelperSetup::WaitForDialog(*helper, kWarnTitle);
  ASSERT_NE(warn, nullptr);
  EXPECT_EQ(ui::ControlText(warn, IDC_WARN_VERSION), "4.5");
  // Escape does not close it: it has no Cancel.
  ui::PressKey(warn, VK_ESCAPE);
  DWORD_PTR ignored;
  SendMessageTimeoutA(warn, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  EXPECT_TRUE(IsWindowVisible(warn));
  close(warn);
  ASSERT_TRUE(helper->WaitExit());
  EXPECT_TRUE(Pokes().empty());
  EXPECT_TRUE(StartedClients().empty());
}

TEST(WarnDialog, AnOldClientIsWarnedAndDacordEndsIt) {
  WarnAndClose([](HWND warn) { ui::Click(warn, IDOK); });
}

TEST(WarnDialog, TheCloseBoxEndsItToo) {
  WarnAndClose([](HWND warn) { ui::CloseBox(warn); });
}

// --------------------------------------------------------------------------
// Confirmation.

// The command tail that names a request file holding `request`.
std::string RequestFile(const std::string& request) {
  std::string path = testenv::ScratchDir() + "req.txt";
  testenv::WriteFile(path, request);
  return path;
}

// Starts the helper with `tail`, expects "LINK_DLG" centred on the desktop,
// showing `server` and "#catala", and answers it with `button`.
void Confirm(const HelperSetup& setup, const std::string& tail, const std::string& server, int button) {
  auto helper = setup.Start(tail);
  HWND link = HelperSetup::WaitForDialog(*helper, kLinkTitle);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(ui::ControlText(link, IDC_LINK_SERVER), server);
  EXPECT_EQ(ui::ControlText(link, IDC_LINK_CHANNEL), "#catala");
  RECT desktop;
  GetWindowRect(GetDesktopWindow(), &desktop);
  const RECT box = ui::ScreenRect(link);
  EXPECT_NEAR((box.left + box.right) / 2, (desktop.left + desktop.right) / 2, 1);
  EXPECT_NEAR((box.top + box.bottom) / 2, (desktop.top + desktop.bottom) / 2, 1);
  ui::Click(link, button);
  ASSERT_TRUE(helper->WaitExit());
  EXPECT_EQ(helper->ExitCode(), 0u);
}

// Confirms a request and returns the poke that followed.
std::string ConfirmedPoke(const std::string& tail, const std::string& server = ":6667") {
  HelperSetup setup;
  RunningClient running({"CONNECTED=not connected"});
  Confirm(setup, tail, server, IDOK);
  EXPECT_TRUE(WaitForStandInLines("poke", 1));
  return Pokes().empty() ? "" : Pokes().back();
}

TEST(LinkDialog, ConfirmOneAsksFirst) {
  EXPECT_EQ(ConfirmedPoke(RequestFile("channel catala\nconfirm 1\n")), ",6667,#catala,1");
}

TEST(LinkDialog, NschatConfirmTenAsksFirst) {
  EXPECT_EQ(ConfirmedPoke(RequestFile("[nschat]\r\nchannelName=catala\r\nconfirmPrompt=10\r\n")), ",6667,#catala,1");
}

// A web page may send the browser to an address unasked.
TEST(LinkDialog, AnIrcAddressAlwaysAsksFirst) {
  EXPECT_EQ(ConfirmedPoke("irc://irc.example.cat/%23catala,needpass?key=clau", "irc.example.cat:6667"),
            "irc.example.cat,6667,#catala clau,1");
}

// The longest server name the IRC's rules let through is shown whole: its
// line breaks it and scrolls down to its end.
TEST(LinkDialog, ShowsEveryCharacterOfTheLongestServerName) {
  HelperSetup setup;
  const std::string server = std::string(195, 'W') + ".cat";
  auto helper = setup.Start(RequestFile("server " + server + "\nchannel catala\nconfirm 1\n"));
  HWND link = HelperSetup::WaitForDialog(*helper, kLinkTitle);
  ASSERT_NE(link, nullptr);
  HWND line = ui::Control(link, IDC_LINK_SERVER);
  EXPECT_EQ(ui::Text(line), server + ":6667");
  EXPECT_GT(SendMessageA(line, EM_GETLINECOUNT, 0, 0), 2);
  EXPECT_TRUE(ui::Style(line) & WS_VSCROLL) << "the rest of the name cannot be scrolled to";
  ui::Click(link, IDCANCEL);
  ASSERT_TRUE(helper->WaitExit());
}

TEST(LinkDialog, YesIsNoConfirmation) {
  HelperSetup setup;
  RunningClient running({"CONNECTED=not connected"});
  EXPECT_EQ(setup.Run(RequestFile("channel catala\nconfirm yes\n")), 0);
  EXPECT_EQ(Pokes().size(), 1u);
}

TEST(LinkDialog, CancelLeavesTheClientAlone) {
  for (const std::string& tail : {RequestFile("server irc.example.cat\nchannel catala\nconfirm 1\n"),
                                  std::string("irc://irc.example.cat/catala")}) {
    SCOPED_TRACE(tail);
    HelperSetup setup;
    RunningClient running({"CONNECTED=not connected"});
    Confirm(setup, tail, "irc.example.cat:6667", IDCANCEL);
  }
  EXPECT_TRUE(Pokes().empty());
  EXPECT_TRUE(StartedClients(2).empty());  // none but the test's own two
}

// --------------------------------------------------------------------------
// Starting the client.

std::string Lower(std::string text) {
  for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

// The browser starts the helper in its downloads folder; the client starts
// in its own.
TEST(StartClient, WithoutARunningClientItIsStartedInItsFolderWithTheSwitchesInOrder) {
  HelperSetup setup("exe=quop32.exe\r\nini=quop.ini");
  const std::string downloads = testenv::ScratchDir() + "Baixades\\";
  CreateDirectoryA(downloads.c_str(), nullptr);
  EXPECT_EQ(setup.Run(setup.Request("req.txt", kPlainRequest), downloads), 0);
  ASSERT_TRUE(WaitForStandInLines("cwd", 1));
  EXPECT_EQ(StartedClients(0)[0],
            (Fields{"-i" + Lower(setup.folder) + "quop.ini", "-sirc.example.cat:7000", "-j#catala", "-pclau"}));
  EXPECT_EQ(Lower(StandInLog("cwd")[0][0] + "\\"), Lower(setup.folder));
}

TEST(StartClient, AFailedStepAfterTheVersionStartsTheClient) {
  const std::vector<std::string> clients[] = {
      {"refuse=CONNECTED"},
      {"CONNECTED=yes", "refuse=SERVERPORT"},
      {"CONNECTED=yes", "SERVERPORT=irc.example.cat"},  // a reply without ":"
      {"noconversation=CONNECT"},                       // the poke cannot be made
      {"CONNECTED=yes", "SERVERPORT=irc.example.cat:6667", "noconversation=CONNECT"},
  };
  for (const auto& config : clients) {
    SCOPED_TRACE(config.back());
    // One log for the whole test: each case counts from where the last ended.
    const size_t startsBefore = StandInLog("args").size(), pokesBefore = Pokes().size();
    HelperSetup setup;
    RunningClient running(config);
    EXPECT_EQ(setup.Run(setup.Request("req.txt", "channel catala\n")), 0);
    ASSERT_TRUE(WaitForStandInLines("args", startsBefore + 2));
    EXPECT_EQ(StandInLog("args").back(), (Fields{"-j#catala"}));
    EXPECT_EQ(Pokes().size(), pokesBefore);
  }
}

TEST(StartClient, AProgramThatCannotBeStartedEndsTheRunQuietly) {
  HelperSetup setup("exe=readme.txt");
  testenv::WriteFile(setup.folder + "readme.txt", "not a program");
  auto helper = setup.Start(setup.Request("req.txt", kPlainRequest));
  bool window = false;
  ASSERT_TRUE(ui::WaitUntil([&] {
    if (!ui::TopWindows(helper->id()).empty()) window = true;
    return !helper->Running();
  }));
  EXPECT_EQ(helper->ExitCode(), 0u);
  EXPECT_FALSE(window) << "no setup dialog";
  EXPECT_TRUE(StandInLog("args").empty());
}

TEST(StartClient, AnIniPathHoldingAQuoteOrAControlCharacterIsNeitherUsedNorRecorded) {
  for (const char* reply :
       {"c:\\a\" -sevil.example:1 \"b.ini", "c:\\quop\\quop.ini\x0B-sevil.example:1", "c:\\quop\\quop.ini\x1B"}) {
    SCOPED_TRACE(reply);
    const size_t startsBefore = StandInLog("args").size();
    HelperSetup setup;
    RunningClient running({std::string("INIFILE=") + reply, "refuse=CONNECTED"});
    EXPECT_EQ(setup.Run(setup.Request("req.txt", "channel catala\n")), 0);
    ASSERT_TRUE(WaitForStandInLines("args", startsBefore + 2));
    EXPECT_EQ(StandInLog("args").back(), (Fields{"-j#catala"}));
    char stored[300] = "";
    GetPrivateProfileStringA("quoplink", "ini", "(absent)", stored, sizeof stored, (setup.folder + "quop.ini").c_str());
    EXPECT_STREQ(stored, "(absent)");
  }
}

// A window of the test's own that notes every DDE conversation that another
// program asks for, under any service name or none.
class DdeListener {
 public:
  DdeListener() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "DdeListener";
    RegisterClassA(&windowClass);
    window_ =
        CreateWindowA("DdeListener", "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, windowClass.hInstance, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~DdeListener() { DestroyWindow(window_); }
  // Serves this thread's messages, so that the conversations asked for
  // reach the window, until `condition` holds (bounded).
  template <typename Condition>
  bool ServeUntil(Condition condition) {
    return ui::WaitUntil([&] {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      return condition();
    });
  }
  int asked = 0;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<DdeListener*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_DDE_INITIATE && self && reinterpret_cast<HWND>(wParam) != window) ++self->asked;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  HWND window_;
};

TEST(StartClient, AnEmptyServiceNameAsksNoProgramAndStartsTheClient) {
  HelperSetup setup("exe=quop32.exe\r\ndde=");
  DdeListener listener;
  auto helper = setup.Start(setup.Request("req.txt", "channel catala\n"));
  ASSERT_TRUE(listener.ServeUntil([&] { return !helper->Running(); }));
  EXPECT_EQ(listener.asked, 0) << "a conversation without a service name reaches any program";
  ASSERT_TRUE(WaitForStandInLines("args", 1));
  EXPECT_EQ(StandInLog("args")[0], (Fields{"-j#catala"}));
}

// A client asleep in its DDE work (hung) costs the helper seconds: after a
// transaction that runs out of time it asks nothing more and starts the
// client as for one that does not answer. Under Wine a timed-out
// transaction's DdeDisconnect waits 10 s more for the hung partner.
TEST(StartClient, AHungClientCostsSecondsAndTheClientIsStarted) {
  const DWORD kWineDisconnectMs = 10000;
  const std::vector<std::string> clients[] = {
      {"sleep=VERSION:30000", "sleep=EXENAME:30000", "sleep=INIFILE:30000", "sleep=CONNECTED:30000",
       "sleep=SERVERPORT:30000", "sleep=CONNECT:30000"},
      {"sleep=EXENAME:30000", "sleep=INIFILE:30000", "sleep=CONNECT:30000"},
  };
  for (const auto& config : clients) {
    SCOPED_TRACE(config.front());
    const size_t startsBefore = StandInLog("args").size();
    HelperSetup setup;
    RunningClient running(config);
    const double start = ui::NowMs();
    auto helper = setup.Start(setup.Request("req.txt", "channel catala\n"));
    ASSERT_TRUE(helper->WaitExit(30000));
    const double took = ui::NowMs() - start;
    std::printf("    the helper took %.1f s\n", took / 1000);
    EXPECT_LT(took, kDdeWorkMs + kWineDisconnectMs + 3000.0);
    ASSERT_TRUE(WaitForStandInLines("args", startsBefore + 2));
    EXPECT_EQ(StandInLog("args").back(), (Fields{"-j#catala"}));
  }
}

TEST(StartClient, AnEmptyVersionCountsAsNoClient) {
  HelperSetup setup;
  RunningClient running({"VERSION="});
  EXPECT_EQ(setup.Run(setup.Request("req.txt", "channel catala\n")), 0);
  ASSERT_TRUE(WaitForStandInLines("args", 2));
  EXPECT_TRUE(Pokes().empty());
}

TEST(StartClient, ThePathLearnedFromTheClientIsUsedAndRecorded) {
  HelperSetup setup("");
  RunningClient running({"EXENAME=" + setup.folder + "QUOP32.EXE", "refuse=CONNECTED"});
  EXPECT_EQ(setup.Run(setup.Request("req.txt", "channel catala\n")), 0);
  ASSERT_TRUE(WaitForStandInLines("args", 2));
  char stored[300] = "";
  GetPrivateProfileStringA("quoplink", "exe", "", stored, sizeof stored, (setup.folder + "quop.ini").c_str());
  EXPECT_STREQ(stored, "quop32.exe");
}

// --------------------------------------------------------------------------
// The irc:// addresses that browsers hand to the program named for them:
// always confirmed first, then the flow as for a request file.

TEST(ChatAddress, IsConfirmedThenStartsTheClientWithItsSwitches) {
  const struct {
    const char *address, *server;
    Fields args;
  } cases[] = {
      {"\"irc://irc.example.cat:7000/catala?key=clau\"",
       "irc.example.cat:7000",
       {"-sirc.example.cat:7000", "-j#catala", "-pclau"}},
      // Escaped blanks, quotes and commas try to add switches of their own.
      {"irc://irc.example.cat%20-p%20x/catala%22%20-sevil:1?key=k%20-j%23evil",
       "irc.example.cat:6667",
       {"-sirc.example.cat:6667", "-j#catala", "-pk"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    const size_t startsBefore = StandInLog("args").size();
    HelperSetup setup;
    Confirm(setup, c.address, c.server, IDOK);
    ASSERT_TRUE(WaitForStandInLines("args", startsBefore + 1));
    EXPECT_EQ(StandInLog("args").back(), c.args);
  }
}

// --------------------------------------------------------------------------
// Requests that do not reach the flow.

// A folder passes the existence test but holds no request in either form;
// a secure or IPv6 address is one that the client cannot follow.
TEST(Intake, ATailNamingNothingOrARefusedAddressEndsQuietly) {
  HelperSetup setup;
  RunningClient running({"CONNECTED=not connected"});
  const std::string request = setup.Request("req.txt", kPlainRequest);
  // Fields outside the IRC's rules, and an order too long for the client's
  // text (every field at its longest), are no request either.
  const std::string longest = "server " + std::string(199, 's') + "\nchannel " + std::string(199, 'c') + "\npassword " +
                              std::string(99, 'k') + "\n";
  for (const std::string& tail :
       {setup.folder + "nothing.txt", "\"" + request + "\"", setup.folder,
        std::string("ircs://irc.example.cat:6697/catala"), std::string("irc6://irc.example.cat/catala"),
        std::string("irc:/irc.example.cat/catala"), std::string("irc://irc.example.cat:66a7/catala"),
        std::string("irc://%5C%5Cevil%5Cshare/catala"), setup.Request("unc.txt", "server \\\\evil\\share\n"),
        setup.Request("port.txt", "server irc.example.cat\nport 6667-ievil\n"), setup.Request("long.txt", longest)}) {
    SCOPED_TRACE(tail);
    auto helper = setup.Start(tail);
    bool window = false;
    ASSERT_TRUE(ui::WaitUntil([&] {
      if (!ui::TopWindows(helper->id()).empty()) window = true;
      return !helper->Running();
    }));
    EXPECT_EQ(helper->ExitCode(), 0u);
    EXPECT_FALSE(window);
  }
  EXPECT_TRUE(Pokes().empty());
  EXPECT_TRUE(StartedClients().empty());
}

// The profile reader takes a relative path from the Windows directory, the
// file functions from the current folder: a relative request names the file
// in the current folder, in both of its forms, and only that one.
TEST(Intake, ARelativeRequestPathNamesTheFileInTheCurrentFolder) {
  const std::string elsewhere = testenv::WindowsDir() + "\\req.txt";
  struct Cleanup {
    std::string file;
    ~Cleanup() { DeleteFileA(file.c_str()); }
  } cleanup{elsewhere};
  const struct {
    const char* here;
    const char* inWindowsDir;
  } cases[] = {
      {"server irc.here.cat\nchannel aqui\n", "[nschat]\r\nserverName=irc.windows.cat\r\nchannelName=alla\r\n"},
      {"[nschat]\r\nserverName=irc.here.cat\r\nchannelName=aqui\r\n", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.here);
    HelperSetup setup;  // the helper starts in its own folder
    RunningClient running({"CONNECTED=not connected"});
    testenv::WriteFile(setup.folder + "req.txt", c.here);
    DeleteFileA(elsewhere.c_str());
    if (c.inWindowsDir) testenv::WriteFile(elsewhere, c.inWindowsDir);
    const size_t pokesBefore = Pokes().size();
    EXPECT_EQ(setup.Run("req.txt"), 0);
    ASSERT_EQ(Pokes().size(), pokesBefore + 1);
    EXPECT_EQ(Pokes().back(), "irc.here.cat,6667,#aqui,1");
  }
}

// Starts the helper with `tail`, expects its setup dialog and cancels it.
void ExpectSetupDialog(const HelperSetup& setup, const std::string& tail) {
  auto helper = setup.Start(tail);
  HWND dialog = HelperSetup::WaitForDialog(*helper, "QuopLink32 v5.61");
  ASSERT_NE(dialog, nullptr);
  ui::Click(dialog, IDCANCEL);
  ASSERT_TRUE(helper->WaitExit());
  EXPECT_EQ(helper->ExitCode(), 0u);
}

TEST(Intake, ARequestWithoutServerOrChannelOpensTheSetupDialog) {
  HelperSetup setup;
  RunningClient running({"CONNECTED=not connected"});
  ExpectSetupDialog(setup, setup.Request("req.txt", "port 7000\nconfirm 1\n"));
  EXPECT_TRUE(Pokes().empty());
  EXPECT_TRUE(StartedClients().empty());
}

TEST(Intake, NoCommandTailOpensTheSetupDialog) {
  HelperSetup setup;
  ExpectSetupDialog(setup, "");
}

TEST(Intake, NoClientAndNoProgramPathOpenTheSetupDialog) {
  HelperSetup setup("");
  ExpectSetupDialog(setup, setup.Request("req.txt", kPlainRequest));
  EXPECT_TRUE(StandInLog("args").empty());
}

}  // namespace
