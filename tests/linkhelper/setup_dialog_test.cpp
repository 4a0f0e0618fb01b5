// The helper's setup dialog and its file browser, driven for real.
#include <gtest/gtest.h>

#include <cstring>

#include "helper_run.h"
// After windows.h, which it needs.
#include <dlgs.h>

namespace {

const char kSetupTitle[] = "QuopLink32 v5.61";
const char kExeBrowserTitle[] = "QuopLink Select Exe file...";

// Chooses `path` in an open file browser: typed into its file-name box, then OK.
void Choose(HWND browser, const std::string& path) {
  ui::SetText(ui::Control(browser, edt1), path);
  ui::Click(browser, IDOK);
  EXPECT_TRUE(ui::WaitForWindowGone(browser));
}

// A helper installed in C:\QUOP\ (so that stored paths are relative to it),
// with a stand-in client as quop32.exe there.
struct SetupRun {
  explicit SetupRun(const std::string& settings = "") {
    Clear();
    CreateDirectoryA("C:\\QUOP", nullptr);
    CopyFileA(testenv::BuildPath("linkhelper\\urlhop32.exe").c_str(), "C:\\QUOP\\urlhop32.exe", FALSE);
    CopyFileA(testenv::BuildPath("tests\\support\\standin\\quop32_us.exe").c_str(), "C:\\QUOP\\Quop32.exe", FALSE);
    if (!settings.empty())
      testenv::WriteFile("C:\\QUOP\\quop.ini", "[quop]\r\nnick=Convidat\r\n[quoplink]\r\n" + settings);
    StandInLogPath();
  }
  ~SetupRun() {
    helper.reset();
    Clear();
  }
  static void Clear() {
    for (const char* file : {"urlhop32.exe", "Quop32.exe", "quop.ini", "other.ini", "broken.exe"}) {
      DeleteFileA((std::string("C:\\QUOP\\") + file).c_str());
    }
    RemoveDirectoryA("C:\\QUOP");
    DeleteFileA("C:\\quop32.exe");
  }
  // Starts the helper and waits for its setup dialog.
  ui::AssertionResult Open(const std::string& tail = "", const std::string& exe = "C:\\QUOP\\urlhop32.exe") {
    helper = std::make_unique<ui::Process>(exe, tail, "C:\\QUOP\\");
    return HelperSetup::WaitForDialog(*helper, kSetupTitle, dialog);
  }
  // Presses a browse button and waits for the file browser.
  ui::AssertionResult OpenBrowser(int button, HWND& browser) const {
    ui::Click(dialog, button);
    return HelperSetup::WaitForDialog(
        *helper, button == IDC_BROWSE_PROGRAM ? kExeBrowserTitle : "QuopLink Select Ini file...", browser);
  }
  // Browses with `button` and chooses `path` in the file browser.
  void Browse(int button, const std::string& path) const {
    HWND browser = nullptr;
    ASSERT_TRUE(OpenBrowser(button, browser));
    Choose(browser, path);
  }
  static std::string Ini() { return testenv::ReadFile("C:\\QUOP\\quop.ini"); }
  static std::string Stored(const char* key) {
    char value[300] = "";
    GetPrivateProfileStringA("quoplink", key, "(absent)", value, sizeof value, "C:\\QUOP\\quop.ini");
    return value;
  }

  std::unique_ptr<ui::Process> helper;
  HWND dialog = nullptr;
};

TEST(SetupDialog, FirstRunShowsEmptyPathsTheDefaultServiceAndItsTexts) {
  SetupRun run;
  ASSERT_TRUE(run.Open());
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_PROGRAM_PATH), "");
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_INI_PATH), "");
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_SERVICE), "Quop");
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_SETUP_WELCOME), "Welcome to the QuopLink Helper application!");
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_SETUP_PURPOSE),
            "This program is called by your Web browser whenever it wants Quop to connect to a server and to join a "
            "channel.");
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_SETUP_PROGRAM_PROMPT), "Please select the name of the Quop program below.");
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_SETUP_INI_PROMPT),
            "Please select the name of the Quop ini you want to be used when Quop is run by QuopLink.");
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_SETUP_SERVICE_PROMPT), "Please enter the Quop DDE Service name.");
  const std::string notice = ui::ControlText(run.dialog, IDC_SETUP_NOTICE);
  EXPECT_NE(notice.find('\n'), std::string::npos);
  EXPECT_NE(notice.find("All rights reserved."), std::string::npos);
  // Centred on the desktop.
  RECT desktop;
  GetWindowRect(GetDesktopWindow(), &desktop);
  const RECT box = ui::ScreenRect(run.dialog);
  EXPECT_NEAR((box.left + box.right) / 2, (desktop.left + desktop.right) / 2, 1);
}

TEST(SetupDialog, BrowsingStartsInTheFieldsFolderAndShowsTheChoiceInLowerCase) {
  SetupRun run("exe=quop32.exe\r\n");
  ASSERT_TRUE(run.Open());
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_PROGRAM_PATH), "c:\\quop\\quop32.exe");
  HWND browser = nullptr;
  ASSERT_TRUE(run.OpenBrowser(IDC_BROWSE_PROGRAM, browser));
  EXPECT_EQ(ui::ControlText(browser, stc3), "&Nom del fitxer:");
  EXPECT_EQ(ui::ControlText(browser, stc2), "Llista els fitxers del &tipus:");
  EXPECT_EQ(ui::ControlText(browser, IDOK), "D'ac&ord");
  std::string folder = ui::ControlText(browser, stc1);
  for (char& c : folder) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(folder, "c:\\quop");
  RECT desktop;
  GetWindowRect(GetDesktopWindow(), &desktop);
  const RECT box = ui::ScreenRect(browser);
  EXPECT_NEAR((box.left + box.right) / 2, (desktop.left + desktop.right) / 2, 1);
  Choose(browser, "C:\\Quop\\Quop32.exe");
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_PROGRAM_PATH), "c:\\quop\\quop32.exe");
}

TEST(SetupDialog, BrowsingFromAFileInADriveRootStartsInTheRoot) {
  SetupRun run;
  testenv::WriteFile("C:\\quop32.exe", "x");
  testenv::WriteFile("C:\\QUOP\\quop.ini", "[quoplink]\r\nexe=c:\\quop32.exe\r\n");
  ASSERT_TRUE(run.Open());
  HWND browser = nullptr;
  ASSERT_TRUE(run.OpenBrowser(IDC_BROWSE_PROGRAM, browser));
  std::string folder = ui::ControlText(browser, stc1);
  for (char& c : folder) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(folder, "c:\\");
  ui::Click(browser, IDCANCEL);
  EXPECT_TRUE(ui::WaitForWindowGone(browser));
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_PROGRAM_PATH), "c:\\quop32.exe");  // a cancelled browse changes nothing
}

TEST(SetupDialog, EachBrowserOffersOneFilterAndOnlyExistingFiles) {
  struct Case {
    int button, field;
    const char* title;
    const char* filter;
    const char* pattern;
  } cases[] = {
      {IDC_BROWSE_PROGRAM, IDC_PROGRAM_PATH, kExeBrowserTitle, "EXE files(*.exe)", "*.exe"},
      {IDC_BROWSE_INI, IDC_INI_PATH, "QuopLink Select Ini file...", "INI files(*.ini)", "*.ini"},
  };
  SetupRun run;
  ASSERT_TRUE(run.Open());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    HWND browser = nullptr;
    ASSERT_TRUE(run.OpenBrowser(c.button, browser));
    HWND types = ui::Control(browser, cmb1);
    ASSERT_EQ(SendMessageA(types, CB_GETCOUNT, 0, 0), 1);
    WCHAR filter[100] = L"";  // the platform's dialog keeps its list in UTF-16
    SendMessageW(types, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(filter));
    EXPECT_EQ(std::wstring(filter), std::wstring(c.filter, c.filter + std::strlen(c.filter)));
    EXPECT_EQ(ui::ControlText(browser, 1152), c.pattern);
    // A file that is not there is never taken: the platform's dialog refuses
    // it, and where it lets it through the field stays as it was.
    ui::SetText(ui::Control(browser, edt1), std::string("C:\\QUOP\\absent") + (c.pattern + 1));
    ui::Click(browser, IDOK);
    HWND refusal = nullptr;
    ASSERT_TRUE(ui::WaitUntil(
        [&] { return ui::WaitForMessageBox(run.helper->id(), "", refusal, 0) || !IsWindow(browser); },
        [&] { return "neither a refusal nor the browser closed; open: " + ui::DescribeWindows(run.helper->id()); }));
    if (refusal) {
      ui::AnswerMessageBox(refusal, IDOK);
      EXPECT_TRUE(ui::WaitForWindowGone(refusal));
      ui::Click(browser, IDCANCEL);
    }
    EXPECT_TRUE(ui::WaitForWindowGone(browser));
    EXPECT_EQ(ui::ControlText(run.dialog, c.field), "");
  }
}

TEST(SetupDialog, OkSavesEmptiedFieldsAsEmptyValues) {
  SetupRun run("exe=gone.exe\r\nini=gone.ini\r\ndde=Xat\r\n");
  ASSERT_TRUE(run.Open());
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_PROGRAM_PATH), "");  // names nothing: unset for this run
  ui::SetText(ui::Control(run.dialog, IDC_SERVICE), "");
  ui::Click(run.dialog, IDOK);
  ASSERT_TRUE(run.helper->WaitExit());
  for (const char* key : {"exe", "ini", "dde"}) EXPECT_EQ(SetupRun::Stored(key), "") << key;
}

TEST(SetupDialog, APendingRequestWhoseClientCannotStartStillClosesTheDialog) {
  SetupRun run;
  testenv::WriteFile("C:\\QUOP\\broken.exe", "not a program");
  const std::string request = testenv::ScratchDir() + "req.txt";
  testenv::WriteFile(request, "server irc.example.cat\nchannel catala\n");
  ASSERT_TRUE(run.Open(request));
  ASSERT_NO_FATAL_FAILURE(run.Browse(IDC_BROWSE_PROGRAM, "C:\\QUOP\\broken.exe"));
  ui::Click(run.dialog, IDOK);
  EXPECT_TRUE(ui::WaitForWindowGone(run.dialog));
  ASSERT_TRUE(run.helper->WaitExit());
  EXPECT_EQ(run.helper->ExitCode(), 0u);
  EXPECT_EQ(SetupRun::Stored("exe"), "broken.exe");
  EXPECT_TRUE(StandInLog("args").empty());
}

TEST(SetupDialog, OkSavesTheThreeSettings) {
  SetupRun run;
  testenv::WriteFile("C:\\QUOP\\other.ini", "[quop]\r\n");
  ASSERT_TRUE(run.Open());
  ASSERT_NO_FATAL_FAILURE(run.Browse(IDC_BROWSE_PROGRAM, "C:\\Quop\\Quop32.exe"));
  ASSERT_NO_FATAL_FAILURE(run.Browse(IDC_BROWSE_INI, "C:\\Quop\\Other.ini"));
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_INI_PATH), "c:\\quop\\other.ini");
  ui::SetText(ui::Control(run.dialog, IDC_SERVICE), "XatCat");
  ui::Click(run.dialog, IDOK);
  ASSERT_TRUE(run.helper->WaitExit());
  EXPECT_EQ(run.helper->ExitCode(), 0u);
  EXPECT_EQ(SetupRun::Stored("exe"), "quop32.exe");
  EXPECT_EQ(SetupRun::Stored("ini"), "other.ini");
  EXPECT_EQ(SetupRun::Stored("dde"), "XatCat");
  EXPECT_TRUE(StandInLog("args").empty()) << "without a request no client is started";
}

// Cancel and the close box save nothing, a browse and a changed field
// included.
TEST(SetupDialog, LeavingWithoutOkSavesNothing) {
  for (const bool closeBox : {false, true}) {
    SCOPED_TRACE(closeBox ? "the close box" : "Cancel");
    SetupRun run("exe=quop32.exe\r\ndde=Quop\r\n");
    const std::string before = SetupRun::Ini();
    ASSERT_TRUE(run.Open());
    ASSERT_NO_FATAL_FAILURE(run.Browse(IDC_BROWSE_INI, "C:\\QUOP\\quop.ini"));
    ui::SetText(ui::Control(run.dialog, IDC_SERVICE), "Changed");
    if (closeBox) {
      ui::CloseBox(run.dialog);
    } else {
      ui::Click(run.dialog, IDCANCEL);
    }
    ASSERT_TRUE(run.helper->WaitExit());
    EXPECT_EQ(SetupRun::Ini(), before);
  }
}

TEST(SetupDialog, APendingRequestGoesOnAfterOk) {
  SetupRun run;  // no client running, no program path: the flow needs setup
  const std::string request = testenv::ScratchDir() + "req.txt";
  testenv::WriteFile(request, "server irc.example.cat\nchannel catala\n");
  ASSERT_TRUE(run.Open(request));
  ASSERT_NO_FATAL_FAILURE(run.Browse(IDC_BROWSE_PROGRAM, "C:\\Quop\\Quop32.exe"));
  ui::Click(run.dialog, IDOK);
  ASSERT_TRUE(WaitForStandInLines("args", 1));
  EXPECT_EQ(StandInLog("args")[0], (std::vector<std::string>{"-sirc.example.cat:6667", "-j#catala"}));
  EXPECT_EQ(SetupRun::Stored("exe"), "quop32.exe");  // saved before the client started
  ASSERT_TRUE(run.helper->WaitExit());
}

// The flow that runs again after OK may ask; the setup dialog takes no
// second OK meanwhile, which would run the flow once more inside the first.
TEST(SetupDialog, IsDisabledWhileThePendingRequestAsks) {
  SetupRun run;  // no client running, no program path: the flow needs setup
  const std::string request = testenv::ScratchDir() + "req.txt";
  testenv::WriteFile(request, "server irc.example.cat\nchannel catala\n");
  ASSERT_TRUE(run.Open(request));
  SetStandInConfig({"CONNECTED=yes", "SERVERPORT=irc.altre.net:6667"});
  StandInClient client;  // it starts now, on another server
  ASSERT_TRUE(client.ready);
  ASSERT_NO_FATAL_FAILURE(run.Browse(IDC_BROWSE_PROGRAM, "C:\\Quop\\Quop32.exe"));
  ui::Click(run.dialog, IDOK);
  HWND ask = nullptr;
  ASSERT_TRUE(HelperSetup::WaitForDialog(*run.helper, "QuopLink Confirmació", ask));
  EXPECT_FALSE(ui::IsEnabled(run.dialog));
  ui::Click(ask, IDCANCEL);
  EXPECT_TRUE(ui::WaitForWindowGone(run.dialog));
  ASSERT_TRUE(run.helper->WaitExit());
  EXPECT_TRUE(StandInLog("poke").empty());
}

// Both browsers ask the file selection of Windows 95, 98 and NT 4.0 in the
// only size of request it takes.
TEST(SetupDialog, BrowsingAsksOlderSystemsInTheirForm) {
  testenv::OlderFileSelection selection("urlhop32.exe", "C:\\QUOP\\Quop32.exe");
  ASSERT_TRUE(selection.Install());
  SetupRun run;
  ASSERT_TRUE(run.Open());
  for (int button : {IDC_BROWSE_PROGRAM, IDC_BROWSE_INI}) {
    ui::Click(run.dialog, button);
    const int field = button == IDC_BROWSE_PROGRAM ? IDC_PROGRAM_PATH : IDC_INI_PATH;
    EXPECT_TRUE(ui::WaitForText(ui::Control(run.dialog, field), "c:\\quop\\quop32.exe")) << field;
  }
  EXPECT_EQ(selection.Sizes(), testenv::OlderFileSelection::Accepted(2));
  ui::Click(run.dialog, IDCANCEL);
  EXPECT_TRUE(run.helper->WaitExit());
}

// A copy of the helper with one byte of its welcome text changed.
std::string AlteredHelper() {
  std::string bytes = testenv::ReadFile(testenv::BuildPath("linkhelper\\urlhop32.exe"));
  const size_t at = bytes.find("Welcome to the QuopLink Helper application!");
  EXPECT_NE(at, std::string::npos);
  if (at != std::string::npos) bytes[at] = 'V';
  testenv::WriteFile("C:\\QUOP\\urlhop32.exe", bytes);
  return "C:\\QUOP\\urlhop32.exe";
}

TEST(SetupDialog, AlteredTextsShowNoDialog) {
  SetupRun run("exe=quop32.exe\r\n");
  const std::string before = SetupRun::Ini();
  const std::string helper = AlteredHelper();
  ui::Process altered(helper, "", "C:\\QUOP\\");
  std::string shown;
  ASSERT_TRUE(ui::WaitUntil(
      [&] {
        for (HWND window : ui::TopWindows(altered.id())) {
          if (ui::ClassName(window) == "#32770") shown = ui::DescribeWindows(altered.id());
        }
        return !altered.Running();
      },
      [&] { return "the helper still runs, showing " + ui::DescribeWindows(altered.id()); }));
  EXPECT_EQ(shown, "") << "a dialog was shown";
  EXPECT_EQ(altered.ExitCode(), 0u);
  EXPECT_EQ(SetupRun::Ini(), before);
}

}  // namespace
