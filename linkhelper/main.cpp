// urlhop32.exe: the link helper. A web browser starts it with the path of a
// chat request file, or with an irc:// address; it hands the request to the
// running client over DDE, or starts the client, and ends. Without a request
// it opens its setup dialog.
#include "chat_address.h"
#include "dde_client.h"
#include "helper.h"
#include "helper_resource.h"
#include "library_search.h"
#include "settings.h"
#include "setup_texts.h"
#include "stack_guard.h"
#include "system_library.h"
#include "text_read.h"

// The main window's class, whose name is its title too: the setup dialog's
// caption, held once.
constexpr const char* kMainWindowClass = kSetupCaption;

HINSTANCE g_instance = nullptr;
HWND g_mainWindow = nullptr;
bool g_newShell = false;
int g_lastOutcome = 0;
char g_workText[kWorkTextSize];
LinkRequest g_request;

// The 3-D controls library of the older shells, which no system header
// declares: its functions, as that library exports them.
extern "C" {
BOOL WINAPI Ctl3dRegister(HINSTANCE instance);
BOOL WINAPI Ctl3dUnregister(HINSTANCE instance);
BOOL WINAPI Ctl3dAutoSubclass(HINSTANCE instance);
}

namespace {

// Optional 3-D controls of older shells.
struct Ctl3d {
  HMODULE library = nullptr;
  decltype(&::Ctl3dRegister) registerApp = nullptr;
  decltype(&::Ctl3dUnregister) unregisterApp = nullptr;
  decltype(&::Ctl3dAutoSubclass) autoSubclass = nullptr;
} g_ctl3d;

// The library by full path only: from the system directory, where the
// systems that have it keep it, else from the helper's own folder.
HMODULE LoadCtl3d() {
  static constexpr char kLibrary[] = "Ctl3d32.dll";
  if (HMODULE library = LoadSystemLibrary(kLibrary)) return library;
  char path[kPathSize];
  const DWORD ownLength = GetModuleFileNameA(nullptr, path, sizeof path);
  if (ownLength == 0 || ownLength >= sizeof path) return nullptr;
  char* name = path;
  for (char* p = path; *p; ++p) {
    if (*p == '\\' || *p == '/') name = p + 1;
  }
  if (name == path) return nullptr;  // no folder: never a bare name
  *name = '\0';
  return AppendText(path, sizeof path, kLibrary) ? LoadLibraryA(path) : nullptr;
}

void StartCtl3d() {
  SetErrorMode(SEM_NOOPENFILEERRORBOX);
  HMODULE library = LoadCtl3d();
  if (!library) return;
  g_ctl3d.registerApp = LibraryFunction<decltype(&::Ctl3dRegister)>(library, "Ctl3dRegister");
  g_ctl3d.unregisterApp = LibraryFunction<decltype(&::Ctl3dUnregister)>(library, "Ctl3dUnregister");
  g_ctl3d.autoSubclass = LibraryFunction<decltype(&::Ctl3dAutoSubclass)>(library, "Ctl3dAutoSubclass");
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
  static constexpr struct {
    const char* key;
    char* field;
    DWORD size;
  } kKeys[] = {
      {"serverName", g_request.server, sizeof g_request.server},
      {"port", g_request.port, sizeof g_request.port},
      {"channelName", g_request.channel, sizeof g_request.channel},
      {"confirmPrompt", g_request.confirm, sizeof g_request.confirm},
  };
  for (const auto& key : kKeys) GetPrivateProfileStringA("nschat", key.key, "", key.field, key.size, path);
}

size_t ReadFromFile(void* file, unsigned char* into, size_t capacity) {
  DWORD read = 0;
  return ReadFile(static_cast<HANDLE>(file), into, static_cast<DWORD>(capacity), &read, nullptr) ? read : 0;
}

// The plain-text form, line by line in the working text, read in text mode
// (a longer line is read in pieces, each taken as a line). False when it
// cannot be opened. Never part of the unguarded entry's frame: its reader
// and buffers are checked on the way out.
__attribute__((noinline)) bool ReadPlainRequest(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  TextReader reader;
  StartTextReader(reader, ReadFromFile, file);
  while (ReadTextLine(reader, g_workText, sizeof g_workText)) ReadRequestLine(g_workText, g_request);
  CloseHandle(file);
  return true;
}

// Opens the setup dialog through the main window's message. A window made
// here is shown as the helper was started to show (SW_SHOWDEFAULT takes the
// show state that the starting program gave).
void OpenSetupDialog() {
  if (g_mainWindow) {
    PostMessageA(g_mainWindow, WM_OPEN_SETUP, 0, 0);
    return;
  }
  if (!CreateMainWindow()) return;
  ShowWindow(g_mainWindow, SW_SHOWDEFAULT);
  UpdateWindow(g_mainWindow);
  PostMessageA(g_mainWindow, WM_OPEN_SETUP, 0, 0);
}

void DestroyMainWindow() {
  if (g_mainWindow && IsWindow(g_mainWindow)) DestroyWindow(g_mainWindow);
}

// Hands a request that names a server or a channel on: confirmed first when
// it asks to be, then the link flow, then the setup dialog when that needs it.
void UseRequest() {
  // A field outside the IRC's rules (a server that is no host name, a port
  // that is no number) is no request: nothing is started, nothing is asked.
  if (!NormaliseRequest(g_request)) {
    MessageBeep(0);
    return;
  }
  if (WantsConfirmation(g_request)) {
    CreateMainWindow();
    if (DialogBoxParamA(g_instance, "LINK_DLG", g_mainWindow, LinkDlgProc, 0) != 1) {
      DestroyMainWindow();
      return;
    }
  }
  g_lastOutcome = RunLinkFlow();
  if (g_lastOutcome == kNeedsSetup) {
    OpenSetupDialog();
    return;
  }
  DestroyMainWindow();
}

// Reads and uses the request of the command tail: an irc:// address, or
// the path of a request file. Its frame, which receives the request's full
// path, is guarded: it is never made part of the entry's.
__attribute__((noinline)) void HandleRequest(const char* tail) {
  if (!tail[0]) {
    OpenSetupDialog();
    return;
  }
  switch (ReadChatAddress(tail, g_request)) {
    case ChatAddress::kRead:
      UseRequest();
      return;
    case ChatAddress::kRefused:
      MessageBeep(0);
      return;
    case ChatAddress::kNone:
      break;
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
    OpenSetupDialog();
    return;
  }
  UseRequest();
}

}  // namespace

HWND CreateMainWindow() {
  HWND window = CreateWindowExA(0, kMainWindowClass, kMainWindowClass, WS_OVERLAPPEDWINDOW, -50, -50, 0, 0, nullptr,
                                nullptr, g_instance, nullptr);
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

namespace {

__attribute__((noinline)) void RunHelper() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  g_instance = instance;
  const DWORD version = GetVersion();
  const int major = LOBYTE(LOWORD(version)), minor = HIBYTE(LOWORD(version));
  g_newShell = major == 4 || minor >= 95;
  if (!g_newShell) StartCtl3d();

  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = MainWndProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_HELPER));
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kMainWindowClass;
  if (RegisterClassA(&windowClass)) {
    LoadHelperSettings();
    ClearRequest(g_request);
    InitDde();
    g_lastOutcome = 0;
    HandleRequest(CommandTail());

    if (g_mainWindow) {
      MSG message;
      while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
    }
  }
  UnregisterClassA(kMainWindowClass, instance);
  if (g_ctl3d.library) {
    g_ctl3d.unregisterApp(instance);
    FreeLibrary(g_ctl3d.library);
  }
  ShutDownDde();
}

}  // namespace

// The program's entry, in place of the C run-time's start-up, of which the
// helper takes nothing (no arguments, no environment, no constructors to
// run). The exit code is always 0.
extern "C" __attribute__((no_stack_protector)) void WinMainCRTStartup() {
  SeedStackGuard();
  KeepLibrarySearchToSystem();
  RunHelper();
  ExitProcess(0);
}
