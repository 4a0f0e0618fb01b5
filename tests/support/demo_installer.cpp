// The main job's headless road through the installer: picks the demo
// client, installs, accepts both offers, reads the explanation and leaves,
// printing what the dialogs said and saving a picture of each dialog.
//   demo_installer PACK_FOLDER CLIENT_FOLDER PICTURE_FOLDER   (Windows paths, with trailing "\")
#include <objbase.h>
#include <shlobj.h>
#include <dlgs.h>

#include <cstdio>
#include <string>

#include "installer_resource.h"
#include "uidriver.h"

namespace {

std::string pictures;
DWORD installer = 0;
int shotNumber = 0;

// A picture of `window` as the user sees it: the active window, its title
// bar drawn active.
void Shot(HWND window, const char* name) {
  HWND top = GetAncestor(window, GA_ROOT);
  // A window that the system showed in front without activating it draws an
  // inactive title bar: the activation goes to a window of this program and
  // back, until the title bar shows the active colour.
  const RECT frame = ui::ScreenRect(top);
  const int captionX = frame.left + GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CXSMICON) + 8;
  const int captionY = frame.top + GetSystemMetrics(SM_CYFRAME) + 2;
  auto active = [&] {
    HDC screen = GetDC(nullptr);
    const COLORREF shown = GetPixel(screen, captionX, captionY);
    ReleaseDC(nullptr, screen);
    return shown == GetSysColor(COLOR_ACTIVECAPTION);
  };
  if (!active()) {
    HWND own = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 1, 1, nullptr, nullptr,
                               nullptr, nullptr);
    SetForegroundWindow(own);
    DestroyWindow(own);
    SetForegroundWindow(top);
    if (!ui::WaitUntil(
            active, [] { return "an inactive title bar"; }, 2000))
      std::printf("demo: %s is not drawn as the active window\n", name);
  }
  char file[32];
  std::snprintf(file, sizeof file, "%02d-", ++shotNumber);
  if (!ui::SaveWindowPicture(window, pictures + file + name + ".bmp")) {
    std::printf("demo: no picture of %s: the dialog did not paint\n", name);
  }
}

HWND Dialog(const char* title) {
  HWND dialog = nullptr;
  const ui::AssertionResult opened = ui::WaitForDialog(installer, title, dialog);
  if (!opened) std::printf("demo: %s\n", opened.message());
  return dialog;
}

bool Fail(const char* what) {
  std::printf("demo: %s\n", what);
  return false;
}

// The result box and every line read aloud, with line ends shown as they are.
void PrintBlock(const char* heading, const std::string& text) {
  std::printf("%s\n", heading);
  std::string line;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      std::printf("    %s\n", line.c_str());
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) std::printf("    %s\n", line.c_str());
}

void PrintShortcut() {
  char desktop[MAX_PATH] = "";
  DWORD size = sizeof desktop;
  RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Desktop",
               RRF_RT_REG_SZ, nullptr, desktop, &size);
  const std::string file = std::string(desktop) + "\\Verbalia.LNK";
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  IPersistFile* persist = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(persist->Load(wide, STGM_READ))) {
      char path[MAX_PATH] = "", description[MAX_PATH] = "", icon[MAX_PATH] = "";
      int index = -1;
      link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH);
      link->GetDescription(description, MAX_PATH);
      link->GetIconLocation(icon, MAX_PATH, &index);
      std::printf("desktop shortcut %s\n    target: %s\n    description: %s\n    icon: %s, %d\n", file.c_str(), path,
                  description, icon, index);
    } else {
      std::printf("no desktop shortcut at %s\n", file.c_str());
    }
  }
  if (persist) persist->Release();
  if (link) link->Release();
  CoUninitialize();
}

bool Road(const std::string& pack, const std::string& client) {
  ui::Process process(pack + "trinstall.exe", "", pack);
  installer = process.id();
  HWND main = Dialog("Actualitzador del Quop 5.61");
  if (!main) return Fail("the installer's dialog did not open");
  Shot(main, "installer");

  ui::Click(main, IDC_BROWSE);
  HWND open = Dialog("Open");
  if (!open) return Fail("the file selection did not open");
  // The selection shows the client's folder ("Look in", control 1137), as
  // the user finds it there.
  const std::string folder = client.substr(0, client.size() - 1);
  ui::SetText(ui::Control(open, cmb13), client);
  ui::Click(open, IDOK);
  if (!ui::WaitForText(ui::Control(open, 1137), folder.substr(folder.rfind('\\') + 1))) {
    return Fail("the file selection did not show the client's folder");
  }
  ui::SetText(ui::Control(open, cmb13), "quop32.exe");
  Shot(open, "choose-client");
  ui::Click(open, IDOK);
  if (!ui::WaitForEnabled(ui::Control(main, IDC_INSTALL))) return Fail("the client was refused");
  std::printf("chosen: %s\n", ui::ControlText(main, IDC_CLIENT_PATH).c_str());
  Shot(main, "client-chosen");

  ui::Click(main, IDC_INSTALL);
  HWND done = nullptr;
  if (!ui::WaitForMessageBox(installer, "trinstall", done)) return Fail("no completion message");
  Shot(done, "installed-message");
  PrintBlock("message:", ui::MessageBoxText(done));
  ui::AnswerMessageBox(done, IDOK);

  HWND info = Dialog("Informació sobre programes en català");
  if (!info) return Fail("the information dialog did not open");
  Shot(info, "information");
  std::printf("offers: subscription %s, desktop shortcut %s\n",
              ui::IsChecked(ui::Control(info, IDC_SUBSCRIBE)) ? "ticked" : "not ticked",
              ui::IsChecked(ui::Control(info, IDC_CREATE_SHORTCUT)) ? "ticked" : "not ticked");
  ui::Click(info, IDOK);
  HWND explanation = Dialog("Explicació");
  if (!explanation) return Fail("the explanation did not open");
  Shot(explanation, "explanation");
  ui::Click(explanation, IDOK);
  if (!ui::WaitForEnabled(main)) return Fail("the installer did not come back");
  Shot(main, "finished");
  PrintBlock("results box:", ui::ControlText(main, IDC_RESULTS));

  ui::Click(main, IDCANCEL);
  if (!process.WaitExit()) return Fail("the installer did not end");
  PrintShortcut();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: demo_installer PACK_FOLDER CLIENT_FOLDER PICTURE_FOLDER\n");
    return 2;
  }
  pictures = argv[3];
  // The desktop's shell starts the URL recorder with an environment of its
  // own: the recorder finds the main job's log through the registry too.
  char log[MAX_PATH] = "";
  HKEY key;
  if (GetEnvironmentVariableA("URLREC_LOG", log, sizeof log) &&
      RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quop test bench", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) == ERROR_SUCCESS) {
    RegSetValueExA(key, "URL log", 0, REG_SZ, reinterpret_cast<const BYTE*>(log), lstrlenA(log) + 1);
    RegCloseKey(key);
  }
  // A fresh demo: no program named for irc:// links yet, as on a machine
  // without an IRC program (an earlier run named the helper).
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Classes\\irc");
  const bool done = Road(argv[1], argv[2]);
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quop test bench");
  return done ? 0 : 1;
}
