// The main job's second half, and the pictures of the helper's dialogs:
//   demo_helper links CLIENT_FOLDER             chat links through the installed helper
//   demo_helper pictures CLIENT_FOLDER PICTURES  each helper dialog saved as a BMP file
// CLIENT_FOLDER (with a trailing "\") holds urlhop32.exe and quop32.exe, the
// stand-in client.
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "helper_resource.h"
#include "uidriver.h"

namespace {

std::string g_client, g_log, g_config, g_work;

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The log lines of one kind ("args", "poke", "ready"), without the kind.
std::vector<std::string> Lines(const std::string& kind) {
  std::vector<std::string> found;
  std::istringstream in(Read(g_log));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, kind.size() + 1, kind + "\t") == 0) found.push_back(line.substr(kind.size() + 1));
  }
  return found;
}

std::string Shown(std::string fields) {
  for (char& c : fields) {
    if (c == '\t') c = ' ';
  }
  return fields;
}

// A running client with these settings (one "key=value" a line).
std::unique_ptr<ui::Process> StartClient(const std::string& settings) {
  Write(g_config, settings);
  const size_t ready = Lines("ready").size();
  auto client = std::make_unique<ui::Process>(g_client + "quop32.exe", "", g_client);
  if (!ui::WaitUntil([&] { return Lines("ready").size() > ready; }, [] { return "no \"ready\" in the log"; })) {
    std::printf("demo: the client did not get ready\n");
  }
  return client;
}

std::string Request(const std::string& name, const std::string& text) {
  Write(g_work + name, text);
  return g_work + name;
}

std::unique_ptr<ui::Process> StartHelper(const std::string& tail) {
  return std::make_unique<ui::Process>(g_client + "urlhop32.exe", tail, g_client);
}

void Link(const char* what, const std::string& request, const std::string& clientSettings) {
  std::printf("%s\n", what);
  const size_t pokes = Lines("poke").size();
  std::unique_ptr<ui::Process> client;
  if (!clientSettings.empty()) client = StartClient(clientSettings);
  const size_t startsBefore = Lines("args").size();
  auto helper = StartHelper(request);
  // A confirmation that the helper asks is answered with "Endavant".
  HWND link = nullptr;
  if (!ui::WaitUntil(
          [&] {
            link = ui::FindTopWindow({helper->id(), "QuopLink Connexi\xF3", "#32770"});
            return link || !helper->Running();
          },
          [&] { return ui::DescribeWindows(helper->id()); })) {
    std::printf("demo: the helper neither asked nor ended\n");
  }
  if (link && ui::IsVisible(link)) {
    std::printf("    the helper asked first: %s %s\n", ui::ControlText(link, IDC_LINK_SERVER).c_str(),
                ui::ControlText(link, IDC_LINK_CHANNEL).c_str());
    ui::Click(link, IDOK);
  }
  if (!helper->WaitExit()) std::printf("demo: the helper did not end\n");
  if (!ui::WaitUntil([&] { return Lines("poke").size() > pokes || Lines("args").size() > startsBefore; },
                     [] { return "neither a poke nor a start"; }, 5000)) {
    std::printf("demo: the client got nothing\n");
  }
  if (Lines("poke").size() > pokes) std::printf("    the client was poked: %s\n", Shown(Lines("poke").back()).c_str());
  if (Lines("args").size() > startsBefore) {
    std::printf("    the helper started the client with: %s\n", Shown(Lines("args").back()).c_str());
  }
}

int Links() {
  const std::string plain = Request("link.txt", "server irc.example.cat\nport 6667\nchannel catala\npassword clau\n");
  const std::string nschat =
      Request("link.chat", "[nschat]\r\nserverName=irc.example.cat\r\nchannelName=xat\r\nconfirmPrompt=0\r\n");
  std::printf("request link.txt, plain lines:\n");
  std::istringstream lines(Read(plain));
  for (std::string line; std::getline(lines, line);) std::printf("    %s\n", line.c_str());
  std::printf("request link.chat, nschat form:\n");
  std::istringstream chat(Read(nschat));
  for (std::string line; std::getline(chat, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::printf("    %s\n", line.c_str());
  }
  Link("== link.txt, the client running and not connected", plain,
       "CONNECTED=not connected\r\nEXENAME=" + g_client + "quop32.exe\r\n");
  Link("== link.chat, the client running and connected to irc.example.cat", nschat,
       "CONNECTED=irc.example.cat\r\nSERVERPORT=irc.example.cat:6667\r\n");
  Link("== irc://irc.example.cat/catala?key=clau, a web page's link, the client running and not connected",
       "irc://irc.example.cat/catala?key=clau", "CONNECTED=not connected\r\n");
  Link("== link.txt, the client stopped", plain, "");
  return 0;
}

// ---------------------------------------------------------------------------

std::string g_pictures;
int g_shot = 0;

void Shot(HWND window, const char* name) {
  if (!window) {
    std::printf("no window for %s\n", name);
    return;
  }
  char file[16];
  std::snprintf(file, sizeof file, "%02d-", ++g_shot);
  if (!ui::SaveWindowPicture(window, g_pictures + file + name + ".bmp")) {
    std::printf("no picture of %s: the dialog did not paint\n", name);
  }
}

void Picture(const char* name, const char* title, const std::string& request, const std::string& clientSettings,
             int closeWith) {
  std::unique_ptr<ui::Process> client;
  if (!clientSettings.empty()) client = StartClient(clientSettings);
  auto helper = StartHelper(request);
  HWND dialog = nullptr;
  if (!ui::WaitForDialog(helper->id(), title, dialog)) std::printf("demo: no dialog %s\n", title);
  Shot(dialog, name);
  if (dialog) ui::Click(dialog, closeWith);
  if (!helper->WaitExit()) std::printf("demo: the helper did not end\n");
}

int Pictures() {
  const std::string withChannel = Request("ask.txt", "server irc.example.cat\nchannel catala\n");
  Picture("helper-link", "QuopLink Connexió",
          Request("confirm.txt", "server irc.example.cat\nchannel catala\nconfirm 1\n"), "", IDCANCEL);
  Picture("helper-ask", "QuopLink Confirmació", withChannel, "CONNECTED=yes\r\nSERVERPORT=irc.altre.net:6667\r\n",
          IDCANCEL);
  Picture("helper-ask2", "QuopLink Confirmació", Request("ask2.txt", "server irc.example.cat\n"),
          "CONNECTED=yes\r\nSERVERPORT=irc.altre.net:6667\r\n", IDCANCEL);
  Picture("helper-warning", "QuopLink Advertència de versió", withChannel, "VERSION=4.5\r\n", IDOK);

  auto helper = StartHelper("");
  HWND setup = nullptr;
  if (!ui::WaitForDialog(helper->id(), "QuopLink32 v5.61", setup)) std::printf("demo: no setup dialog\n");
  Shot(setup, "helper-setup");
  if (setup) {
    ui::Click(setup, IDC_BROWSE_PROGRAM);
    HWND browser = nullptr;
    if (!ui::WaitForDialog(helper->id(), "QuopLink Select Exe file...", browser)) std::printf("demo: no browser\n");
    Shot(browser, "helper-file-browser");
    if (browser) ui::Click(browser, IDCANCEL);
    if (!ui::WaitForWindowGone(browser)) std::printf("demo: the browser stayed open\n");
    ui::Click(setup, IDCANCEL);
  }
  if (!helper->WaitExit()) std::printf("demo: the helper did not end\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: demo_helper links CLIENT_FOLDER | pictures CLIENT_FOLDER PICTURES\n");
    return 2;
  }
  g_client = argv[2];
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  g_work = std::string(temp) + "quop-demo\\";
  CreateDirectoryA(g_work.c_str(), nullptr);
  g_log = g_work + "client.log";
  g_config = g_work + "client.cfg";
  DeleteFileA(g_log.c_str());
  SetEnvironmentVariableA("QUOP_STANDIN_LOG", g_log.c_str());
  SetEnvironmentVariableA("QUOP_STANDIN_CONFIG", g_config.c_str());
  const std::string mode = argv[1];
  if (mode == "links") return Links();
  if (mode == "pictures" && argc > 3) {
    g_pictures = argv[3];
    return Pictures();
  }
  return 2;
}
