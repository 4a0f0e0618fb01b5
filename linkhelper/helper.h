// The link helper's process-wide state and its procedures (Win32 side).
#pragma once

#include <windows.h>

#include "request.h"

// Outcomes of the link flow.
constexpr int kNotLinked = 0;
constexpr int kLinked = 1;
constexpr int kNeedsSetup = 2;

// The answers of ASK_DLG and ASK2_DLG (0: cancelled).
constexpr int kAskChangeServer = 1;
constexpr int kAskJoinHere = 2;
constexpr int kAskAnotherCopy = 3;

// The message that makes the main window open the setup dialog.
constexpr UINT WM_OPEN_SETUP = WM_USER + 5;

extern HINSTANCE g_instance;
extern HWND g_mainWindow;               // empty until first created; not cleared when destroyed
extern bool g_newShell;                 // places the icons that the dialogs paint
extern int g_lastOutcome;               // what the link flow last returned, 0 before it ran
extern char g_workText[kWorkTextSize];  // request lines, then the client's latest reply
extern LinkRequest g_request;

// The main window: zero size, off screen, owner of every dialog.
HWND CreateMainWindow();
// Exported, undecorated, under its own name, like the other two callbacks.
extern "C" __declspec(dllexport) LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Decides how the request reaches the client; returns an outcome.
int RunLinkFlow();

// The dialogs, run modally and owned by the main window.
INT_PTR CALLBACK LinkDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AskDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK WarnDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the setup dialog, once its texts have passed their integrity check;
// returns 1 after OK, 0 otherwise.
INT_PTR RunSetupDialog(HWND owner);
// Hook of the setup dialog's file browser.
extern "C" __declspec(dllexport) UINT_PTR CALLBACK FileHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void CentreOnDesktop(HWND window);
// What every dialog of the helper does alike: it centres itself on the
// desktop and puts the focus on its OK button whenever it is shown or
// hidden, and the close box, Cancel and Escape end it with 0. True when
// `message` was one of these; `result` is then the procedure's.
bool HandleDialogFrame(HWND dialog, UINT message, WPARAM wParam, INT_PTR& result);
// The helper's 32 x 32 icon at (`newShellX` or `oldShellX`, `y`) in pixels
// at 96 DPI (dialog base units 6 x 13), by the new-shell flag; the older
// shell's place only where the icon lies whole inside the dialog. At any
// other DPI it is placed and sized by the dialog's own units.
void DrawHelperIcon(HWND dialog, HDC dc, int newShellX, int oldShellX, int y);
