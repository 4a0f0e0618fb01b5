// Drives the programs under test from a test process, through the Win32 API
// only: start and end processes, find their windows and controls, read texts
// and states, click, answer message boxes, read pixels. Every wait is bounded
// and returns a GoogleTest result that says, when it fails, what it saw last.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ui {

using ::testing::AssertionResult;

constexpr DWORD kDefaultTimeoutMs = 15000;

// A started program. Destroying the object ends the program and every
// process it started (they share a job object), so no test leaves one behind.
class Process {
 public:
  // `args` follows the program name on the command line; `dir` is the
  // working folder (empty: the test's own).
  Process(const std::string& exe, const std::string& args = "", const std::string& dir = "");
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool started() const { return process_ != nullptr; }
  // Why the program could not be started (0 when it was).
  DWORD startError() const { return startError_; }
  DWORD id() const { return id_; }
  // Success once the program has ended within the time limit; else what it
  // still shows.
  AssertionResult WaitExit(DWORD timeoutMs = kDefaultTimeoutMs) const;
  bool Running() const;
  DWORD ExitCode() const;
  void KillTree();

 private:
  std::string name_;
  HANDLE process_ = nullptr;
  HANDLE job_ = nullptr;
  DWORD id_ = 0;
  DWORD startError_ = 0;
};

// Runs a program to its end (bounded) and returns its exit code, or -1.
int RunToExit(const std::string& exe, const std::string& args = "", DWORD timeoutMs = kDefaultTimeoutMs);

struct WindowQuery {
  DWORD processId = 0;    // 0: any process
  std::string title;      // empty: any title
  std::string className;  // empty: any class; "#32770" for dialogs
};

HWND FindTopWindow(const WindowQuery& query);
// Visible top-level windows of a process.
std::vector<HWND> TopWindows(DWORD processId);
// The visible top-level windows of a process as a failure names them: each
// one's title and class, and a message box's text.
std::string DescribeWindows(DWORD processId);

AssertionResult WaitForWindow(const WindowQuery& query, HWND& found, DWORD timeoutMs = kDefaultTimeoutMs);
// A dialog (class #32770) of a process with this title, once it is visible.
AssertionResult WaitForDialog(DWORD processId, const std::string& title, HWND& found,
                              DWORD timeoutMs = kDefaultTimeoutMs);
AssertionResult WaitForWindowGone(HWND window, DWORD timeoutMs = kDefaultTimeoutMs);
AssertionResult WaitForText(HWND window, const std::string& expected, DWORD timeoutMs = kDefaultTimeoutMs);
AssertionResult WaitForEnabled(HWND window, DWORD timeoutMs = kDefaultTimeoutMs);
// Until the control `id` of `dialog` has the focus of the dialog's thread.
AssertionResult WaitForFocus(HWND dialog, int id, DWORD timeoutMs = kDefaultTimeoutMs);

// The settle point at which a test decides that something did not happen:
// the program of `main` has served a message in its own loop twice in a row
// with `main` enabled and no window of its own open but `main` and those
// that own it. Fails, naming the
// windows open, when that does not come within the time limit.
AssertionResult WaitIdle(HWND main, DWORD timeoutMs = kDefaultTimeoutMs);

HWND Control(HWND dialog, int id);
std::string Text(HWND window);
std::string ControlText(HWND dialog, int id);
std::string ClassName(HWND window);
bool IsEnabled(HWND window);
bool IsVisible(HWND window);
bool IsChecked(HWND button);
LONG Style(HWND window);
RECT ScreenRect(HWND window);

// Presses a dialog's button as a click does: the owner gets the button's
// command. Posted, so that a modal window that it opens does not block the test.
void Click(HWND dialog, int id);
// A key pressed on the window that has the keyboard focus in `window`'s thread.
void PressKey(HWND window, WORD virtualKey);
// Alt and `letter` pressed there: the access key of a control.
void PressAccessKey(HWND window, char letter);
// The window that has the keyboard focus in `window`'s thread.
HWND Focused(HWND window);
// The caption's close box.
void CloseBox(HWND window);
// Sets the text of a control (such as the file-name field of a file dialog).
void SetText(HWND window, const std::string& text);

// Message boxes: a dialog of the process with the given caption (empty: any)
// that holds one text, push buttons and at most an icon, nothing else.
AssertionResult WaitForMessageBox(DWORD processId, const std::string& caption, HWND& found,
                                  DWORD timeoutMs = kDefaultTimeoutMs);
std::string MessageBoxText(HWND box);
void AnswerMessageBox(HWND box, int buttonId);

// The colour shown on screen at a point of a window's client area.
COLORREF ClientPixel(HWND window, int x, int y);

// Writes what the screen shows of a window, frame included, as a 24-bit BMP
// file, once the window has painted (bounded wait). False when it did not
// paint in time or the file could not be written.
bool SaveWindowPicture(HWND window, const std::string& path);

// A high-resolution clock in milliseconds, and the median of some times.
double NowMs();
double Median(std::vector<double> times);

// Polls `condition` until it holds or the time limit passes; a failure
// says what `seen()` (a text: the value the condition looked at) gave last.
template <typename Condition, typename Seen>
AssertionResult WaitUntil(Condition condition, Seen seen, DWORD timeoutMs = kDefaultTimeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return ::testing::AssertionSuccess();
    if (GetTickCount() - start > timeoutMs) {
      if (condition()) return ::testing::AssertionSuccess();
      return ::testing::AssertionFailure() << "not so within " << timeoutMs << " ms; last seen: " << seen();
    }
    Sleep(20);
  }
}

// A text quoted as a failure shows it, line ends visible.
std::string Quoted(const std::string& text);

}  // namespace ui
