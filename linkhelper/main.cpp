// urlhop32.exe: the link helper. A web browser starts it with the path of a
// chat request file; it hands the request to the running client over DDE, or
// starts the client, and ends. Without a request it opens its setup dialog.
#include <cstdio>

#include "dde.h"
#include "helper.h"
#include "settings.h"

HINSTANCE g_instance = nullptr;
HWND g_mainWindow = nullptr;
bool g_newShell = false;
int g_lastOutcome = 0;
char g_workText[kWorkTextSize];
LinkRequest g_request;

namespace {

constexpr char kClassName[] = "QuopLink32 v5.61";

// Optional 3-D controls of older shells.
struct Ctl3d {
  HMODULE library = nullptr;
  BOOL(WINAPI* registerApp)(HINSTANCE) = nullptr;
  BOOL(WINAPI* unregisterApp)(HINSTANCE) = nullptr;
  BOOL(WINAPI* autoSubclass)(HINSTANCE) = nullptr;
} g_ctl3d;

// An entry point of a library, as a function of type Fn.
template <typename Fn>
Fn Entry(HMODULE library, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// The library by full path only: from the system directory, where the
// systems that have it keep it, else from the helper's own folder. A bare
// name is also looked for in the current folder, where the browser started
// the helper: often a folder of downloads that any web page can write to.
HMODULE LoadCtl3d() {
  char path[kPathSize];
  const UINT systemLength = GetSystemDirectoryA(path, sizeof path);
  if (systemLength > 0 && systemLength < sizeof path && AppendText(path, sizeof path, "\\Ctl3d32.dll")) {
    if (HMODULE library = LoadLibraryA(path)) return library;
  }
  const DWORD ownLength = GetModuleFileNameA(nullptr, path, sizeof path);
  if (ownLength == 0 || ownLength >= sizeof path) return nullptr;
  char* name = path;
  for (char* p = path; *p; ++p) {
    if (*p == '\\' || *p == '/') name = p + 1;
  }
  if (name == path) return nullptr;  // no folder: never a bare name
  *name = '\0';
  return AppendText(path, sizeof path, "Ctl3d32.dll") ? LoadLibraryA(path) : nullptr;
}

void StartCtl3d() {
  SetErrorMode(SEM_NOOPENFILEERRORBOX);
  HMODULE library = LoadCtl3d();
  if (!library) return;
  using Entry3d = BOOL(WINAPI*)(HINSTANCE);
  g_ctl3d.registerApp = Entry<Entry3d>(library, "Ctl3dRegister");
  g_ctl3d.unregisterApp = Entry<Entry3d>(library, "Ctl3dUnregister");
  g_ctl3d.autoSubclass = Entry<Entry3d>(library, "Ctl3dAutoSubclass");
  if (!g_ctl3d.registerApp || !g_ctl3d.unregisterApp || !g_ctl3d.autoSubclass) {
    FreeLibrary(library);
    return;
  }
  g_ctl3d.registerApp(g_instance);
  g_ctl3d.autoSubclass(g_instance);
  g_ctl3d.library = library;
}

// Everything after the program's own name and the blanks that follow it,
// verbatim: quotes stay and nothing is trimmed at the end.
const char* CommandTail() {
  const char* p = GetCommandLineA();
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

// The nschat form, read with the profile reader into each field's size.
void ReadNschatRequest(const char* path) {
  GetPrivateProfileStringA("nschat", "serverName", "", g_request.server, sizeof g_request.server, path);
  GetPrivateProfileStringA("nschat", "port", "", g_request.port, sizeof g_request.port, path);
  GetPrivateProfileStringA("nschat", "channelName", "", g_request.channel, sizeof g_request.channel, path);
  GetPrivateProfileStringA("nschat", "confirmPrompt", "", g_request.confirm, sizeof g_request.confirm, path);
}

// The plain-text form, line by line in the working text (a longer line is
// read in pieces, each taken as a line). False when it cannot be opened.
bool ReadPlainRequest(const char* path) {
  FILE* file = std::fopen(path, "rt");
  if (!file) return false;
  while (std::fgets(g_workText, sizeof g_workText, file)) ReadRequestLine(g_workText, g_request);
  std::fclose(file);
  return true;
}

// Opens the setup dialog through the main window's message.
void SetupPath(int showState) {
  if (g_mainWindow) {
    PostMessageA(g_mainWindow, WM_OPEN_SETUP, 0, 0);
    return;
  }
  if (!CreateMainWindow()) return;
  ShowWindow(g_mainWindow, showState);
  UpdateWindow(g_mainWindow);
  PostMessageA(g_mainWindow, WM_OPEN_SETUP, 0, 0);
}

void DestroyMainWindow() {
  if (g_mainWindow && IsWindow(g_mainWindow)) DestroyWindow(g_mainWindow);
}

// Reads and uses the request named by the command tail.
void HandleRequest(const char* tail, int showState) {
  if (!tail[0]) {
    SetupPath(showState);
    return;
  }
  // One file, named once in full: the file functions take a relative path
  // from the current folder, the profile reader from the Windows directory.
  char path[kPathSize];
  const DWORD length = GetFullPathNameA(tail, sizeof path, path, nullptr);
  if (length == 0 || length >= sizeof path || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
    MessageBeep(0);
    return;
  }
  ReadNschatRequest(path);
  if (!g_request.server[0] && !g_request.channel[0] && !ReadPlainRequest(path)) {
    MessageBeep(0);
    return;
  }
  if (!g_request.server[0] && !g_request.channel[0]) {
    SetupPath(showState);
    return;
  }
  NormaliseRequest(g_request);
  if (WantsConfirmation(g_request)) {
    CreateMainWindow();
    if (DialogBoxParamA(g_instance, "LINK_DLG", g_mainWindow, LinkDlgProc, 0) != 1) {
      DestroyMainWindow();
      return;
    }
  }
  g_lastOutcome = RunLinkFlow();
  if (g_lastOutcome == kNeedsSetup) {
    SetupPath(showState);
    return;
  }
  DestroyMainWindow();
}

}  // namespace

HWND CreateMainWindow() {
  HWND window = CreateWindowExA(0, kClassName, kHelperTitle, WS_OVERLAPPEDWINDOW, -50, -50, 0, 0, nullptr, nullptr,
                                g_instance, nullptr);
  if (window) {
    g_mainWindow = window;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
  }
  return window;
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_OPEN_SETUP:
      RunSetupDialog(window);
      DestroyWindow(window);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showState);

// The program's entry, in place of the C run-time's start-up: the helper
// takes nothing from it (no arguments, no environment, no constructors to
// run), so it hands WinMain what that start-up would and ends the process.
extern "C" void WinMainCRTStartup() {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  const int showState = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
  ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), showState)));
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showState) {
  g_instance = instance;
  const DWORD version = GetVersion();
  const int major = LOBYTE(LOWORD(version)), minor = HIBYTE(LOWORD(version));
  g_newShell = major == 4 || minor >= 95;
  if (!g_newShell) StartCtl3d();

  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = MainWndProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kClassName;
  if (RegisterClassA(&windowClass)) {
    LoadHelperSettings();
    ClearRequest(g_request);
    InitDde();
    g_lastOutcome = 0;
    HandleRequest(CommandTail(), showState);

    if (g_mainWindow) {
      MSG message;
      while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
    }
  }
  UnregisterClassA(kClassName, instance);
  if (g_ctl3d.library) {
    g_ctl3d.unregisterApp(instance);
    FreeLibrary(g_ctl3d.library);
  }
  ShutDownDde();
  return 0;  // always
}
