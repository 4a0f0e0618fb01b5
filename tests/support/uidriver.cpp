#include "uidriver.h"

#include <tlhelp32.h>

#include <algorithm>
#include <set>

namespace ui {

Process::Process(const std::string& exe, const std::string& args, const std::string& dir)
    : name_(exe.substr(exe.find_last_of("\\/") + 1)) {
  std::string commandLine = "\"" + exe + "\"";
  if (!args.empty()) commandLine += " " + args;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  job_ = CreateJobObjectA(nullptr, nullptr);
  if (job_) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  }
  // A start can fail for a moment while the platform is still tearing down
  // the previous test's processes: a few bounded attempts, then the error.
  bool created = false;
  for (int attempt = 0; attempt < 5 && !created; ++attempt) {
    if (attempt) Sleep(100);
    created = CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                             dir.empty() ? nullptr : dir.c_str(), &startup, &info) != FALSE;
    if (!created) startError_ = GetLastError();
  }
  if (!created) return;
  if (job_) AssignProcessToJobObject(job_, info.hProcess);
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  id_ = info.dwProcessId;
}

Process::~Process() {
  KillTree();
  if (process_) CloseHandle(process_);
  if (job_) CloseHandle(job_);
}

AssertionResult Process::WaitExit(DWORD timeoutMs) const {
  if (!process_) return ::testing::AssertionFailure() << name_ << " was never started";
  if (WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << name_ << " still runs after " << timeoutMs
                                       << " ms, showing: " << DescribeWindows(id_);
}

bool Process::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

DWORD Process::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_) GetExitCodeProcess(process_, &code);
  return code;
}

namespace {

// When a process was created, as a number that grows with time; 0 when it
// cannot be read (the process is gone).
ULONGLONG CreationTime(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
  if (!process) return 0;
  FILETIME created, exited, kernel, user;
  ULONGLONG time = 0;
  if (GetProcessTimes(process, &created, &exited, &kernel, &user)) {
    time = (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
  }
  CloseHandle(process);
  return time;
}

// Every process below `root`, found through the parent links; used besides
// the job object, which a platform may not enforce for every child. A parent
// link names a process id, and ids are used again: the system's own
// processes (services, device hosts) name the id of a start-up program that
// has long ended and whose id a test's program may have now. Only a process
// created after `root` can be below it.
std::set<DWORD> Descendants(DWORD root) {
  std::set<DWORD> found{root};
  const ULONGLONG rootCreated = CreationTime(root);
  bool grew = true;
  while (grew) {
    grew = false;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) break;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry)) {
      if (found.count(entry.th32ParentProcessID) && !found.count(entry.th32ProcessID) &&
          CreationTime(entry.th32ProcessID) >= rootCreated && rootCreated != 0) {
        found.insert(entry.th32ProcessID);
        grew = true;
      }
    }
    CloseHandle(snapshot);
  }
  found.erase(root);
  return found;
}

}  // namespace

void Process::KillTree() {
  if (!process_) return;
  const std::set<DWORD> children = Descendants(id_);
  if (job_) TerminateJobObject(job_, 1);
  if (Running()) TerminateProcess(process_, 1);
  WaitForSingleObject(process_, 5000);
  for (DWORD child : children) {
    if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, child)) {
      TerminateProcess(h, 1);
      WaitForSingleObject(h, 5000);
      CloseHandle(h);
    }
  }
}

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\r') {
      quoted += "\\r";
    } else if (c == '\n') {
      quoted += "\\n";
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

int RunToExit(const std::string& exe, const std::string& args, DWORD timeoutMs) {
  Process process(exe, args);
  if (!process.started() || !process.WaitExit(timeoutMs)) return -1;
  return static_cast<int>(process.ExitCode());
}

namespace {

struct Search {
  const WindowQuery* query;
  std::vector<HWND> found;
};

bool Matches(HWND window, const WindowQuery& query) {
  if (!IsWindowVisible(window)) return false;
  if (query.processId) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != query.processId) return false;
  }
  if (!query.className.empty() && ClassName(window) != query.className) return false;
  if (!query.title.empty() && Text(window) != query.title) return false;
  return true;
}

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (Matches(window, *search->query)) search->found.push_back(window);
  return TRUE;
}

std::vector<HWND> FindTopWindows(const WindowQuery& query) {
  Search search{&query, {}};
  EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

HWND FindTopWindow(const WindowQuery& query) {
  const std::vector<HWND> found = FindTopWindows(query);
  return found.empty() ? nullptr : found.front();
}

std::vector<HWND> TopWindows(DWORD processId) {
  WindowQuery query;
  query.processId = processId;
  return FindTopWindows(query);
}

std::string DescribeWindows(DWORD processId) {
  std::string text;
  for (HWND window : TopWindows(processId)) {
    text += (text.empty() ? "" : ", ") + Quoted(Text(window)) + " (" + ClassName(window);
    const std::string message = MessageBoxText(window);
    if (!message.empty()) text += ": " + Quoted(message);
    text += ")";
  }
  return text.empty() ? "no window" : text;
}

AssertionResult WaitForWindow(const WindowQuery& query, HWND& found, DWORD timeoutMs) {
  found = nullptr;
  return WaitUntil([&] { return (found = FindTopWindow(query)) != nullptr; },
                   [&] {
                     return "no window titled " + Quoted(query.title) + " of class " + Quoted(query.className) +
                            "; open: " + DescribeWindows(query.processId);
                   },
                   timeoutMs);
}

AssertionResult WaitForDialog(DWORD processId, const std::string& title, HWND& found, DWORD timeoutMs) {
  WindowQuery query;
  query.processId = processId;
  query.title = title;
  query.className = "#32770";
  return WaitForWindow(query, found, timeoutMs);
}

double NowMs() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> times) {
  if (times.empty()) return 0;
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

AssertionResult WaitForWindowGone(HWND window, DWORD timeoutMs) {
  return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); },
                   [&] { return Quoted(Text(window)) + " (" + ClassName(window) + ") still shown"; }, timeoutMs);
}

AssertionResult WaitForText(HWND window, const std::string& expected, DWORD timeoutMs) {
  std::string shown;
  return WaitUntil([&] { return (shown = Text(window)) == expected; },
                   [&] { return Quoted(shown) + ", not " + Quoted(expected); }, timeoutMs);
}

AssertionResult WaitForEnabled(HWND window, DWORD timeoutMs) {
  return WaitUntil([&] { return IsEnabled(window); },
                   [&] { return Quoted(Text(window)) + (window ? " disabled" : ": no such control"); }, timeoutMs);
}

AssertionResult WaitForFocus(HWND dialog, int id, DWORD timeoutMs) {
  return WaitUntil([&] { return Focused(dialog) == Control(dialog, id); },
                   [&] { return "the focus on control " + std::to_string(GetDlgCtrlID(Focused(dialog))); }, timeoutMs);
}

AssertionResult WaitIdle(HWND main, DWORD timeoutMs) {
  DWORD processId = 0;
  GetWindowThreadProcessId(main, &processId);
  // `main` and the windows that own it (a program's hidden main window).
  std::set<HWND> expected;
  for (HWND window = main; window; window = GetWindow(window, GW_OWNER)) expected.insert(window);
  int quietRounds = 0;
  return WaitUntil(
      [&] {
        bool onlyExpected = true;
        for (HWND window : TopWindows(processId)) onlyExpected = onlyExpected && expected.count(window);
        DWORD_PTR ignored;
        const bool quiet = IsEnabled(main) && onlyExpected &&
                           SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        quietRounds = quiet ? quietRounds + 1 : 0;
        return quietRounds >= 2;
      },
      [&] {
        return std::string(IsEnabled(main) ? "" : "the main window disabled; ") + "open: " + DescribeWindows(processId);
      },
      timeoutMs);
}

HWND Control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

std::string Text(HWND window) {
  if (!window) return {};
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 5000,
                      &copied);
  text.resize(copied);
  return text;
}

std::string ControlText(HWND dialog, int id) { return Text(Control(dialog, id)); }

std::string ClassName(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

bool IsEnabled(HWND window) { return window && IsWindowEnabled(window); }
bool IsVisible(HWND window) { return window && IsWindowVisible(window); }

bool IsChecked(HWND button) {
  DWORD_PTR state = 0;
  SendMessageTimeoutA(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
  return state == BST_CHECKED;
}

LONG Style(HWND window) { return GetWindowLongA(window, GWL_STYLE); }

RECT ScreenRect(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

void Click(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

HWND Focused(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

void PressKey(HWND window, WORD virtualKey) {
  HWND target = Focused(window) ? Focused(window) : window;
  const UINT scan = MapVirtualKeyA(virtualKey, 0);
  PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
}

void PressAccessKey(HWND window, char letter) {
  // What the keyboard's translation makes of Alt and the letter; bit 29:
  // Alt is down.
  HWND target = Focused(window) ? Focused(window) : window;
  PostMessageA(target, WM_SYSCHAR, static_cast<unsigned char>(letter), 1 | (1u << 29));
}

void CloseBox(HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

void SetText(HWND window, const std::string& text) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &result);
}

namespace {

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
  return TRUE;
}

std::vector<HWND> Children(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

bool LooksLikeMessageBox(HWND dialog) {
  int buttons = 0, texts = 0;
  for (HWND child : Children(dialog)) {
    const std::string cls = ClassName(child);
    if (cls == "Button") {
      const LONG kind = Style(child) & BS_TYPEMASK;
      if (kind != BS_PUSHBUTTON && kind != BS_DEFPUSHBUTTON) return false;
      ++buttons;
    } else if (cls == "Static") {
      if (!Text(child).empty()) ++texts;
    } else {
      return false;
    }
  }
  return buttons > 0 && texts == 1;
}

}  // namespace

AssertionResult WaitForMessageBox(DWORD processId, const std::string& caption, HWND& found, DWORD timeoutMs) {
  found = nullptr;
  return WaitUntil(
      [&] {
        WindowQuery query;
        query.processId = processId;
        query.className = "#32770";
        query.title = caption;
        for (HWND dialog : FindTopWindows(query)) {
          if (LooksLikeMessageBox(dialog)) {
            found = dialog;
            return true;
          }
        }
        return false;
      },
      [&] { return "no message box captioned " + Quoted(caption) + "; open: " + DescribeWindows(processId); },
      timeoutMs);
}

std::string MessageBoxText(HWND box) {
  if (ClassName(box) != "#32770" || !LooksLikeMessageBox(box)) return {};
  for (HWND child : Children(box)) {
    if (ClassName(child) == "Static") {
      std::string text = Text(child);
      if (!text.empty()) return text;
    }
  }
  return {};
}

void AnswerMessageBox(HWND box, int buttonId) { Click(box, buttonId); }

COLORREF ClientPixel(HWND window, int x, int y) {
  POINT point = {x, y};
  ClientToScreen(window, &point);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

namespace {

// What the screen shows of a rectangle, as the rows of a bottom-up 24-bit
// bitmap (the BMP file layout).
std::vector<BYTE> ScreenBits(const RECT& rect, BITMAPINFOHEADER& header) {
  header = {};
  header.biSize = sizeof header;
  header.biWidth = rect.right - rect.left;
  header.biHeight = rect.bottom - rect.top;
  header.biPlanes = 1;
  header.biBitCount = 24;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP picture = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, header.biWidth, header.biHeight, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  const DWORD rowBytes = (static_cast<DWORD>(header.biWidth) * 3 + 3) & ~3u;
  std::vector<BYTE> copy;
  if (bits) copy.assign(static_cast<BYTE*>(bits), static_cast<BYTE*>(bits) + rowBytes * header.biHeight);
  SelectObject(memory, old);
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return copy;
}

// A dialog has painted once its face shows more than the face colour: every
// dialog of the pack has texts. An empty frame is what the screen shows of a
// window whose painting has not reached it yet.
bool ShowsMoreThanItsFace(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  BITMAPINFOHEADER header;
  const std::vector<BYTE> bits = ScreenBits(client, header);
  const COLORREF face = GetSysColor(COLOR_3DFACE);
  const DWORD rowBytes = (static_cast<DWORD>(header.biWidth) * 3 + 3) & ~3u;
  size_t other = 0;
  for (LONG y = 0; y < header.biHeight; ++y) {
    for (LONG x = 0; x < header.biWidth; ++x) {
      const BYTE* pixel = &bits[y * rowBytes + x * 3];  // blue, green, red
      other += RGB(pixel[2], pixel[1], pixel[0]) != face;
    }
  }
  return other * 100 > bits.size() / 3;  // more than 1 % of the face
}

}  // namespace

bool SaveWindowPicture(HWND window, const std::string& path) {
  // Let the window and its controls finish painting, then wait until the
  // screen shows it painted and two looks in a row agree.
  DWORD_PTR ignored;
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  const RECT rect = ScreenRect(window);
  if (rect.right <= rect.left || rect.bottom <= rect.top) return false;
  BITMAPINFOHEADER header;
  std::vector<BYTE> bits, previous;
  const bool painted = WaitUntil(
      [&] {
        previous.swap(bits);
        bits = ScreenBits(rect, header);
        return !bits.empty() && bits == previous && ShowsMoreThanItsFace(window);
      },
      [] { return "the window unpainted"; }, 5000);
  if (!painted) return false;
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
  bool ok = false;
  HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
         WriteFile(out, &header, sizeof header, &written, nullptr) &&
         WriteFile(out, bits.data(), static_cast<DWORD>(bits.size()), &written, nullptr);
    CloseHandle(out);
  }
  return ok;
}

}  // namespace ui
