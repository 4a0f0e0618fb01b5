#include "desktop_shell.h"

#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "installer_app.h"
#include "installer_resource.h"
#include "queued_messages.h"
#include "resource_strings.h"
#include "shell_calls.h"
#include "system_library.h"

namespace {

// An interface pointer released with the object.
template <class T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (m_p) m_p->Release();
  }
  T* operator->() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }
  T** out() { return &m_p; }
  void** out_void() { return reinterpret_cast<void**>(&m_p); }

 private:
  T* m_p = nullptr;
};

// The automation library's texts, from the system directory.
struct AutomationTexts {
  decltype(&::SysAllocString) make;
  decltype(&::SysFreeString) free;
};

bool LoadAutomationTexts(AutomationTexts& texts) {
  static HMODULE library;
  texts.make = SystemFunction<decltype(&::SysAllocString)>(library, "oleaut32.dll", "SysAllocString");
  texts.free = SystemFunction<decltype(&::SysFreeString)>(library, "oleaut32.dll", "SysFreeString");
  return texts.make && texts.free;
}

HMODULE g_user;

// The desktop's shell answers: its window (the desktop's own under Wine,
// where the shell has none) takes a message within 5 seconds. A hung shell
// would hang every call made of it.
bool ShellAnswers() {
  const auto shellWindow = SystemFunction<decltype(&::GetShellWindow)>(g_user, "user32.dll", "GetShellWindow");
  HWND shell = shellWindow ? shellWindow() : nullptr;
  DWORD_PTR answer = 0;
  return SendMessageTimeoutA(shell ? shell : GetDesktopWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 5000,
                             &answer) != 0;
}

// The desktop's own shell object, reached through the desktop window's view
// (its Shell.Application), and the process of that window; null when the
// shell does not answer or any step fails.
bool DesktopShell(ComRef<IShellDispatch2>& shell, DWORD* process = nullptr) {
  if (!ShellAnswers()) return false;
  ComRef<IShellWindows> windows;
  if (FAILED(
          CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows, windows.out_void()))) {
    return false;
  }
  VARIANT none = {};
  none.vt = VT_EMPTY;
  long window = 0;
  ComRef<IDispatch> desktop;
  if (windows->FindWindowSW(&none, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.out()) != S_OK || !desktop) {
    return false;
  }
  if (process) GetWindowThreadProcessId(reinterpret_cast<HWND>(static_cast<LONG_PTR>(window)), process);
  ComRef<IServiceProvider> services;
  ComRef<IShellBrowser> browser;
  ComRef<IShellView> view;
  ComRef<IDispatch> background;
  ComRef<IShellFolderViewDual> folderView;
  ComRef<IDispatch> application;
  return SUCCEEDED(desktop->QueryInterface(IID_IServiceProvider, services.out_void())) &&
         SUCCEEDED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.out_void())) &&
         SUCCEEDED(browser->QueryActiveShellView(view.out())) && view &&
         SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.out_void())) &&
         SUCCEEDED(background->QueryInterface(IID_IShellFolderViewDual, folderView.out_void())) &&
         SUCCEEDED(folderView->get_Application(application.out())) && application &&
         SUCCEEDED(application->QueryInterface(IID_IShellDispatch2, shell.out_void())) && shell;
}

// A text of the installer as the shell's objects take it; null without memory.
BSTR WideText(const AutomationTexts& texts, const char* text) {
  WCHAR wide[2 * MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, text, -1, wide, sizeof wide / sizeof wide[0])) return nullptr;
  return texts.make(wide);
}

// The shell that takes the target may still not open it (no program is
// named for it): that is its refusal, as the installer's own shell's would be.
Opening HandToDesktopShell(const char* target, int show) {
  AutomationTexts texts;
  ComRef<IShellDispatch2> shell;
  DWORD process = 0;
  if (!LoadAutomationTexts(texts) || !DesktopShell(shell, &process)) return Opening::kNotHandedOver;
  // What the shell starts may come in front of the installer, which has the
  // foreground: else it could open behind it, or only flash in the task bar.
  const auto allow =
      SystemFunction<decltype(&::AllowSetForegroundWindow)>(g_user, "user32.dll", "AllowSetForegroundWindow");
  if (allow && process) allow(process);
  BSTR file = WideText(texts, target);
  BSTR verb = texts.make(L"open");
  Opening opening = Opening::kNotHandedOver;
  if (file && verb) {
    VARIANT none = {}, operation = {}, showing = {};
    none.vt = VT_EMPTY;
    operation.vt = VT_BSTR;
    operation.bstrVal = verb;
    showing.vt = VT_I4;
    showing.lVal = show;
    opening = shell->ShellExecute(file, none, none, operation, showing) == S_OK ? Opening::kOpened : Opening::kRefused;
  }
  if (file) texts.free(file);
  if (verb) texts.free(verb);
  return opening;
}

// The path of a special folder as the desktop's shell knows it; empty when
// it cannot say, or when the path has a letter that the installer's 8-bit
// texts cannot hold.
CString DesktopShellFolder(int shellFolder) {
  AutomationTexts texts;
  ComRef<IShellDispatch2> shell;
  if (!LoadAutomationTexts(texts) || !DesktopShell(shell)) return {};
  VARIANT which = {};
  which.vt = VT_I4;
  which.lVal = shellFolder;
  ComRef<Folder> folder;
  ComRef<Folder2> folder2;
  ComRef<FolderItem> self;
  BSTR wide = nullptr;
  CString path;
  if (shell->NameSpace(which, folder.out()) == S_OK && folder &&
      SUCCEEDED(folder->QueryInterface(IID_Folder2, folder2.out_void())) && SUCCEEDED(folder2->get_Self(self.out())) &&
      self && SUCCEEDED(self->get_Path(&wide)) && wide) {
    // A folder's path longer than MAX_PATH could hold no file of the installer's.
    char text[MAX_PATH];
    BOOL lossy = FALSE;
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, text, sizeof text, nullptr, &lossy) && !lossy) {
      path = text;
    }
  }
  if (wide) texts.free(wide);
  return path;
}

// One errand to the desktop's shell, run on a thread of its own so that the
// installer waits for it no longer than kShellDeadlineMs: a shell that hangs
// inside a call (a mail program that hangs inside Explorer) would hang the
// installer with it. An errand given up keeps running on its thread, and
// the last of the two to let it go frees it.
constexpr DWORD kShellDeadlineMs = 8000;

struct ShellErrand {
  LONG holders;
  bool opens;                 // else a folder's path is asked for
  char target[2 * MAX_PATH];  // what to open (its own copy: the caller may be gone)
  int show;                   // or the folder's ssf number
  Opening opening;
  char path[MAX_PATH];
};

void LetGo(ShellErrand* errand) {
  if (InterlockedDecrement(&errand->holders) == 0) HeapFree(GetProcessHeap(), 0, errand);
}

DWORD WINAPI RunErrand(void* parameter) {
  auto* errand = static_cast<ShellErrand*>(parameter);
  if (SUCCEEDED(CoInitialize(nullptr))) {
    if (errand->opens) {
      errand->opening = HandToDesktopShell(errand->target, errand->show);
    } else {
      const CString path = DesktopShellFolder(errand->show);
      size_t i = 0;
      for (const char* p = path.c_str(); *p && i + 1 < sizeof errand->path; ++p) errand->path[i++] = *p;
      errand->path[i] = '\0';
    }
    CoUninitialize();
  }
  LetGo(errand);
  return 0;
}

// Runs an errand, serving the dialogs' messages while it runs; false when it
// did not end in time (or could not be started).
bool RunWithDeadline(ShellErrand* errand) {
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, RunErrand, errand, 0, &id);
  if (!thread) {
    LetGo(errand);  // the thread's hold
    return false;
  }
  const DWORD start = GetTickCount();
  bool ended = false, quitting = false;
  for (DWORD elapsed = 0; !ended && !quitting && elapsed < kShellDeadlineMs; elapsed = GetTickCount() - start) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, kShellDeadlineMs - elapsed, QS_ALLINPUT);
    ended = woke == WAIT_OBJECT_0;
    if (woke != WAIT_OBJECT_0 + 1) break;
    quitting = !ServeQueuedMessages();
  }
  CloseHandle(thread);
  return ended;
}

ShellErrand* NewErrand() {
  auto* errand = static_cast<ShellErrand*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ShellErrand)));
  if (errand) errand->holders = 2;  // the caller's and the thread's
  return errand;
}

constexpr char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The user's value `name` of the "Shell Folders" key, read into MAX_PATH
// bytes; empty when it is not there or does not fit.
CString RegistryShellFolder(const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return {};
  char path[MAX_PATH];
  DWORD size = sizeof path;
  const LONG status = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || size == 0) return {};
  // A stored text need not end with its terminator.
  if (path[size - 1] != '\0') {
    if (size >= sizeof path) return {};
    path[size] = '\0';
  }
  return path;
}

}  // namespace

bool RunsElevated() {
  if (LOBYTE(LOWORD(GetVersion())) < 6) return false;  // no elevation before Vista
  static HMODULE advapi;
  const auto openToken = SystemFunction<decltype(&::OpenProcessToken)>(advapi, "advapi32.dll", "OpenProcessToken");
  const auto tokenInformation =
      SystemFunction<decltype(&::GetTokenInformation)>(advapi, "advapi32.dll", "GetTokenInformation");
  HANDLE token = nullptr;
  if (!openToken || !tokenInformation || !openToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  TOKEN_ELEVATION elevation = {};
  DWORD size = 0;
  const bool elevated =
      tokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) && elevation.TokenIsElevated;
  CloseHandle(token);
  return elevated;
}

Opening OpenForScreenUser(const char* target, int show) {
  if (RunsElevated()) {
    Opening opening = Opening::kNotHandedOver;
    if (ShellErrand* errand = NewErrand()) {
      errand->opens = true;
      size_t i = 0;
      for (const char* p = target; *p && i + 1 < sizeof errand->target; ++p) errand->target[i++] = *p;
      errand->target[i] = '\0';
      errand->show = show;
      errand->opening = Opening::kNotHandedOver;
      if (RunWithDeadline(errand)) opening = errand->opening;
      LetGo(errand);
    }
    // Never opened here, as an administrator: the user opens it.
    if (opening == Opening::kNotHandedOver) {
      TheApp().MessageBox(FormatResourceString(IDS_OPEN_YOURSELF, {target}), MB_OK | MB_ICONEXCLAMATION);
    }
    return opening;
  }
  return reinterpret_cast<UINT_PTR>(OpenWithShell(target, show)) > 32 ? Opening::kOpened : Opening::kRefused;
}

CString ScreenUserFolder(int shellFolder, const char* registryName) {
  if (!RunsElevated()) return RegistryShellFolder(registryName);
  CString path;
  if (ShellErrand* errand = NewErrand()) {
    errand->show = shellFolder;
    if (RunWithDeadline(errand)) path = errand->path;
    LetGo(errand);
  }
  return path;
}
