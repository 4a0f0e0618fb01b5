// The browser's road: the real urlhop32.exe started with a chat request
// file, against the stand-in client (its log shows what it received).
#include <gtest/gtest.h>

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

// The windows that a helper showed until it ended (empty: none), once it
// has ended; a failure when it did not end.
std::string WindowsShownUntilTheEnd(const ui::Process& helper) {
  std::string shown;
  EXPECT_TRUE(ui::WaitUntil(
      [&] {
        if (!ui::TopWindows(helper.id()).empty() && shown.empty()) shown = ui::DescribeWindows(helper.id());
        return !helper.Running();
      },
      [&] { return "the helper still runs, showing " + ui::DescribeWindows(helper.id()); }));
  return shown;
}

struct RunningClient {
  explicit RunningClient(const std::vector<std::string>& config) {
    SetStandInConfig(config);
    client = std::make_unique<StandInClient>();
    EXPECT_TRUE(client->ready);
  }
  std::unique_ptr<StandInClient> client;
};

// What reached the client during a step: the pokes and the switches of the
// clients started, counted from where the log stood when the object was made.
struct ClientLogSince {
  ClientLogSince() : pokes(Pokes().size()), starts(StandInLog("args").size()) {}
  std::vector<std::string> NewPokes() const {
    const auto all = Pokes();
    return std::vector<std::string>(all.begin() + static_cast<long>(pokes), all.end());
  }
  std::vector<Fields> NewStarts() const { return StartedClients(starts); }
  size_t pokes, starts;
};

// --------------------------------------------------------------------------
// A running client gets its order: one not connected the full connect text,
// one connected to the same server (any port) or asked for no server the
// join text; the nschat form is read first.

TEST(LinkRoad, EachRequestReachesTheRunningClientAsItsOrder) {
  const struct {
    std::vector<std::string> client;
    const char *name, *request, *poke;
  } rows[] = {
      {{"CONNECTED=not connected"}, "req.txt", kPlainRequest, "irc.example.cat,7000,#catala clau,1"},
      {{"CONNECTED=Not Connected"},
       "req.txt",
       "server irc.example.cat\nchannel catala\n",
       "irc.example.cat,6667,#catala,1"},  // "not connected" in any case
      {{"CONNECTED=not connected"},
       "req.chat",
       "[nschat]\r\nserverName=irc.nschat.cat\r\nport=6668\r\nchannelName=xat\r\n",
       "irc.nschat.cat,6668,#xat,1"},
      {{"CONNECTED=not connected"}, "req.txt", "server irc.example.cat\nport 7000\n", "irc.example.cat,7000,,1"},
      {{"CONNECTED=irc.example.cat", "SERVERPORT=IRC.Example.cat:6668"}, "req.txt", kPlainRequest, "#catala clau,1"},
      {{"CONNECTED=yes", "SERVERPORT=other.example.net:6667"}, "req.txt", "channel catala\n", "#catala,1"},
      // Only "1" and "10" ask to be confirmed.
      {{"CONNECTED=not connected"}, "req.txt", "channel catala\nconfirm yes\n", ",6667,#catala,1"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.request);
    HelperSetup setup;
    RunningClient running(row.client);
    const ClientLogSince since;
    EXPECT_EQ(setup.Run(setup.Request(row.name, row.request)), 0);
    EXPECT_EQ(since.NewPokes(), std::vector<std::string>{row.poke});
    EXPECT_EQ(since.NewStarts(), std::vector<Fields>{});
  }
}

constexpr int kEscape = -1;  // a row's answer by the Escape key

// Presses `button` (or Escape) in a dialog of the helper, which then ends.
void Answer(const ui::Process& helper, HWND dialog, int button) {
  if (button == kEscape) {
    ui::PressKey(dialog, VK_ESCAPE);
  } else {
    ui::Click(dialog, button);
  }
  ASSERT_TRUE(helper.WaitExit());
  EXPECT_EQ(helper.ExitCode(), 0u);
}

// A client connected elsewhere: ASK_DLG (ASK2_DLG without a channel) shows
// both servers with "change servers" chosen, and each answer reaches the
// client as it says.
TEST(AskDialog, EachAnswerReachesTheClientAsItSays) {
  const char kWithChannel[] = "server irc.example.cat\nchannel catala\n", kServerOnly[] = "server irc.example.cat\n";
  const struct {
    const char* answer;
    const char* request;
    int choice, button;
    std::vector<std::string> pokes;
    std::vector<Fields> started;
  } rows[] = {
      {"change servers", kWithChannel, 0, IDOK, {"irc.example.cat,6667,#catala,1"}, {}},
      {"join here", kWithChannel, IDC_ASK_JOIN_HERE, IDOK, {"#catala,1"}, {}},
      {"another copy", kWithChannel, IDC_ASK_ANOTHER_COPY, IDOK, {}, {{"-sirc.example.cat:6667", "-j#catala"}}},
      {"Cancel", kWithChannel, 0, IDCANCEL, {}, {}},
      {"Escape", kWithChannel, 0, kEscape, {}, {}},
      {"two choices: change", kServerOnly, 0, IDOK, {"irc.example.cat,6667,1"}, {}},
      {"two choices: another copy", kServerOnly, IDC_ASK_ANOTHER_COPY, IDOK, {}, {{"-sirc.example.cat:6667"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.answer);
    HelperSetup setup;
    RunningClient running({"CONNECTED=yes", "SERVERPORT=other.example.net:6667"});
    const ClientLogSince since;
    auto helper = setup.Start(setup.Request("req.txt", row.request));
    HWND ask = nullptr;
    ASSERT_TRUE(HelperSetup::WaitForDialog(*helper, kAskTitle, ask));
    EXPECT_EQ(ui::ControlText(ask, IDC_ASK_CURRENT_SERVER), "other.example.net:6667");
    EXPECT_EQ(ui::ControlText(ask, IDC_ASK_REQUESTED_SERVER), "irc.example.cat:6667");
    EXPECT_TRUE(ui::IsChecked(ui::Control(ask, IDC_ASK_CHANGE_SERVER)));
    if (row.request == kServerOnly) {
      EXPECT_FALSE(ui::IsVisible(ui::Control(ask, IDC_ASK_JOIN_HERE)));
      EXPECT_FALSE(ui::IsEnabled(ui::Control(ask, IDC_ASK_JOIN_HERE)));
      EXPECT_EQ(ui::Control(ask, IDC_ASK_REQUESTED_CHANNEL), nullptr);
    } else {
      EXPECT_EQ(ui::ControlText(ask, IDC_ASK_REQUESTED_CHANNEL), "#catala");
    }
    if (row.choice) {
      for (int id : {IDC_ASK_CHANGE_SERVER, IDC_ASK_JOIN_HERE, IDC_ASK_ANOTHER_COPY}) {
        SendMessageA(ui::Control(ask, id), BM_SETCHECK, id == row.choice ? BST_CHECKED : BST_UNCHECKED, 0);
      }
    }
    ASSERT_NO_FATAL_FAILURE(Answer(*helper, ask, row.button));
    if (!row.started.empty()) {
      ASSERT_TRUE(WaitForStandInLines("args", since.starts + 1));
    }
    EXPECT_EQ(since.NewPokes(), row.pokes);
    EXPECT_EQ(since.NewStarts(), row.started);
  }
}

// --------------------------------------------------------------------------
// An old client gets a warning and nothing else, however it is closed.

TEST(WarnDialog, AnOldClientIsWarnedAndNothingElse) {
  for (const int close : {IDOK, static_cast<int>(SC_CLOSE), kEscape}) {
    SCOPED_TRACE(close == IDOK ? "D'acord" : close == kEscape ? "Escape" : "the close box");
    HelperSetup setup;
    RunningClient running({"VERSION=4.5", "CONNECTED=not connected"});
    const ClientLogSince since;
    auto helper = setup.Start(setup.Request("req.txt", kPlainRequest));
    HWND warn = nullptr;
    ASSERT_TRUE(HelperSetup::WaitForDialog(*helper, kWarnTitle, warn));
    EXPECT_EQ(ui::ControlText(warn, IDC_WARN_VERSION), "4.5");
    if (close == SC_CLOSE) {
      ui::CloseBox(warn);
      ASSERT_TRUE(helper->WaitExit());
    } else {
      ASSERT_NO_FATAL_FAILURE(Answer(*helper, warn, close));
    }
    EXPECT_EQ(since.NewPokes(), std::vector<std::string>{});
    EXPECT_EQ(since.NewStarts(), std::vector<Fields>{});
  }
}

// --------------------------------------------------------------------------
// Confirmation: "LINK_DLG", centred on the desktop, shows the request; an
// irc:// address always asks (a web page may send the browser to it
// unasked), and goes on as a request file does, its escapes decoded.

TEST(LinkDialog, AsksFirstAndOnlyEndavantGoesOn) {
  const struct {
    const char* name;     // of the request file; empty: `request` is the tail
    std::string request;  // a request file's text, or an irc:// address
    bool clientRuns;
    int button;
    const char *server, *poke;
    std::vector<Fields> started;
  } rows[] = {
      {"req.txt", "channel catala\nconfirm 1\n", true, IDOK, ":6667", ",6667,#catala,1", {}},
      {"req.chat",
       "[nschat]\r\nchannelName=catala\r\nconfirmPrompt=10\r\n",
       true,
       IDOK,
       ":6667",
       ",6667,#catala,1",
       {}},
      {"",
       "irc://irc.example.cat/%23catala,needpass?key=clau",
       true,
       IDOK,
       "irc.example.cat:6667",
       "irc.example.cat,6667,#catala clau,1",
       {}},
      {"req.txt",
       "server irc.example.cat\nchannel catala\nconfirm 1\n",
       true,
       IDCANCEL,
       "irc.example.cat:6667",
       nullptr,
       {}},
      {"", "irc://irc.example.cat/catala", true, IDCANCEL, "irc.example.cat:6667", nullptr, {}},
      {"",
       "\"irc://irc.example.cat:7000/catala?key=clau\"",
       false,
       IDOK,
       "irc.example.cat:7000",
       nullptr,
       {{"-sirc.example.cat:7000", "-j#catala", "-pclau"}}},
      // Escaped blanks, quotes and commas try to add switches of their own.
      {"",
       "irc://irc.example.cat%20-p%20x/catala%22%20-sevil:1?key=k%20-j%23evil",
       false,
       IDOK,
       "irc.example.cat:6667",
       nullptr,
       {{"-sirc.example.cat:6667", "-j#catala", "-pk"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.request);
    HelperSetup setup;
    std::unique_ptr<RunningClient> running;
    if (row.clientRuns) running = std::make_unique<RunningClient>(std::vector<std::string>{"CONNECTED=not connected"});
    const ClientLogSince since;
    auto helper = setup.Start(row.name[0] ? setup.Request(row.name, row.request) : row.request);
    HWND link = nullptr;
    ASSERT_TRUE(HelperSetup::WaitForDialog(*helper, kLinkTitle, link));
    EXPECT_EQ(ui::ControlText(link, IDC_LINK_SERVER), row.server);
    EXPECT_EQ(ui::ControlText(link, IDC_LINK_CHANNEL), "#catala");
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    const RECT box = ui::ScreenRect(link);
    EXPECT_NEAR((box.left + box.right) / 2, (desktop.left + desktop.right) / 2, 1);
    EXPECT_NEAR((box.top + box.bottom) / 2, (desktop.top + desktop.bottom) / 2, 1);
    ASSERT_NO_FATAL_FAILURE(Answer(*helper, link, row.button));
    if (row.poke) {
      ASSERT_TRUE(WaitForStandInLines("poke", since.pokes + 1));
    }
    if (!row.started.empty()) {
      ASSERT_TRUE(WaitForStandInLines("args", since.starts + 1));
    }
    EXPECT_EQ(since.NewPokes(), row.poke ? std::vector<std::string>{row.poke} : std::vector<std::string>{});
    EXPECT_EQ(since.NewStarts(), row.started);
  }
}

// The longest server name the IRC's rules let through is shown whole: its
// line breaks it and scrolls down to its end.
TEST(LinkDialog, ShowsEveryCharacterOfTheLongestServerName) {
  HelperSetup setup;
  const std::string server = std::string(195, 'W') + ".cat";
  auto helper = setup.Start(setup.Request("req.txt", "server " + server + "\nchannel catala\nconfirm 1\n"));
  HWND link = nullptr;
  ASSERT_TRUE(HelperSetup::WaitForDialog(*helper, kLinkTitle, link));
  HWND line = ui::Control(link, IDC_LINK_SERVER);
  EXPECT_EQ(ui::Text(line), server + ":6667");
  EXPECT_GT(SendMessageA(line, EM_GETLINECOUNT, 0, 0), 2);
  EXPECT_TRUE(ui::Style(line) & WS_VSCROLL) << "the rest of the name cannot be scrolled to";
  ASSERT_NO_FATAL_FAILURE(Answer(*helper, link, IDCANCEL));
}

// The keyboard alone: Tab reaches the server line, whose arrow keys scroll a
// long name, and Enter there goes on as "Endavant" does.
TEST(LinkDialog, IsAnsweredWithTheKeyboardAlone) {
  HelperSetup setup;
  RunningClient running({"CONNECTED=not connected"});
  const ClientLogSince since;
  const std::string server = std::string(195, 'W') + ".cat";
  auto helper = setup.Start(setup.Request("req.txt", "server " + server + "\nchannel catala\nconfirm 1\n"));
  HWND link = nullptr;
  ASSERT_TRUE(HelperSetup::WaitForDialog(*helper, kLinkTitle, link));
  HWND line = ui::Control(link, IDC_LINK_SERVER);
  for (const int id : {IDOK, IDCANCEL, IDC_LINK_SERVER}) {
    if (id != IDOK) ui::PressKey(link, VK_TAB);
    EXPECT_TRUE(ui::WaitForFocus(link, id, 5000));
  }
  for (int i = 0; i < 3; ++i) ui::PressKey(link, VK_DOWN);
  EXPECT_TRUE(ui::WaitUntil([&] { return SendMessageA(line, EM_GETFIRSTVISIBLELINE, 0, 0) > 0; },
                            [] { return std::string("the line's first lines still shown"); }, 5000));
  ui::PressKey(link, VK_RETURN);
  ASSERT_TRUE(helper->WaitExit());
  EXPECT_EQ(since.NewPokes(), std::vector<std::string>{server + ",6667,#catala,1"});
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

// An empty version is no client's; a step after the version that fails
// leaves the client as one that does not answer.
TEST(StartClient, AFailedStepStartsTheClient) {
  const std::vector<std::string> clients[] = {
      {"VERSION="},
      {"refuse=CONNECTED"},
      {"CONNECTED=yes", "refuse=SERVERPORT"},
      {"CONNECTED=yes", "SERVERPORT=irc.example.cat"},  // a reply without ":"
      {"noconversation=CONNECT"},                       // the poke cannot be made
      {"CONNECTED=yes", "SERVERPORT=irc.example.cat:6667", "noconversation=CONNECT"},
  };
  for (const auto& config : clients) {
    SCOPED_TRACE(config.back());
    HelperSetup setup;
    RunningClient running(config);
    const ClientLogSince since;
    EXPECT_EQ(setup.Run(setup.Request("req.txt", "channel catala\n")), 0);
    ASSERT_TRUE(WaitForStandInLines("args", since.starts + 1));
    EXPECT_EQ(since.NewStarts(), std::vector<Fields>{{"-j#catala"}});
    EXPECT_EQ(since.NewPokes(), std::vector<std::string>{});
  }
}

TEST(StartClient, AProgramThatCannotBeStartedEndsTheRunQuietly) {
  HelperSetup setup("exe=readme.txt");
  testenv::WriteFile(setup.folder + "readme.txt", "not a program");
  auto helper = setup.Start(setup.Request("req.txt", kPlainRequest));
  EXPECT_EQ(WindowsShownUntilTheEnd(*helper), "") << "no setup dialog";
  EXPECT_EQ(helper->ExitCode(), 0u);
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
  // reach the window, until `process` has ended (bounded).
  ui::AssertionResult ServeUntilEnd(const ui::Process& process) {
    return ui::WaitUntil(
        [&] {
          MSG message;
          while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
          return !process.Running();
        },
        [&] { return "the helper still runs, showing " + ui::DescribeWindows(process.id()); });
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
  ASSERT_TRUE(listener.ServeUntilEnd(*helper));
  EXPECT_EQ(listener.asked, 0) << "a conversation without a service name reaches any program";
  ASSERT_TRUE(WaitForStandInLines("args", 1));
  EXPECT_EQ(StandInLog("args")[0], (Fields{"-j#catala"}));
}

// A client asleep in its DDE work (hung), or slow in every transaction but
// within each one's limit: the user waits no longer than the seconds of its
// row from the click to the helper's end. One hung from its first answer on
// cannot be told from no client, and is started; one hung after it gets
// neither a second copy nor the setup dialog over it, only the beep; a slow
// one gets its order.
TEST(StartClient, AHungOrSlowClientCostsSecondsAndGetsNoSecondCopy) {
  const std::vector<std::string> kSlow = {"sleep=VERSION:1500", "sleep=EXENAME:1500", "sleep=INIFILE:1500",
                                          "sleep=CONNECTED:1500", "sleep=CONNECT:1500"};
  const struct {
    const char* client;
    std::vector<std::string> config;
    const char* settings;  // the helper's: the paths it knows
    double usersWaitMs;
    const char* poke;
    bool started;
  } rows[] = {
      {"hung from the start",
       {"sleep=VERSION:30000", "sleep=INIFILE:30000", "sleep=CONNECTED:30000", "sleep=CONNECT:30000"},
       "exe=quop32.exe",
       5000,
       nullptr,
       true},
      {"hung after its version",
       {"sleep=INIFILE:30000", "sleep=CONNECTED:30000", "sleep=CONNECT:30000"},
       "exe=quop32.exe",
       5000,
       nullptr,
       false},
      {"hung in the order", {"sleep=CONNECT:30000"}, "exe=quop32.exe", 5000, nullptr, false},
      // Slow with no path known: only what the link needs is asked.
      {"slow", kSlow, "", 6000, ",6667,#catala,1", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.client);
    HelperSetup setup(row.settings);
    RunningClient running(row.config);
    const ClientLogSince since;
    const double start = ui::NowMs();
    auto helper = setup.Start(setup.Request("req.txt", "channel catala\n"));
    ASSERT_TRUE(helper->WaitExit(30000));
    const double took = ui::NowMs() - start;
    std::printf("    the helper took %.1f s\n", took / 1000);
    EXPECT_LT(took, row.usersWaitMs);
    if (row.started) {
      ASSERT_TRUE(WaitForStandInLines("args", since.starts + 1));
    }
    if (row.poke) {
      ASSERT_TRUE(WaitForStandInLines("poke", since.pokes + 1));
    }
    EXPECT_EQ(since.NewStarts(), row.started ? std::vector<Fields>{{"-j#catala"}} : std::vector<Fields>{});
    EXPECT_EQ(since.NewPokes(), row.poke ? std::vector<std::string>{row.poke} : std::vector<std::string>{});
  }
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
    EXPECT_EQ(WindowsShownUntilTheEnd(*helper), "");
    EXPECT_EQ(helper->ExitCode(), 0u);
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

// A request that names neither server nor channel, no request at all, and
// no client answering with no program path known open the setup dialog;
// cancelled, nothing reaches a client.
TEST(Intake, OpensTheSetupDialogWithNothingToLinkOrNoWayToLink) {
  const struct {
    const char *settings, *request;  // request: null for no command tail
    bool clientRuns;
  } rows[] = {
      {"exe=quop32.exe", "port 7000\nconfirm 1\n", true},
      {"exe=quop32.exe", nullptr, false},
      {"", kPlainRequest, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.request ? row.request : "(no command tail)");
    HelperSetup setup(row.settings);
    std::unique_ptr<RunningClient> running;
    if (row.clientRuns) running = std::make_unique<RunningClient>(std::vector<std::string>{"CONNECTED=not connected"});
    const ClientLogSince since;
    auto helper = setup.Start(row.request ? setup.Request("req.txt", row.request) : "");
    HWND dialog = nullptr;
    ASSERT_TRUE(HelperSetup::WaitForDialog(*helper, "QuopLink32 v5.61", dialog));
    ASSERT_NO_FATAL_FAILURE(Answer(*helper, dialog, IDCANCEL));
    EXPECT_EQ(since.NewPokes(), std::vector<std::string>{});
    EXPECT_EQ(since.NewStarts(), std::vector<Fields>{});
  }
}

}  // namespace
